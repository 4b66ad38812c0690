#pragma once

#include "list/ReadPipeline.h"
#include "rename/BatchRename.h"

#include <QElapsedTimer>
#include <QList>
#include <QPointer>
#include <QString>

#include <functional>

class QProgressDialog;
class QWidget;

// While a long operation of the window runs, this marks the window busy and, from the first
// progress report on, holds the window still: its controls take no input, and input made
// meanwhile is discarded. After about half a second it shows a progress dialog. The dialog
// is not modal, because a modal one would make the window system's close requests to the
// window vanish; the window defers those instead. Where a cancel is offered, Escape and the
// dialog's close button cancel like its Cancel button; otherwise they do nothing.
class BusyProgress {
public:
    enum class Cancel { NotOffered, Offered };

    // busy is set for the life of this object. observer, when set, is called at every progress
    // report while the window is held still.
    BusyProgress(QWidget *owner, bool &busy, Cancel cancel,
                 const std::function<void()> &observer = {});
    // The dialog is gone and the window takes input again.
    ~BusyProgress();
    BusyProgress(const BusyProgress &) = delete;
    BusyProgress &operator=(const BusyProgress &) = delete;

    // Shows done of total (total 0: no range) and the text text makes, made only when shown.
    // Returns false once the user has cancelled.
    bool update(int done, int total, const std::function<QString()> &text);

    // Progress reports for the two kinds of long operation, worded for the user.
    RenameProgress renameProgress();
    AddProgress addProgress();

private:
    void holdStill();
    void release();

    QWidget *m_owner;
    bool &m_busy;
    const Cancel m_cancel;
    const std::function<void()> m_observer;
    QElapsedTimer m_clock;
    QElapsedTimer m_lastPaint;
    QPointer<QProgressDialog> m_dialog;
    QList<QPointer<QWidget>> m_held; // the controls this disabled
    QPointer<QWidget> m_focus;
};
