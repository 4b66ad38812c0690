#include "app/Form1.h"
#include "cli/CommandLine.h"
#include "cli/CommandRun.h"
#include "dialogs/QtChinese.h"
#include "dialogs/QtUserDialogs.h"
#include "platform/CloseRequests.h"
#include "platform/Console.h"
#include "platform/Drives.h"
#include "platform/Paths.h"
#include "settings/DataFolders.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QScreen>
#include <QSessionManager>
#include <QTimer>
#include <QTranslator>

#include <cstdio>

#ifndef TUNEMARK_INSTALL_BINDIR
#define TUNEMARK_INSTALL_BINDIR "" // built without the install rules: never installed
#endif

namespace {

// Prints text, or where nobody would see it printed, shows it.
void tell(const QString &text, FILE *stream) {
    if (hasConsole()) {
        std::fputs(text.toLocal8Bit().constData(), stream);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, UserDialogs::kAppTitle, text, QMessageBox::Ok);
    box.exec();
}

} // namespace

int main(int argc, char *argv[]) {
    Drives::keepSystemErrorBoxesAway(); // before anything can touch a drive
    // Help, version, the commands and a usage error, where they are printed, need no display:
    // answered before the window system is reached, whose own options are let through.
    if (hasConsole()) {
        QStringList arguments;
        for (int i = 1; i < argc; ++i)
            arguments << QString::fromLocal8Bit(argv[i]);
        const CommandLine early =
            parseCommandLine(arguments, Paths::exactArguments(argc, argv), true);
        switch (early.action) {
        case CommandLine::Action::Help:
            tell(usageText(), stdout);
            return kAllDone;
        case CommandLine::Action::Version:
            tell(versionText(), stdout);
            return kAllDone;
        case CommandLine::Action::Usage:
            tell(early.error + u'\n' + usageText(), stderr);
            return kUsageError;
        case CommandLine::Action::Window:
            break;
        default: {
            QCoreApplication app(argc, argv);
            return runCommand(early,
                              currentDataFolders(QString::fromUtf8(TUNEMARK_INSTALL_BINDIR)));
        }
        }
    }

    QApplication app(argc, argv);
    QTranslator qtChinese;
    installQtChinese(qtChinese); // without it Qt's buttons read in English
    useChineseForms();

    // QApplication has taken its own options out of argv: the rest match arguments().
    const CommandLine commandLine =
        parseCommandLine(app.arguments().mid(1), Paths::exactArguments(argc, argv), true);
    switch (commandLine.action) {
    case CommandLine::Action::Help:
        tell(usageText(), stdout);
        return kAllDone;
    case CommandLine::Action::Version:
        tell(versionText(), stdout);
        return kAllDone;
    case CommandLine::Action::Usage:
        tell(commandLine.error + u'\n' + usageText(), stderr);
        return kUsageError;
    case CommandLine::Action::Window:
        break;
    default: // a window program has no console to print to
        tell(QStringLiteral("命令行改名请用 tunemark-cli.exe"), stderr);
        return kUsageError;
    }
    QtUserDialogs dialogs;
    // The folder the program is installed to, where it must not keep its files.
    Form1 window(dialogs, currentDataFolders(QString::fromUtf8(TUNEMARK_INSTALL_BINDIR)));
    dialogs.setOwner(&window);
    const QScreen *screen = window.screen();
    if (screen && !window.hasStoredPlace())
        window.move(screen->availableGeometry().center() - window.rect().center());
    window.show();
    // A logout or `kill` closes the window as the user would: the settings are saved.
    const CloseRequests closeRequests([&window] { window.close(); });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &window,
                     [&window](QSessionManager &) { window.Form_Unload(); });
    if (!commandLine.paths.isEmpty()) {
        // Once the window is up, so that a long add shows its progress over it.
        QTimer::singleShot(0, &window, [&window, paths = absolutePaths(commandLine.paths)] {
            window.addPaths(paths);
        });
    }
    return app.exec();
}
