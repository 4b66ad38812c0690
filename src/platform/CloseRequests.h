#pragma once

#include <QObject>

#include <functional>

// Requests from the system to end the program the way a user closes its window: SIGTERM and
// SIGHUP off Windows (a logout, `kill`), so that the settings are saved as at a close. The
// signal only wakes the event loop; close runs there, never inside the signal handler. On
// Windows a logout reaches the program as the session manager's commit request instead, which
// the window handles; nothing is installed here.
class CloseRequests : public QObject {
    Q_OBJECT
public:
    // close runs on the thread of the event loop, once per request.
    explicit CloseRequests(std::function<void()> close, QObject *parent = nullptr);
    ~CloseRequests() override;
    CloseRequests(const CloseRequests &) = delete;
    CloseRequests &operator=(const CloseRequests &) = delete;

private:
    std::function<void()> m_close;
};
