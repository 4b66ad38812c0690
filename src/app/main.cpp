#include "app/Form1.h"
#include "dialogs/QtChinese.h"
#include "dialogs/QtUserDialogs.h"
#include "platform/Paths.h"

#include <QApplication>
#include <QScreen>
#include <QTranslator>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QTranslator qtChinese;
    installQtChinese(qtChinese); // without it Qt's buttons read in English
    QtUserDialogs dialogs;
    Form1 window(dialogs, Paths::programDirectory());
    dialogs.setOwner(&window);
    if (const QScreen *screen = window.screen())
        window.move(screen->availableGeometry().center() - window.rect().center());
    window.show();
    return app.exec();
}
