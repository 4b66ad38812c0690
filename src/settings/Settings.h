#pragma once

#include "platform/FileIdentity.h"

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

// What rename.ini holds for the program.
struct Settings {
    OptionState playlist = OptionState::Unchecked;  // m3u: write rename.m3u
    OptionState history = OptionState::Unchecked;   // history: write rename.log
    QString nameTemplate = QStringLiteral("%1-%2"); // format
    QString filterText;      // the first line of section filter: the filter box's text
    QStringList filterItems; // the lines after it: the filter box's list
    QByteArray m3uPath;      // m3upath as read, written back unchanged
};

// rename.ini in the program directory.
class SettingsFile {
public:
    explicit SettingsFile(const QString &programDirectory);

    // Reads rename.ini; absent values give the defaults, and an option value other than "0",
    // "1" or "2" reads as unchecked. Each value is read into a buffer of fixed size, so text
    // beyond it is cut on a whole character.
    Settings LoadSettings() const;
    enum class Saved { Yes, No, ListedFile };

    // Writes m3u, m3upath, history and format into section setup; everything else in the file
    // stays as it was. A failure leaves the old file whole. When isListed says rename.ini is
    // one of the listed audio files (the same file under another name), nothing is written.
    Saved SaveSettings(const Settings &settings,
                       const std::function<bool(const FileIdentity &)> &isListed = {}) const;
    QString path() const { return m_iniPath; }

private:
    QString m_iniPath;
};
