#include "settings/Language.h"

#include "platform/LegacyText.h"
#include "platform/OwnFiles.h"
#include "settings/ProfileFile.h"

#include <QFileInfo>
#include <QList>

namespace {

// Each section is read into a buffer of this many bytes.
constexpr qsizetype kSectionCapacity = 50;

struct CaptionGroup {
    QByteArrayView section;
    int controls;
    QStringList CaptionSet::*captions;
};

const CaptionGroup kGroups[] = {
    {"button", 5, &CaptionSet::buttons},
    {"frame", 4, &CaptionSet::frames},
    {"tabstrip", 4, &CaptionSet::tabs},
    {"listviewheader", 4, &CaptionSet::columns},
};

} // namespace

QString languageFilePath(const DataFolders &folders) {
    const QString name = OwnFiles::kLanguage.toString();
    const QString inUse = folders.dataDirectory + name;
    if (folders.hasDataDirectory() && QFileInfo::exists(inUse))
        return inUse;
    const QString beside = folders.programDirectory + name;
    return !folders.isPortable() && QFileInfo::exists(beside) ? beside : QString();
}

CaptionSet LoadLanguage(const DataFolders &folders) {
    const QString path = languageFilePath(folders);
    const QByteArray content =
        path.isEmpty() ? QByteArray() : ProfileFile::load(path).value_or(QByteArray());
    CaptionSet set;
    if (content.isEmpty())
        return set;
    const int codePage = LegacyText::profileCodePage(content);
    for (const CaptionGroup &group : kGroups) {
        const QByteArray text =
            ProfileText::readSection(content, group.section, kSectionCapacity, codePage);
        // What follows the last separator is empty or a line cut short: never used. Lines
        // beyond the group's controls have nothing to go to.
        const QList<QByteArray> lines = text.split('\0');
        for (int i = 0; i + 1 < lines.size() && i < group.controls; ++i)
            (set.*group.captions).append(LegacyText::decode(lines[i], codePage));
    }
    return set;
}
