#pragma once

#include <QString>

// The captions that elanguage.dat can replace. Indexes count from 0.
class LanguageTargets {
public:
    virtual ~LanguageTargets() = default;
    virtual void setButtonCaption(int index, const QString &text) = 0; // Command1(index), 0-4
    virtual void setFrameCaption(int index, const QString &text) = 0;  // Frame1(index), 0-3
    virtual void setTabCaption(int index, const QString &text) = 0;    // tab index + 1, 0-3
    virtual void setColumnCaption(int index, const QString &text) = 0; // ListView1 column, 0-3
};

// Applies the sections button, frame, tabstrip and listviewheader of elanguage.dat in
// programDirectory. A missing file or section changes nothing.
void LoadLanguage(const QString &programDirectory, LanguageTargets &targets);
