#include "platform/Console.h"

#include <QtGlobal>

bool hasConsole() {
#ifdef Q_OS_WIN
    return false;
#else
    return true;
#endif
}
