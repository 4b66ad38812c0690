#pragma once

// Whether text the program prints reaches the user: not on Windows, where a window program has
// no console, so help and version texts are shown in a message box there instead.
bool hasConsole();
