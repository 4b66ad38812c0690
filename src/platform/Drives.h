#pragma once

#include <QList>
#include <QString>

#include <chrono>
#include <functional>

// The drives the drive box offers. On Windows each drive letter in use; elsewhere one drive,
// the root "/".
namespace Drives {

enum class Kind { Fixed, Removable, Network, Optical };

struct Drive {
    QString name; // as Folders::driveOf gives it: "C:", or "/"
    Kind kind;
};

// The kind of a drive for the type Windows gives it (GetDriveTypeW). A plain function of the
// number, so that it is tested on every system.
Kind kindOfDriveType(unsigned type);

// The drives there are now. Asks for no volume, so an empty drive costs no wait.
QList<Drive> list();

// Whether the drive holds a volume that answers within a short wait: an empty card reader or
// a network drive whose server is gone is not ready, and the window never waits for long (a
// fixed disk is given longer: it answers, if late on a busy machine).
// Always true off Windows.
bool isReady(const QString &drive);

// Whether check answers true within wait. The check runs on a thread of its own; one that
// takes longer counts as false and is left to finish by itself.
bool answersWithin(std::function<bool()> check, std::chrono::milliseconds wait);

// Keeps the system's own error boxes ("no disk in the drive") away, for the whole run: a drive
// that cannot be read is the program's to report. Call first thing; does nothing off Windows.
void keepSystemErrorBoxesAway();

} // namespace Drives
