#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

// Everything that talks to the user modally: message boxes and the two system dialogs. The
// program gets the Qt implementation (QtUserDialogs); tests give scripted answers. This header
// needs Qt Core only, so the core can prompt without linking widgets.
class UserDialogs {
public:
    // The title of every message and question, and of the folder browser.
    static inline const QString kAppTitle = QStringLiteral("Tunemark");

    virtual ~UserDialogs() = default;

    // A modal message with an OK button and no icon; returns when the user closes it.
    virtual void showMessage(const QString &text) = 0;

    // A modal question with Yes and No, Yes the default; true for Yes.
    virtual bool askYesNo(const QString &text) = 0;

    // A modal question with a button for each of choices, the first the default and the last
    // the one Escape and the window's close button press. Returns the position of the choice.
    virtual int askChoice(const QString &text, const QStringList &choices) = 0;

    // The folder browser: the chosen folder's full native path, ending in a separator only for
    // a root directory; empty text when nothing was chosen.
    virtual QString GetDlgSelectFolder(const QString &title) = 0;

    // The open-file dialog. filter holds display text and pattern list pairs, every item
    // separated by NUL. Returns the full native path of each file picked, in the order given;
    // none when the user cancels.
    virtual QStringList GetDlgSelectFileInfo(const QString &title, const QString &filter,
                                             const QString &initialName,
                                             const QString &initialDirectory, quint32 flags) = 0;
};
