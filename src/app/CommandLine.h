#pragma once

#include <QString>
#include <QStringList>

// What the command line asks for: `tunemark [--help | --version] [PATH…]`.
struct CommandLine {
    enum class Action { Run, Help, Version, Unknown };

    Action action = Action::Run;
    QStringList paths; // files and folders to add after the start, as given
};

// arguments without the program's own name. "--" ends the options.
CommandLine parseCommandLine(const QStringList &arguments);

// The short usage text in Chinese, and the version line.
QString usageText();
QString versionText();
