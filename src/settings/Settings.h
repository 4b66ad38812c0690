#pragma once

#include "platform/FileIdentity.h"
#include "platform/LegacyText.h"
#include "settings/DataFolders.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

// A check-box option as rename.ini stores it.
enum class OptionState { Unchecked = 0, Checked = 1, Grayed = 2 };

// Whether an option counts as on: a grayed box does.
inline bool isOn(OptionState state) {
    return state != OptionState::Unchecked;
}

// The window's place, in device-independent pixels: section window of rename.ini, written only
// once the user moved, resized or maximised the window.
struct WindowPlace {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool maximized = false;
    bool known = false; // false: never stored; the window opens at its documented size

    bool operator==(const WindowPlace &other) const {
        return x == other.x && y == other.y && width == other.width && height == other.height &&
               maximized == other.maximized && known == other.known;
    }
};

// What rename.ini holds for the program.
struct Settings {
    OptionState playlist = OptionState::Unchecked;  // m3u: write rename.m3u
    OptionState history = OptionState::Unchecked;   // history: write rename.log
    QString nameTemplate = QStringLiteral("%1-%2"); // format
    QString filterText;      // the first line of section filter: the filter box's text
    QStringList filterItems; // the lines after it: the filter box's list
    QByteArray m3uPath;      // m3upath as read, written back unchanged
    // format as read: written back in place of nameTemplate while that is unchanged, so bytes
    // the file's encoding cannot decode survive a save
    QByteArray formatBytes;
    bool readId3v2 = false; // id3v2: read ID3v2 tags; written only when on
    // allformats: take the other music formats (FLAC, Ogg, MP4, …); written only when on
    bool allFormats = false;
    // safenames: characters no Windows name may hold become full-width; written only when on
    bool safeNames = false;
    WindowPlace window; // section window
    // codepage: the encoding of legacy text in tags, a code page or LegacyText::kAutoUtf8;
    // written only when not the system's
    int tagCodePage = LegacyText::kSystemCodePage;
};

// rename.ini in the folder in use.
class SettingsFile {
public:
    explicit SettingsFile(const DataFolders &folders);
    // Everything beside the program in programDirectory.
    explicit SettingsFile(const QString &programDirectory);
    // The settings file at iniPath alone, as the command line's --settings names it.
    static SettingsFile at(const QString &iniPath);

    // Reads rename.ini; where the folder in use is not the program's and holds none yet, the
    // one beside the program is the starting point. Absent values give the defaults, and an option
    // value other than "0", "1" or "2" reads as unchecked. Each value is read into a buffer of
    // fixed size, so text beyond it is cut on a whole character.
    Settings LoadSettings() const;
    // Locked: another process was saving or renaming (RunLock) and nothing was written.
    enum class Saved { Yes, No, ListedFile, Locked };

    // Writes m3u, m3upath, history and format into section setup of rename.ini in the folder
    // in use, which is created when needed, then codepage when it is not the system's, and
    // id3v2, allformats and safenames when they are on, in that order (each line goes when its
    // value is the default); everything else in the
    // file (or, the first time, in the starting point) stays as it was. Text is written in the
    // encoding the file is in. A failure leaves the old file whole. When isListed says
    // rename.ini is one of the listed audio files (the same file under another name), nothing
    // is written.
    // why, when given, says in words why nothing could be written (Saved::No).
    Saved SaveSettings(const Settings &settings,
                       const std::function<bool(const FileIdentity &)> &isListed = {},
                       QString *why = nullptr) const;
    QString path() const { return m_iniPath; }
    // "无法保存设置：" with the file and why (from SaveSettings).
    QString failureMessage(const QString &why) const;
    // Whether no rename.ini exists where the program looks: the folder in use and, when that is
    // not the program's, beside the program. LoadSettings then turns the ID3v2, other-formats
    // and safe-names options on.
    bool isFirstStart() const;

private:
    DataFolders m_folders;
    QString m_iniPath;
    QString m_startingPath; // rename.ini beside the program; empty when that is m_iniPath
};
