#include "dialogs/QtUserDialogs.h"

#include "dialogs/SysDlg32.h"

#include <QMessageBox>

void QtUserDialogs::showMessage(const QString &text, const QString &title) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, m_owner);
    box.exec();
}

bool QtUserDialogs::askYesNo(const QString &text, const QString &title) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Yes | QMessageBox::No, m_owner);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

QString QtUserDialogs::GetDlgSelectFolder(const QString &title) {
    return ::GetDlgSelectFolder(m_owner, title);
}

QString QtUserDialogs::GetDlgSelectFileInfo(const QString &title, const QString &filter,
                                            const QString &initialName,
                                            const QString &initialDirectory, quint32 flags) {
    return ::GetDlgSelectFileInfo(m_owner, title, filter, initialName, initialDirectory, flags);
}
