#include "app/Form1.h"
#include "dialogs/QtChinese.h"
#include "dialogs/QtUserDialogs.h"
#include "settings/DataFolders.h"

#include <QApplication>
#include <QScreen>
#include <QTranslator>

#ifndef TUNEMARK_INSTALL_BINDIR
#define TUNEMARK_INSTALL_BINDIR "" // built without the install rules: never installed
#endif

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QTranslator qtChinese;
    installQtChinese(qtChinese); // without it Qt's buttons read in English
    QtUserDialogs dialogs;
    // The folder the program is installed to, where it must not keep its files.
    Form1 window(dialogs, currentDataFolders(QString::fromUtf8(TUNEMARK_INSTALL_BINDIR)));
    dialogs.setOwner(&window);
    if (const QScreen *screen = window.screen())
        window.move(screen->availableGeometry().center() - window.rect().center());
    window.show();
    return app.exec();
}
