#include "settings/Settings.h"

#include "platform/LegacyText.h"
#include "platform/OwnFiles.h"
#include "platform/RunLock.h"
#include "settings/ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr QByteArrayView kSetup("setup");
// The buffer every value is read into, and the filter section too.
constexpr qsizetype kValueCapacity = 100;

int tagCodePage(const QByteArray &value) {
    const LegacyText::TagEncoding *encoding = LegacyText::tagEncodingNamed(value);
    return encoding ? encoding->codePage : LegacyText::kSystemCodePage;
}

QByteArray codePageName(int codePage) {
    return LegacyText::tagEncoding(codePage).iniName.toByteArray();
}

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
    , m_iniPath(folders.hasDataDirectory()
                    ? OwnFiles::pathIn(folders.dataDirectory, OwnFiles::kSettings)
                    : QString()) {
    if (!folders.isPortable())
        m_startingPath = OwnFiles::pathIn(folders.programDirectory, OwnFiles::kSettings);
}

SettingsFile::SettingsFile(const QString &programDirectory)
    : SettingsFile(DataFolders::portable(programDirectory)) {}

SettingsFile SettingsFile::at(const QString &iniPath) {
    SettingsFile file(DataFolders{});
    file.m_iniPath = iniPath;
    return file;
}

QString SettingsFile::failureMessage(const QString &why) const {
    const QString file =
        m_iniPath.isEmpty() ? OwnFiles::kSettings.toString() : QDir::toNativeSeparators(m_iniPath);
    return QStringLiteral("无法保存设置：%1（%2）").arg(file, why);
}

bool SettingsFile::isFirstStart() const {
    return (m_iniPath.isEmpty() || !QFileInfo::exists(m_iniPath)) &&
           (m_startingPath.isEmpty() || !QFileInfo::exists(m_startingPath));
}

Settings SettingsFile::LoadSettings() const {
    const QString path =
        m_startingPath.isEmpty() || (!m_iniPath.isEmpty() && QFileInfo::exists(m_iniPath))
            ? m_iniPath
            : m_startingPath;
    // One read of the file serves every value.
    const QByteArray content = ProfileFile::load(path).value_or(QByteArray());
    const int codePage = LegacyText::profileCodePage(content);
    const auto value = [&](QByteArrayView key, QByteArrayView defaultValue, qsizetype capacity) {
        return ProfileText::readValue(content, kSetup, key, defaultValue, capacity, codePage);
    };

    Settings settings;
    settings.playlist = optionState(value("m3u", "0", 2));
    settings.m3uPath = value("m3upath", "", kValueCapacity);
    settings.history = optionState(value("history", "0", 2));
    settings.formatBytes = value("format", "%1-%2", kValueCapacity);
    settings.nameTemplate = LegacyText::decode(settings.formatBytes, codePage);
    settings.tagCodePage = tagCodePage(value("codepage", "", kValueCapacity));
    // A first start, with no rename.ini anywhere, gets today's options; a file that exists keeps
    // the documented default (off) for each it lacks.
    const QByteArray absent = isFirstStart() ? "1" : "";
    settings.readId3v2 = value("id3v2", absent, kValueCapacity) == "1";
    settings.allFormats = value("allformats", absent, kValueCapacity) == "1";
    settings.safeNames = value("safenames", absent, kValueCapacity) == "1";

    const auto windowValue = [&](QByteArrayView key) {
        return ProfileText::readValue(content, "window", key, "", kValueCapacity, codePage);
    };
    bool complete = true;
    int *const numbers[] = {&settings.window.x, &settings.window.y, &settings.window.width,
                            &settings.window.height};
    const char *const keys[] = {"x", "y", "width", "height"};
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        *numbers[i] = windowValue(keys[i]).toInt(&ok);
        complete = complete && ok;
    }
    settings.window.maximized = windowValue("maximized") == "1";
    settings.window.known = complete && settings.window.width > 0 && settings.window.height > 0;

    // Every line is followed by a NUL; what follows the last one is empty or a line cut short,
    // and only ever the box's text.
    const QStringList lines =
        LegacyText::decode(ProfileText::readSection(content, "filter", kValueCapacity, codePage),
                           codePage)
            .split(QChar());
    settings.filterText = lines.front();
    settings.filterItems = lines.mid(1, lines.size() - 2);
    return settings;
}

SettingsFile::Saved
SettingsFile::SaveSettings(const Settings &settings,
                           const std::function<bool(const FileIdentity &)> &isListed,
                           QString *why) const {
    if (!m_folders.makeDataDirectory()) {
        if (why)
            *why = m_folders.hasDataDirectory()
                       ? QStringLiteral("无法创建文件夹")
                       : QStringLiteral("没有可写的文件夹，试过：") + m_folders.folderNames();
        return Saved::No;
    }
    RunLock lock(m_folders.dataDirectory);
    if (!lock.take()) {
        if (why)
            *why = QStringLiteral("另一个 Tunemark 正在保存设置或改名");
        return Saved::Locked;
    }
    // The first save away from the program keeps what the file beside it holds.
    if (!m_startingPath.isEmpty() && !QFileInfo::exists(m_iniPath))
        QFile::copy(m_startingPath, m_iniPath);
    bool listed = false;
    const bool written = ProfileFile::rewrite(
        m_iniPath,
        [&](const QByteArray &content) {
            // The four keys in their order, then the options that are not at their defaults. An
            // option at its default leaves no line, so that a file saved with every option at its
            // default holds the four keys alone.
            int codePage = LegacyText::profileCodePage(content);
            QByteArray out = content;
            // A typed character the file's code page lacks turns the whole file into UTF-8
            // behind a byte-order mark, on every system, rather than into "?".
            if (codePage != LegacyText::kUtf8 &&
                !LegacyText::canEncode(settings.nameTemplate, codePage)) {
                out = ProfileText::inUtf8(content, codePage);
                codePage = LegacyText::kUtf8;
            }
            const auto set = [&](QByteArrayView key, QByteArrayView value) {
                out = ProfileText::withValue(out, kSetup, key, value);
            };
            set("m3u", stored(settings.playlist));
            set("m3upath", settings.m3uPath);
            set("history", stored(settings.history));
            const bool unchanged =
                LegacyText::decode(settings.formatBytes, codePage) == settings.nameTemplate;
            set("format", unchanged ? settings.formatBytes
                                    : LegacyText::encode(settings.nameTemplate, codePage));
            // The options after the four keys, in their order; each written only when not at
            // its default.
            const std::pair<QByteArrayView, QByteArray> options[] = {
                {"codepage", codePageName(settings.tagCodePage)},
                {"id3v2", settings.readId3v2 ? "1" : ""},
                {"allformats", settings.allFormats ? "1" : ""},
                {"safenames", settings.safeNames ? "1" : ""},
            };
            // A new line goes last in its section: the options after the first new one are
            // written again behind it, so the order holds.
            bool added = false;
            for (const auto &[key, optionValue] : options) {
                const bool present = ProfileText::readValue(out, kSetup, key, "\n", 2) != "\n";
                if (added || optionValue.isEmpty())
                    out = ProfileText::withoutKey(out, kSetup, key);
                added = added || (!present && !optionValue.isEmpty());
                if (!optionValue.isEmpty())
                    set(key, optionValue);
            }
            // The window's own section, only once there is a place to keep.
            if (settings.window.known) {
                const WindowPlace &w = settings.window;
                const std::pair<QByteArrayView, int> place[] = {{"x", w.x},
                                                                {"y", w.y},
                                                                {"width", w.width},
                                                                {"height", w.height},
                                                                {"maximized", w.maximized ? 1 : 0}};
                for (const auto &[key, number] : place)
                    out = ProfileText::withValue(out, "window", key, QByteArray::number(number));
            }
            return out;
        },
        isListed, &listed, why);
    return written ? Saved::Yes : listed ? Saved::ListedFile : Saved::No;
}
