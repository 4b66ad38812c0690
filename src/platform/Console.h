#pragma once

#include <QByteArrayView>

#include <cstdio>

// Whether text the program prints reaches the user: not on Windows, where a window program has
// no console, so help and version texts are shown in a message box there instead.
bool hasConsole();

// Whether stream is a terminal (a console on Windows) rather than a file or a pipe: progress
// is shown only there.
bool isTerminal(FILE *stream);

// Writes text to stream. Off Windows the bytes go as they are: UTF-8 text and names as the file
// system's exact bytes. On Windows, where names are UTF-16 and text is given as UTF-8, a
// console gets it as Unicode and a file or pipe as UTF-8, which holds every name.
void writeText(FILE *stream, QByteArrayView utf8);
