#include "app/BusyProgress.h"

#include "dialogs/UserDialogs.h"

#include <QCoreApplication>
#include <QProgressDialog>

namespace {

constexpr int kShowAfterMs = 500;
constexpr int kRepaintEveryMs = 50;

} // namespace

BusyProgress::BusyProgress(QWidget *owner, bool &busy, Cancel cancel)
    : m_owner(owner)
    , m_busy(busy)
    , m_cancel(cancel) {
    m_busy = true;
}

BusyProgress::~BusyProgress() {
    delete m_dialog;
    m_busy = false;
}

bool BusyProgress::update(int done, int total, const QString &text) {
    if (!m_clock.isValid()) {
        m_clock.start();
        return true;
    }
    if (!m_dialog) {
        if (m_clock.elapsed() < kShowAfterMs)
            return true;
        m_dialog = new QProgressDialog(m_owner);
        m_dialog->setWindowTitle(UserDialogs::kAppTitle);
        m_dialog->setWindowModality(Qt::ApplicationModal);
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
    m_dialog->setLabelText(text);
    QCoreApplication::processEvents();
    return !m_dialog->wasCanceled();
}

RenameProgress BusyProgress::renameProgress() {
    return [this](int done, int total) {
        update(done, total, QStringLiteral("正在改名：%1 / %2").arg(done).arg(total));
    };
}

AddProgress BusyProgress::addProgress() {
    return [this](int files, const QString &folder) {
        return update(0, 0, QStringLiteral("已添加 %1 个文件\n%2").arg(files).arg(folder));
    };
}
