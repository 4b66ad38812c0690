#pragma once

#include "platform/RenameNoReplace.h"
#include "rename/RenamePlan.h"

#include <QObject>
#include <QThreadPool>

#include <atomic>
#include <memory>

class EntryList;

// The red marks of the audio-file list: at each rebuild, the lines whose rename would be
// refused, for the reason the run would give (RenameVerdict). They are found on a thread of
// their own, what needs no file system first, then whether an existing file holds a new name,
// and shown as the answers come, so that neither a long list nor a slow disk holds the view.
class RenamePreview : public QObject {
    Q_OBJECT
public:
    // ownFilesFolder: where the program keeps its files (see RenamePlan::ownFilesFolder).
    RenamePreview(EntryList &list, QString ownFilesFolder, QObject *parent = nullptr);
    // Stops looking at the files and waits for the thread.
    ~RenamePreview() override;

    // Marks the list's lines anew; called at every rebuild of the list.
    void update();
    // Waits until every mark of the last update is shown. For tests and benchmarks.
    void waitForMarks();
    // Stops looking and waits for the thread, which then holds nothing of the list: before a
    // run, whose own plan is the list's size again. The marks shown stay.
    void stop();

    // The words of a mark.
    static QString markText(const RenameStep &step, RenameNoReplace::Failure reason,
                            int clashesWith);

signals:
    // The marks of the last update are all shown.
    void marksDone();

private:
    void showMarks(int generation, const QVector<std::pair<int, QString>> &marks, bool last);

    EntryList &m_list;
    const QString m_ownFilesFolder;
    QThreadPool m_looker; // one thread
    // Raised at every update, so that answers about an older list are dropped.
    std::shared_ptr<std::atomic<int>> m_generation = std::make_shared<std::atomic<int>>(0);
    bool m_done = true;
};
