#include "settings/Settings.h"

#include "platform/LegacyText.h"
#include "platform/Paths.h"
#include "settings/ProfileFile.h"

namespace {

constexpr QByteArrayView kSetup("setup");

// A check box holds 0, 1 or 2; any other stored value leaves it unchecked.
int checkState(const QByteArray &value) {
    if (value == "1")
        return 1;
    if (value == "2")
        return 2;
    return 0;
}

} // namespace

void FillComboList(SettingsControls &combo, const QString &text) {
    const QStringList segments = text.split(QChar(0));
    combo.setFilterText(segments.front());
    // The last segment follows the last separator: empty, or a line cut short.
    for (qsizetype i = 1; i + 1 < segments.size(); ++i)
        combo.addFilterItem(segments[i]);
}

SettingsStore::SettingsStore(const QString &programDirectory)
    : m_iniPath(Paths::withTrailingSeparator(programDirectory) + QStringLiteral("rename.ini")) {}

void SettingsStore::LoadSettings(SettingsControls &controls) {
    // One read of the file serves every value.
    const QByteArray content = ProfileFile::load(m_iniPath).value_or(QByteArray());

    controls.setPlaylistState(checkState(ProfileText::readValue(content, kSetup, "m3u", "0", 2)));
    m_m3uPathBytes = ProfileText::readValue(content, kSetup, "m3upath", "", 100);
    m_m3uPath = LegacyText::decode(m_m3uPathBytes);
    controls.setHistoryState(
        checkState(ProfileText::readValue(content, kSetup, "history", "0", 2)));
    controls.setNameTemplate(
        LegacyText::decode(ProfileText::readValue(content, kSetup, "format", "%1-%2", 100)));
    FillComboList(controls, LegacyText::decode(ProfileText::readSection(content, "filter", 100)));
}

void SettingsStore::SaveSettings(const SettingsControls &controls) {
    // The four keys in their order, with one read and one write of the file. m3upath goes back
    // as the bytes that were read, so that nothing in it is lost to conversion.
    ProfileFile::writeValues(m_iniPath, kSetup,
                             {{"m3u", QByteArray::number(controls.playlistState())},
                              {"m3upath", m_m3uPathBytes},
                              {"history", QByteArray::number(controls.historyState())},
                              {"format", LegacyText::encode(controls.nameTemplate())}});
}

void SettingsStore::WriteSetting(const QString &key, const QString &value) {
    ProfileFile::writeValue(m_iniPath, kSetup, LegacyText::encode(key), LegacyText::encode(value));
}
