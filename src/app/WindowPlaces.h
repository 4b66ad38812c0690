#pragma once

#include "settings/Settings.h"

#include <QRect>

class QWidget;

// The main window's place kept in rename.ini.
namespace WindowPlaces {

// Puts window at place, where that lies on a screen of today; false, changing nothing, where
// there is no place or it lies on no screen (a second monitor unplugged).
bool restore(QWidget &window, const WindowPlace &place);

// The place to keep for window, which first showed at shown: its own once the user moved,
// resized or maximised it, or once a place was kept already (alreadyKept); else none.
WindowPlace toKeep(const QWidget &window, const QRect &shown, bool alreadyKept);

} // namespace WindowPlaces
