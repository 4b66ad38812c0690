// Profile text of any bytes: reading never goes past its limits, and writing a value keeps
// everything else readable as it was.
#include "platform/LegacyText.h"
#include "settings/ProfileFile.h"
#include "settings/Settings.h"

#include <cstdint>
#include <cstdlib>

namespace {

class Combo : public SettingsControls {
public:
    int playlistState() const override { return 0; }
    void setPlaylistState(int) override {}
    int historyState() const override { return 0; }
    void setHistoryState(int) override {}
    QString nameTemplate() const override { return {}; }
    void setNameTemplate(const QString &) override {}
    void setFilterText(const QString &) override { items = 1; }
    void addFilterItem(const QString &) override { ++items; }
    qsizetype items = 0;
};

void check(bool condition) {
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray content(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));

    for (const qsizetype capacity : {0, 1, 2, 50, 100}) {
        check(ProfileText::readValue(content, "setup", "format", "%1-%2", capacity).size() <
              std::max<qsizetype>(capacity, 1));
        const QByteArray section = ProfileText::readSection(content, "filter", capacity);
        check(section.size() < std::max<qsizetype>(capacity, 1));
        Combo combo;
        FillComboList(combo, LegacyText::decode(section));
        check(combo.items <= section.count('\0') + 1);
    }

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
