#include "app/BusyProgress.h"

#include "dialogs/UserDialogs.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QProgressDialog>

#include <utility>

namespace {

constexpr int kShowAfterMs = 500;
constexpr int kRepaintEveryMs = 50;

// Escape and the close button either cancel, like the Cancel button, or do nothing: a
// hidden dialog would leave the user guessing whether the work still runs.
class ProgressDialog : public QProgressDialog {
public:
    ProgressDialog(QWidget *owner, bool cancellable)
        : QProgressDialog(owner)
        , m_cancellable(cancellable) {}

    void reject() override {
        if (m_cancellable)
            cancel();
    }

protected:
    void closeEvent(QCloseEvent *event) override {
        if (m_cancellable)
            QProgressDialog::closeEvent(event);
        else
            event->ignore();
    }

private:
    const bool m_cancellable;
};

} // namespace

BusyProgress::BusyProgress(QWidget *owner, bool &busy, Cancel cancel,
                           const std::function<void()> &observer)
    : m_owner(owner)
    , m_busy(busy)
    , m_cancel(cancel)
    , m_observer(observer) {
    m_busy = true;
}

BusyProgress::~BusyProgress() {
    release();
    m_busy = false;
}

void BusyProgress::holdStill() {
    m_focus = m_owner->focusWidget();
    // The controls, not the window: a message shown during the work is the window's child
    // and must still take its answer.
    for (QWidget *child : m_owner->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (!child->isWindow() && child->isEnabled()) {
            child->setEnabled(false);
            m_held.append(child);
        }
    }
}

void BusyProgress::release() {
    delete m_dialog;
    if (!m_clock.isValid())
        return; // never held
    // Input that arrived since the last report reaches the still disabled controls and goes.
    QCoreApplication::processEvents();
    for (const QPointer<QWidget> &child : std::as_const(m_held)) {
        if (child)
            child->setEnabled(true);
    }
    if (m_focus && m_focus->isEnabled() && !m_owner->focusWidget())
        m_focus->setFocus();
}

bool BusyProgress::update(int done, int total, const std::function<QString()> &text) {
    if (!m_clock.isValid()) {
        holdStill();
        m_clock.start();
    }
    if (m_observer)
        m_observer();
    if (m_dialog && m_dialog->wasCanceled())
        return false;
    if (!m_dialog) {
        if (m_clock.elapsed() < kShowAfterMs)
            return true;
        m_dialog = new ProgressDialog(m_owner, m_cancel == Cancel::Offered);
        m_dialog->setWindowTitle(UserDialogs::kAppTitle);
        m_dialog->setWindowModality(Qt::NonModal);
        m_dialog->setMinimumDuration(0);
        m_dialog->setAutoClose(false);
        m_dialog->setAutoReset(false);
        if (m_cancel == Cancel::Offered)
            m_dialog->setCancelButtonText(QStringLiteral("取消"));
        else
            m_dialog->setCancelButton(nullptr);
        m_dialog->setMinimumWidth(360);
        m_dialog->show();
        m_lastPaint.start();
    } else if (m_lastPaint.elapsed() < kRepaintEveryMs) {
        return !m_dialog->wasCanceled();
    }
    m_lastPaint.restart();
    m_dialog->setRange(0, total);
    if (total > 0)
        m_dialog->setValue(done);
    m_dialog->setLabelText(text());
    QCoreApplication::processEvents();
    return !m_dialog->wasCanceled();
}

RenameProgress BusyProgress::renameProgress() {
    return [this](int done, int total) {
        update(done, total,
               [&] { return QStringLiteral("正在改名：%1 / %2").arg(done).arg(total); });
    };
}

AddProgress BusyProgress::addProgress() {
    return [this](int files, const QString &folder) {
        return update(
            0, 0, [&] { return QStringLiteral("已添加 %1 个文件\n%2").arg(files).arg(folder); });
    };
}
