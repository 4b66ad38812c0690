#include "dialogs/QtUserDialogs.h"

#include "dialogs/SysDlg32.h"

#include <QMessageBox>

void QtUserDialogs::showMessage(const QString &text) {
    QMessageBox box(QMessageBox::NoIcon, kAppTitle, text, QMessageBox::Ok, m_owner);
    box.exec();
}

bool QtUserDialogs::askYesNo(const QString &text) {
    QMessageBox box(QMessageBox::NoIcon, kAppTitle, text, QMessageBox::Yes | QMessageBox::No,
                    m_owner);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

QString QtUserDialogs::GetDlgSelectFolder(const QString &title) {
    return ::GetDlgSelectFolder(m_owner, title);
}

QStringList QtUserDialogs::GetDlgSelectFileInfo(const QString &title, const QString &filter,
                                                const QString &initialName,
                                                const QString &initialDirectory, quint32 flags) {
    QStringList paths;
    for (const QString &selection :
         ::GetDlgSelectFileInfo(m_owner, title, filter, initialName, initialDirectory, flags))
        paths << SysDlg32::unpackSelection(selection);
    return paths;
}
