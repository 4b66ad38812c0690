#include "settings/Settings.h"

#include "platform/LegacyText.h"
#include "platform/Paths.h"
#include "settings/ProfileFile.h"

namespace {

constexpr QByteArrayView kSetup("setup");
// The buffer every value is read into, and the filter section too.
constexpr qsizetype kValueCapacity = 100;

OptionState optionState(const QByteArray &value) {
    if (value == "1")
        return OptionState::Checked;
    if (value == "2")
        return OptionState::Grayed;
    return OptionState::Unchecked;
}

QByteArray stored(OptionState state) {
    return QByteArray::number(static_cast<int>(state));
}

} // namespace

SettingsFile::SettingsFile(const QString &programDirectory)
    : m_iniPath(Paths::withTrailingSeparator(programDirectory) + QStringLiteral("rename.ini")) {}

Settings SettingsFile::LoadSettings() const {
    // One read of the file serves every value.
    const QByteArray content = ProfileFile::load(m_iniPath).value_or(QByteArray());
    const auto value = [&](QByteArrayView key, QByteArrayView defaultValue, qsizetype capacity) {
        return ProfileText::readValue(content, kSetup, key, defaultValue, capacity);
    };

    Settings settings;
    settings.playlist = optionState(value("m3u", "0", 2));
    settings.m3uPath = value("m3upath", "", kValueCapacity);
    settings.history = optionState(value("history", "0", 2));
    settings.nameTemplate = LegacyText::decode(value("format", "%1-%2", kValueCapacity));

    // Every line is followed by a NUL; what follows the last one is empty or a line cut short,
    // and only ever the box's text.
    const QStringList lines =
        LegacyText::decode(ProfileText::readSection(content, "filter", kValueCapacity))
            .split(QChar());
    settings.filterText = lines.front();
    settings.filterItems = lines.mid(1, lines.size() - 2);
    return settings;
}

SettingsFile::Saved
SettingsFile::SaveSettings(const Settings &settings,
                           const std::function<bool(const FileIdentity &)> &isListed) const {
    // The four keys in their order, with one read and one write of the file.
    bool listed = false;
    const bool written =
        ProfileFile::writeValues(m_iniPath, kSetup,
                                 {{"m3u", stored(settings.playlist)},
                                  {"m3upath", settings.m3uPath},
                                  {"history", stored(settings.history)},
                                  {"format", LegacyText::encode(settings.nameTemplate)}},
                                 isListed, &listed);
    return written ? Saved::Yes : listed ? Saved::ListedFile : Saved::No;
}
