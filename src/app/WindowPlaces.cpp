#include "app/WindowPlaces.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace WindowPlaces {

bool restore(QWidget &window, const WindowPlace &place) {
    if (!place.known)
        return false;
    const QRect rect(place.x, place.y, place.width, place.height);
    const QList<QScreen *> screens = QGuiApplication::screens();
    if (std::none_of(screens.cbegin(), screens.cend(), [&](const QScreen *screen) {
            return screen->availableGeometry().intersects(rect);
        }))
        return false;
    window.resize(rect.size().expandedTo(window.minimumSize()));
    window.move(rect.topLeft());
    if (place.maximized)
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
    return true;
}

WindowPlace toKeep(const QWidget &window, const QRect &shown, bool alreadyKept) {
    const QRect normal =
        window.normalGeometry().isValid() ? window.normalGeometry() : window.geometry();
    const bool changed =
        shown.isValid() && (window.isMaximized() || normal.size() != shown.size() ||
                            normal.topLeft() != shown.topLeft());
    if (!changed && !alreadyKept)
        return {};
    return {normal.x(), normal.y(), normal.width(), normal.height(), window.isMaximized(), true};
}

} // namespace WindowPlaces
