#pragma once

#include "platform/FilePath.h"

#include <QString>
#include <QStringList>

// What the command line asks for: `tunemark [--help | --version] [PATH…]`.
struct CommandLine {
    enum class Action { Run, Help, Version, Unknown };

    Action action = Action::Run;
    // Files and folders to add after the start, as given; by their exact bytes where those
    // were given and are not UTF-8.
    QList<FilePath> paths;
};

// arguments without the program's own name, and where given the same as the system's exact
// bytes. "--" ends the options.
CommandLine parseCommandLine(const QStringList &arguments, const QList<QByteArray> &bytes = {});

// The short usage text in Chinese, and the version line.
QString usageText();
QString versionText();
