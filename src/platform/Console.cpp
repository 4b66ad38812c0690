#include "platform/Console.h"

#include <QString>
#include <QtGlobal>

#ifdef Q_OS_WIN
#include <io.h>
#include <qt_windows.h>
#else
#include <unistd.h>
#endif

bool hasConsole() {
#ifdef Q_OS_WIN
    return false;
#else
    return true;
#endif
}

bool isTerminal(FILE *stream) {
#ifdef Q_OS_WIN
    return _isatty(_fileno(stream)) != 0;
#else
    return ::isatty(::fileno(stream)) == 1;
#endif
}

void writeText(FILE *stream, QByteArrayView utf8) {
#ifdef Q_OS_WIN
    const QString text = QString::fromUtf8(utf8);
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    if (handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) {
        std::fflush(stream);
        DWORD written = 0;
        WriteConsoleW(handle, reinterpret_cast<const wchar_t *>(text.utf16()), DWORD(text.size()),
                      &written, nullptr);
        return;
    }
    // A pipe or file gets UTF-8: the ANSI code page would turn most names into "?".
    std::fwrite(utf8.data(), 1, size_t(utf8.size()), stream);
#else
    std::fwrite(utf8.data(), 1, size_t(utf8.size()), stream);
#endif
}
