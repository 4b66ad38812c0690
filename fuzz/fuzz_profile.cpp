// Profile text of any bytes: reading never goes past its limits, and writing a value keeps
// everything else readable as it was.
#include "settings/ProfileFile.h"
#include "settings/Settings.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition) {
    if (!condition)
        std::abort();
}

// A program directory for rename.ini, removed at exit.
const QString &programDirectory() {
    static const QTemporaryDir dir;
    static const QString path = dir.path();
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray content(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));

    for (const int codePage : {LegacyText::kSystemCodePage, LegacyText::kUtf8}) {
        for (const qsizetype capacity : {0, 1, 2, 50, 100}) {
            check(ProfileText::readValue(content, "setup", "format", "%1-%2", capacity, codePage)
                      .size() < std::max<qsizetype>(capacity, 1));
            check(ProfileText::readSection(content, "filter", capacity, codePage).size() <
                  std::max<qsizetype>(capacity, 1));
        }
    }

    // The filter box gets its text and at most one item for each further line of the section.
    QFile ini(programDirectory() + QStringLiteral("/rename.ini"));
    check(ini.open(QIODevice::WriteOnly) && ini.write(content) == content.size());
    ini.close();
    const Settings settings = SettingsFile(programDirectory()).LoadSettings();
    check(settings.filterItems.size() <=
          ProfileText::readSection(content, "filter", 100).count('\0'));

    const QByteArray m3u = ProfileText::readValue(content, "setup", "m3u", "0", 100);
    const QByteArray filter = ProfileText::readSection(content, "filter", 1000);
    for (const QByteArrayView value : {QByteArrayView(""), QByteArrayView("%1-\xB8\xE8")}) {
        const QByteArray written = ProfileText::withValue(content, "setup", "format", value);
        check(ProfileText::readValue(written, "setup", "format", "d", 100) == value);
        check(ProfileText::withValue(written, "setup", "format", value) == written);
        check(ProfileText::readValue(written, "setup", "m3u", "0", 100) == m3u);
        check(ProfileText::readSection(written, "filter", 1000) == filter);
    }
    return 0;
}
