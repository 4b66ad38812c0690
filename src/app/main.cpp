#include "app/Form1.h"
#include "dialogs/QtUserDialogs.h"
#include "platform/Paths.h"

#include <QApplication>
#include <QScreen>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QtUserDialogs dialogs;
    Form1 window(dialogs, Paths::programDirectory());
    dialogs.setOwner(&window);
    if (const QScreen *screen = window.screen())
        window.move(screen->availableGeometry().center() - window.rect().center());
    window.show();
    return app.exec();
}
