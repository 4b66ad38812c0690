#pragma once

#include "tags/TagText.h"

#include <QString>

// The name template: "%1" stands for the title, "%2" for the singer. Any other "%" pair, and
// a "%" at the very end, vanishes. The template takes effect only when a placeholder brought
// in text; otherwise the file keeps originalName. The original extension (from the last dot,
// letter case kept) is appended; a name without a dot gets none.
QString ExpandNameTemplate(const QString &nameTemplate, const TagText &tags,
                           const QString &originalName);
