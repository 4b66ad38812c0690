#include "cli/CommandLine.h"
#include "cli/CommandRun.h"
#include "platform/Console.h"
#include "platform/Drives.h"
#include "platform/Paths.h"

#include <QCoreApplication>

#ifndef TUNEMARK_INSTALL_BINDIR
#define TUNEMARK_INSTALL_BINDIR "" // built without the install rules: never installed
#endif

int main(int argc, char *argv[]) {
    Drives::keepSystemErrorBoxesAway(); // before anything can touch a drive
    QCoreApplication app(argc, argv);
    // The same configuration folder as the window's, whatever this program's file is called.
    QCoreApplication::setApplicationName(QStringLiteral("tunemark"));
    const CommandLine line =
        parseCommandLine(app.arguments().mid(1), Paths::exactArguments(argc, argv));
    switch (line.action) {
    case CommandLine::Action::Help:
        writeText(stdout, usageText().toUtf8());
        return kAllDone;
    case CommandLine::Action::Version:
        writeText(stdout, versionText().toUtf8());
        return kAllDone;
    case CommandLine::Action::Window: // no window here
        writeText(stderr, QStringLiteral("请给出 --rename、--number 或 --undo\n").toUtf8());
        writeText(stderr, usageText().toUtf8());
        return kUsageError;
    case CommandLine::Action::Usage:
        writeText(stderr, (line.error + u'\n' + usageText()).toUtf8());
        return kUsageError;
    default:
        break;
    }
    return runCommand(line, currentDataFolders(QString::fromUtf8(TUNEMARK_INSTALL_BINDIR)));
}
