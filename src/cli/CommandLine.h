#pragma once

#include "platform/FilePath.h"

#include <QString>
#include <QStringList>

#include <optional>

// What the command line asks for. Without a command the window opens with the paths given;
// the commands --rename, --number and --undo run without it.
struct CommandLine {
    enum class Action { Window, Help, Version, Usage, Rename, Number, Undo };

    Action action = Action::Window;
    QString error; // Usage: what is wrong with the arguments
    // Files and folders, as given; by their exact bytes where those were given and are not
    // UTF-8.
    QList<FilePath> paths;

    // --rename: each unset option takes its value from the settings.
    std::optional<QString> nameTemplate;
    std::optional<int> tagCodePage;
    std::optional<bool> readId3v2;
    std::optional<bool> allFormats;
    std::optional<bool> safeNames;
    std::optional<bool> writeLog;
    std::optional<bool> writePlaylist;
    bool skipDoubtful = false;
    QString settingsFile;

    // --number
    QString prefix;
    QString startNumber;
    QString extension; // empty: each file keeps its own
    QString filter;    // the extension page 2's filter box would hold; empty: every file

    bool dryRun = false;
    bool tsv = false;

    bool isCommand() const {
        return action == Action::Rename || action == Action::Number || action == Action::Undo;
    }
};

// arguments without the program's own name, and where given the same as the system's exact
// bytes. "--" ends the options. guiOptions: the window system's own options (-platform X,
// -style X, …) are let through for the window rather than refused, as they are before the
// window system has taken them out.
CommandLine parseCommandLine(const QStringList &arguments, const QList<QByteArray> &bytes = {},
                             bool guiOptions = false);

// The usage text in Chinese, and the version line.
QString usageText();
QString versionText();
