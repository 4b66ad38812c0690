#include "platform/Drives.h"

#include <future>
#include <memory>
#include <thread>

#ifdef Q_OS_WIN
#include <string>
#include <windows.h>
#endif

namespace Drives {

namespace {

// GetDriveTypeW's answers, as winbase.h gives them.
constexpr unsigned kRemovable = 2;
constexpr unsigned kRemote = 4;
constexpr unsigned kCdRom = 5;

// How long the window waits for a drive before taking it as not ready. A fixed disk always
// answers, only late on a busy machine: it is given longer, so that a loaded system never shows
// its own disk as missing.
constexpr std::chrono::milliseconds kReadyWait(1500);
constexpr std::chrono::milliseconds kFixedDiskWait(10000);

#ifdef Q_OS_WIN
static_assert(kRemovable == DRIVE_REMOVABLE && kRemote == DRIVE_REMOTE && kCdRom == DRIVE_CDROM);

// A drive's root as the volume calls take it: "E:\". A root is never long, and these calls are
// documented for this form.
std::wstring rootOf(const QString &drive) {
    return (drive.left(2) + u'\\').toStdWString();
}
#endif

} // namespace

Kind kindOfDriveType(unsigned type) {
    switch (type) {
    case kRemovable:
        return Kind::Removable;
    case kRemote:
        return Kind::Network;
    case kCdRom:
        return Kind::Optical;
    default:
        return Kind::Fixed; // fixed disks, RAM disks, and what the system cannot tell
    }
}

QList<Drive> list() {
#ifdef Q_OS_WIN
    QList<Drive> drives;
    const DWORD letters = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (!(letters & (DWORD(1) << i)))
            continue;
        const QString name = QChar(u'A' + i) + QStringLiteral(":");
        drives.append({name, kindOfDriveType(GetDriveTypeW(rootOf(name).c_str()))});
    }
    return drives;
#else
    return {{QStringLiteral("/"), Kind::Fixed}};
#endif
}

bool isReady(const QString &drive) {
#ifdef Q_OS_WIN
    const std::wstring root = rootOf(drive);
    const bool fixed = kindOfDriveType(GetDriveTypeW(root.c_str())) == Kind::Fixed;
    return answersWithin(
        [root] {
            return GetVolumeInformationW(root.c_str(), nullptr, 0, nullptr, nullptr, nullptr,
                                         nullptr, 0) != 0;
        },
        fixed ? kFixedDiskWait : kReadyWait);
#else
    Q_UNUSED(drive);
    Q_UNUSED(kReadyWait);
    Q_UNUSED(kFixedDiskWait);
    return true;
#endif
}

bool answersWithin(std::function<bool()> check, std::chrono::milliseconds wait) {
    auto answer = std::make_shared<std::promise<bool>>();
    std::future<bool> future = answer->get_future();
    std::thread([answer, check = std::move(check)] { answer->set_value(check()); }).detach();
    return future.wait_for(wait) == std::future_status::ready && future.get();
}

void keepSystemErrorBoxesAway() {
#ifdef Q_OS_WIN
    SetErrorMode(SetErrorMode(0) | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
#endif
}

} // namespace Drives
