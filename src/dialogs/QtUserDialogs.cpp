#include "dialogs/QtUserDialogs.h"

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
    Q_UNUSED(title);
    return {}; // the folder browser comes with adding files
}

QString QtUserDialogs::GetDlgSelectFileInfo(const QString &title, const QString &filter,
                                            const QString &initialName,
                                            const QString &initialDirectory, quint32 flags) {
    Q_UNUSED(title);
    Q_UNUSED(filter);
    Q_UNUSED(initialName);
    Q_UNUSED(initialDirectory);
    Q_UNUSED(flags);
    return {}; // the open-file dialog comes with adding files
}
