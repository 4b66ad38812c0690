#include "platform/Drives.h"

#include <memory>

#ifdef Q_OS_WIN
#include <atomic>
#include <string>
#include <windows.h>
#else
#include <future>
#include <thread>
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

#ifdef Q_OS_WIN
namespace {

// What a check's thread and its caller share; the last of the two to let go frees it.
struct PendingAnswer {
    explicit PendingAnswer(std::function<bool()> toRun)
        : check(std::move(toRun))
        , ready(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~PendingAnswer() {
        if (ready)
            CloseHandle(ready);
    }
    PendingAnswer(const PendingAnswer &) = delete;
    PendingAnswer &operator=(const PendingAnswer &) = delete;

    std::function<bool()> check;
    HANDLE ready;
    std::atomic<bool> value{false};
};

DWORD WINAPI answerCheck(void *parameter) {
    const std::unique_ptr<std::shared_ptr<PendingAnswer>> owned(
        static_cast<std::shared_ptr<PendingAnswer> *>(parameter));
    PendingAnswer &answer = **owned;
    answer.value.store(answer.check(), std::memory_order_release);
    SetEvent(answer.ready);
    return 0;
}

} // namespace
#endif

bool answersWithin(std::function<bool()> check, std::chrono::milliseconds wait) {
#ifdef Q_OS_WIN
    // A thread of the system's own, its handle closed at once, rather than a detached
    // std::thread: the MinGW threads library can hand a detached thread's record to a new
    // thread while the first is still ending, and then fails the detach ("No such process") or
    // starts the new thread with a spoilt record (a crash at its start). Seen under load, in a
    // program of a few lines as in the window tests, which check a drive for every window.
    auto answer = std::make_shared<PendingAnswer>(std::move(check));
    if (!answer->ready)
        return false;
    auto *forThread = new std::shared_ptr<PendingAnswer>(answer);
    const HANDLE thread = CreateThread(nullptr, 0, answerCheck, forThread, 0, nullptr);
    if (!thread) {
        delete forThread;
        return false;
    }
    CloseHandle(thread);
    return WaitForSingleObject(answer->ready, DWORD(wait.count())) == WAIT_OBJECT_0 &&
           answer->value.load(std::memory_order_acquire);
#else
    auto answer = std::make_shared<std::promise<bool>>();
    std::future<bool> future = answer->get_future();
    std::thread([answer, check = std::move(check)] { answer->set_value(check()); }).detach();
    return future.wait_for(wait) == std::future_status::ready && future.get();
#endif
}

void keepSystemErrorBoxesAway() {
#ifdef Q_OS_WIN
    SetErrorMode(SetErrorMode(0) | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
#endif
}

} // namespace Drives
