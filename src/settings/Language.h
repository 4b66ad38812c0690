#pragma once

#include "settings/DataFolders.h"

#include <QString>
#include <QStringList>

// The captions elanguage.dat replaces, each group in control order from index 0. A group holds
// as many captions as the file gives, never more than the window has controls for; the
// controls beyond keep theirs.
struct CaptionSet {
    QStringList buttons; // Command1(0) to Command1(4)
    QStringList frames;  // Frame1(0) to Frame1(3)
    QStringList tabs;    // the tabs of TabStrip1
    QStringList columns; // the columns of ListView1
};

// The sections button, frame, tabstrip and listviewheader of elanguage.dat: the one in the
// folder in use, else the one beside the program. A missing file or section gives no captions
// for its group.
CaptionSet LoadLanguage(const DataFolders &folders);

// The elanguage.dat LoadLanguage reads: in the folder in use, else beside the program; empty
// when there is none.
QString languageFilePath(const DataFolders &folders);
