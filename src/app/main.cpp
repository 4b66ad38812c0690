#include "app/CommandLine.h"
#include "app/Form1.h"
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
    // Help and version, where they are printed, need no display: answered before the window
    // system is reached. Qt's own options are known only to QApplication.
    if (hasConsole()) {
        QStringList arguments;
        for (int i = 1; i < argc; ++i)
            arguments << QString::fromLocal8Bit(argv[i]);
        const CommandLine::Action early = parseCommandLine(arguments).action;
        if (early == CommandLine::Action::Help || early == CommandLine::Action::Version) {
            tell(early == CommandLine::Action::Help ? usageText() : versionText(), stdout);
            return 0;
        }
    }

    QApplication app(argc, argv);
    QTranslator qtChinese;
    installQtChinese(qtChinese); // without it Qt's buttons read in English
    useChineseForms();

    // QApplication has taken its own options out of argv: the rest match arguments().
    const CommandLine commandLine =
        parseCommandLine(app.arguments().mid(1), Paths::exactArguments(argc, argv));
    switch (commandLine.action) {
    case CommandLine::Action::Help:
        tell(usageText(), stdout);
        return 0;
    case CommandLine::Action::Version:
        tell(versionText(), stdout);
        return 0;
    case CommandLine::Action::Unknown:
        tell(usageText(), stderr);
        return 2;
    case CommandLine::Action::Run:
        break;
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
        QList<FilePath> paths;
        const FilePath here = QDir::currentPath() + u'/';
        for (const FilePath &given : std::as_const(commandLine.paths)) {
            if (!given.hasOwnBytes())
                paths << FilePath(QFileInfo(given.text()).absoluteFilePath());
            else // a name that is not UTF-8 is kept as its bytes and shown decoded
                paths << (given.exactBytes().startsWith('/') ? given : here.join(given));
        }
        // Once the window is up, so that a long add shows its progress over it.
        QTimer::singleShot(0, &window, [&window, paths] { window.addPaths(paths); });
    }
    return app.exec();
}
