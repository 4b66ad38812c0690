#pragma once

#include <QString>

class EntryList;
struct RenameEntry;

// The name template: "%1" stands for the title, "%2" for the singer. Any other "%" pair, and
// a "%" at the very end, vanishes. The template takes effect only when a placeholder brought
// in text; otherwise the entry keeps its own name. The original extension (from the last dot,
// letter case kept) is appended; a name without a dot gets none.
QString ExpandNameTemplate(const RenameEntry &entry, const QString &nameTemplate);

// Forms the new name of every entry again from nameTemplate, then rebuilds the list.
void ReformatNewNames(EntryList &list, const QString &nameTemplate);
