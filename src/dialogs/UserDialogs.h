#pragma once

#include <QString>
#include <QtGlobal>

// Everything that talks to the user modally: message boxes and the two system dialogs. The
// program gets the Qt implementation (QtUserDialogs); tests give scripted answers. This header
// needs Qt Core only, so the core can prompt without linking widgets.
class UserDialogs {
public:
    static inline const QString kAppTitle = QStringLiteral("Tunemark");

    virtual ~UserDialogs() = default;

    // A modal message with an OK button and no icon; returns when the user closes it.
    virtual void showMessage(const QString &text, const QString &title) = 0;

    // A modal question with Yes and No, Yes the default; true for Yes.
    virtual bool askYesNo(const QString &text, const QString &title) = 0;

    // The folder browser: the chosen folder's full native path, ending in a separator only for
    // a root directory; empty text when nothing was chosen.
    virtual QString GetDlgSelectFolder(const QString &title) = 0;

    // The open-file dialog. filter holds display text and pattern list pairs, every item
    // separated by NUL. Result: empty on cancel; one file: its full path + two NULs; several:
    // the directory, NUL, each name followed by NUL, and one more NUL.
    virtual QString GetDlgSelectFileInfo(const QString &title, const QString &filter,
                                         const QString &initialName,
                                         const QString &initialDirectory, quint32 flags) = 0;
};
