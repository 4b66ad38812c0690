#pragma once

#include <QString>
#include <QStringList>

// What the command line asks for: `tunemark [--help | --version] [PATH…]`.
struct CommandLine {
    enum class Action { Run, Help, Version, Unknown };

    Action action = Action::Run;
    QStringList paths; // files and folders to add after the start, as given
    // Each path's exact bytes where bytes were given (names that are not UTF-8); else empty.
    QList<QByteArray> nativePaths;
};

// arguments without the program's own name, and where given the same as the system's exact
// bytes. "--" ends the options.
CommandLine parseCommandLine(const QStringList &arguments, const QList<QByteArray> &bytes = {});

// The short usage text in Chinese, and the version line.
QString usageText();
QString versionText();
