#pragma once

#include "tags/TagText.h"

#include <QString>

// The name template: "%1" stands for the title, "%2" the singer, "%3" the album, "%4" the
// track number (the digits before any "/", without leading zeros, padded to two), "%5" the
// year (the first four digits in a row of the date), "%6" the disc number (the text before any
// "/") and "%7" the album artist. Any other "%" pair, and a "%" at the very end, vanishes.
// The template takes effect only when a placeholder brought in text; otherwise the file keeps
// originalName. The original extension (from the last dot, letter case kept) is appended; a
// name without a dot gets none.
//
// With safeNames, the characters no Windows name may hold become their full-width forms and
// control, line and direction characters are dropped, in each field before the template joins
// them; the name before its extension then loses spaces at both ends and dots at its end, a
// Windows device name gets "_", and a name too long for a file system is cut at a character
// before its extension. A name left empty keeps originalName.
//
// Without safeNames, a name longer than a file system takes (Paths::kNameLimit) is not built in
// full: the result is its first kNameLimit characters and "…", which no rename accepts.
QString ExpandNameTemplate(const QString &nameTemplate, const TagText &tags,
                           const QString &originalName, bool safeNames = false);

// The text a placeholder's field brings into a name: the track, year and disc as the template
// shows them; every other field as it is. field counts from 0 (%1).
QString placeholderText(const TagText &tags, int field);

// Whether a placeholder of the template brings text from tags: otherwise a file keeps its name.
bool templateBringsText(const QString &nameTemplate, const TagText &tags);

// Whether a field the template uses, or the title or singer, looks misdecoded (looksMisdecoded):
// the name made from it may be garbled.
bool usesDoubtfulText(const QString &nameTemplate, const TagText &tags);

// text as the safe-names rule gives a field: the characters Windows refuses in names as their
// full-width forms, control, line separator and direction characters dropped.
QString safeFieldText(const QString &text);
