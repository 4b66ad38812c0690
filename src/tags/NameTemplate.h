#pragma once

#include "tags/TagText.h"

#include <QString>

// The name template: "%1" stands for the title, "%2" for the singer. Any other "%" pair, and
// a "%" at the very end, vanishes. The template takes effect only when a placeholder brought
// in text; otherwise the file keeps originalName. The original extension (from the last dot,
// letter case kept) is appended; a name without a dot gets none.
//
// A name longer than a file system takes (Paths::kNameLimit) is not built in full: the result
// is its first kNameLimit characters and "…", which no rename accepts.
QString ExpandNameTemplate(const QString &nameTemplate, const TagText &tags,
                           const QString &originalName);
