#pragma once

#include "list/FileAdder.h"
#include "rename/BatchRename.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

class QProgressDialog;
class QWidget;

// While a long operation of the window runs, this marks the window busy; after about half a
// second it shows a modal progress dialog, so the user sees what is happening and no other
// handler of the window can run.
class BusyProgress {
public:
    enum class Cancel { NotOffered, Offered };

    // busy is set for the life of this object.
    BusyProgress(QWidget *owner, bool &busy, Cancel cancel);
    ~BusyProgress();
    BusyProgress(const BusyProgress &) = delete;
    BusyProgress &operator=(const BusyProgress &) = delete;

    // Shows done of total (total 0: no range) and text. Returns false once the user has
    // cancelled.
    bool update(int done, int total, const QString &text);

    // Progress reports for the two kinds of long operation, worded for the user.
    RenameProgress renameProgress();
    AddProgress addProgress();

private:
    QWidget *m_owner;
    bool &m_busy;
    const Cancel m_cancel;
    QElapsedTimer m_clock;
    QElapsedTimer m_lastPaint;
    QPointer<QProgressDialog> m_dialog;
};
