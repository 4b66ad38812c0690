#pragma once

#include <QFile>

// Opens file (named by its fileName()) for reading when it is a regular file. Anything else,
// a directory, a device, a pipe, fails without waiting: opening a pipe for reading in the
// ordinary way blocks until some other process writes to it.
bool openRegularFileForReading(QFile &file);
