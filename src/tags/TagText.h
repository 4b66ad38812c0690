#pragma once

#include <QString>

// What a tag gives the program: the fields a name template can use, each as the tag holds it.
struct TagText {
    QString title;
    QString singer;
    QString album{};
    QString track{}; // "3", "03/12"
    QString year{};  // a year or a whole date
    QString disc{};  // "1", "1/2"
    QString albumArtist{};

    // Each field of other that holds text takes the place of this one's.
    void takeFieldsOf(const TagText &other);
    bool isEmpty() const;
};

// Whether text holds what a wrong encoding leaves behind: U+FFFD for bytes it could not decode,
// a private-use character (what a code page's user-defined area decodes to) or a control
// character. Text of Unicode tags rarely holds either.
inline bool looksMisdecoded(QStringView text) {
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == 0xFFFD || u < 0x20 || (u >= 0x7F && u <= 0x9F) || (u >= 0xE000 && u <= 0xF8FF))
            return true;
    }
    return false;
}

// The fields in the order of the template's placeholders, %1 to %7.
inline constexpr QString TagText::*kTagFields[] = {
    &TagText::title, &TagText::singer, &TagText::album,      &TagText::track,
    &TagText::year,  &TagText::disc,   &TagText::albumArtist};

inline void TagText::takeFieldsOf(const TagText &other) {
    for (QString TagText::*field : kTagFields) {
        if (!(other.*field).isEmpty())
            this->*field = other.*field;
    }
}

inline bool TagText::isEmpty() const {
    for (QString TagText::*field : kTagFields) {
        if (!(this->*field).isEmpty())
            return false;
    }
    return true;
}
