#include "settings/Settings.h"

#include "platform/LegacyText.h"
#include "settings/ProfileFile.h"

#include <QFile>
#include <QFileInfo>

namespace {

const QString kFileName = QStringLiteral("rename.ini");
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

SettingsFile::SettingsFile(const DataFolders &folders)
    : m_folders(folders)
    , m_iniPath(folders.dataDirectory + kFileName) {
    if (!folders.isPortable())
        m_startingPath = folders.programDirectory + kFileName;
}

SettingsFile::SettingsFile(const QString &programDirectory)
    : SettingsFile(DataFolders::portable(programDirectory)) {}

Settings SettingsFile::LoadSettings() const {
    const QString path =
        m_startingPath.isEmpty() || QFileInfo::exists(m_iniPath) ? m_iniPath : m_startingPath;
    // One read of the file serves every value.
    const QByteArray content = ProfileFile::load(path).value_or(QByteArray());
    const auto value = [&](QByteArrayView key, QByteArrayView defaultValue, qsizetype capacity) {
        return ProfileText::readValue(content, kSetup, key, defaultValue, capacity);
    };

    Settings settings;
    settings.playlist = optionState(value("m3u", "0", 2));
    settings.m3uPath = value("m3upath", "", kValueCapacity);
    settings.history = optionState(value("history", "0", 2));
    settings.nameTemplate = LegacyText::decode(value("format", "%1-%2", kValueCapacity));
    settings.readId3v2 = value("id3v2", "", kValueCapacity) == "1";

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
    if (!m_folders.makeDataDirectory())
        return Saved::No;
    // The first save away from the program keeps what the file beside it holds.
    if (!m_startingPath.isEmpty() && !QFileInfo::exists(m_iniPath))
        QFile::copy(m_startingPath, m_iniPath);
    // The four keys in their order, then the options that are on, with one read and one write
    // of the file. An option that is off leaves no line, so that a file saved with every option
    // off holds the four keys alone.
    QList<ProfileFile::KeyValue> values{{"m3u", stored(settings.playlist)},
                                        {"m3upath", settings.m3uPath},
                                        {"history", stored(settings.history)},
                                        {"format", LegacyText::encode(settings.nameTemplate)}};
    QList<QByteArray> removed;
    if (settings.readId3v2)
        values.append(ProfileFile::KeyValue("id3v2", "1"));
    else
        removed.append("id3v2");
    bool listed = false;
    const bool written =
        ProfileFile::writeValues(m_iniPath, kSetup, values, removed, isListed, &listed);
    return written ? Saved::Yes : listed ? Saved::ListedFile : Saved::No;
}
