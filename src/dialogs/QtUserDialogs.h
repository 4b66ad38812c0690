#pragma once

#include "dialogs/UserDialogs.h"

#include <QPointer>
#include <QWidget>

// The real dialogs, modal over the owner window.
class QtUserDialogs : public UserDialogs {
public:
    explicit QtUserDialogs(QWidget *owner = nullptr)
        : m_owner(owner) {}
    void setOwner(QWidget *owner) { m_owner = owner; }

    void showMessage(const QString &text) override;
    bool askYesNo(const QString &text) override;
    int askChoice(const QString &text, const QStringList &choices) override;
    QString GetDlgSelectFolder(const QString &title) override;
    QStringList GetDlgSelectFileInfo(const QString &title, const QString &filter,
                                     const QString &initialName, const QString &initialDirectory,
                                     quint32 flags) override;

private:
    QPointer<QWidget> m_owner;
};
