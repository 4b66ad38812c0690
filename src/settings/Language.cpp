#include "settings/Language.h"

#include "platform/LegacyText.h"
#include "platform/Paths.h"
#include "settings/ProfileFile.h"

#include <QList>

namespace {

// Each section is read into a buffer of this many bytes.
constexpr qsizetype kSectionCapacity = 50;

struct CaptionGroup {
    QByteArrayView section;
    int controls;
    void (LanguageTargets::*set)(int, const QString &);
};

const CaptionGroup kGroups[] = {
    {"button", 5, &LanguageTargets::setButtonCaption},
    {"frame", 4, &LanguageTargets::setFrameCaption},
    {"tabstrip", 4, &LanguageTargets::setTabCaption},
    {"listviewheader", 4, &LanguageTargets::setColumnCaption},
};

} // namespace

void LoadLanguage(const QString &programDirectory, LanguageTargets &targets) {
    const QString path =
        Paths::withTrailingSeparator(programDirectory) + QStringLiteral("elanguage.dat");
    const QByteArray content = ProfileFile::load(path).value_or(QByteArray());
    if (content.isEmpty())
        return;
    for (const CaptionGroup &group : kGroups) {
        const QByteArray text = ProfileText::readSection(content, group.section, kSectionCapacity);
        // What follows the last separator is empty or a line cut short: never used. Lines
        // beyond the group's controls have nothing to go to.
        const QList<QByteArray> lines = text.split('\0');
        for (int i = 0; i + 1 < lines.size() && i < group.controls; ++i)
            (targets.*group.set)(i, LegacyText::decode(lines[i]));
    }
}
