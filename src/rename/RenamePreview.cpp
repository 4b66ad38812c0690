#include "rename/RenamePreview.h"

#include "list/EntryList.h"
#include "rename/BatchRename.h"
#include "rename/RenameReport.h"
#include "rename/RenameVerdict.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <utility>

using RenameNoReplace::Failure;

namespace {

// Answers are shown in batches: one repaint for many lines.
constexpr int kMarksPerBatch = 256;

} // namespace

RenamePreview::RenamePreview(EntryList &list, QString ownFilesFolder, QObject *parent)
    : QObject(parent)
    , m_list(list)
    , m_ownFilesFolder(std::move(ownFilesFolder)) {
    m_looker.setMaxThreadCount(1);
    connect(&m_list, &EntryList::rebuilt, this, &RenamePreview::update);
}

RenamePreview::~RenamePreview() {
    stop();
}

void RenamePreview::stop() {
    ++*m_generation;
    m_looker.waitForDone();
    m_done = true;
}

QString RenamePreview::markText(const RenameStep &step, Failure reason, int clashesWith) {
    switch (reason) {
    case Failure::None:
        return {};
    case Failure::SameNewName:
        return QStringLiteral("新文件名与第 %1 行相同").arg(clashesWith + 1);
    case Failure::TargetExists:
        return QStringLiteral("已有同名文件：%1").arg(step.newName);
    default:
        return renameFailureReason({reason, 0});
    }
}

void RenamePreview::update() {
    const int generation = ++*m_generation;
    m_done = false;
    // The list as it is now, shared rather than copied: the plan and every verdict are made on
    // the looking thread, so that rebuilding a long list costs the window nothing per line.
    m_looker.start([this, current = m_generation, generation, table = m_list.table(),
                    lines = m_list.lineCount(), folder = m_ownFilesFolder] {
        // Each step made from its entry when needed: a plan of a long list would be as large
        // again as the list.
        const auto stepAt = [&](int i) { return stepOf(table.at(i)); };
        QVector<std::pair<int, QString>> marks;
        const auto show = [&](bool last) {
            if (marks.isEmpty() && !last)
                return;
            QMetaObject::invokeMethod(
                this, [this, generation, marks, last] { showMarks(generation, marks, last); },
                Qt::QueuedConnection);
            marks.clear();
        };
        // What needs no look at the disk first, all at once.
        const QVector<int> clashes = sameNewNames(lines, stepAt);
        RenameVerdict verdict(folder);
        QVector<int> toLookAt;
        for (int i = 0; i < lines; ++i) {
            if (i % 1024 == 0 && *current != generation)
                return;
            const RenameStep step = stepAt(i);
            const Failure reason = verdict.of(step, clashes.at(i));
            if (reason != Failure::None)
                marks.append({i, markText(step, reason, clashes.at(i))});
            else if (!step.keepsName())
                toLookAt.append(i);
        }
        show(toLookAt.isEmpty());
        for (qsizetype k = 0; k < toLookAt.size(); ++k) {
            if (*current != generation)
                return; // the list has changed: its new marks are on their way
            const int i = toLookAt.at(k);
            const RenameStep step = stepAt(i);
            const Failure reason = verdict.of(step, -1, true);
            if (reason != Failure::None)
                marks.append({i, markText(step, reason, -1)});
            const bool last = k + 1 == toLookAt.size();
            if (marks.size() >= kMarksPerBatch || last)
                show(last);
        }
    });
}

void RenamePreview::showMarks(int generation, const QVector<std::pair<int, QString>> &marks,
                              bool last) {
    if (generation != *m_generation)
        return;
    for (const auto &[line, text] : marks)
        m_list.model()->setMark(line, text);
    if (last) {
        m_done = true;
        emit marksDone();
    }
}

void RenamePreview::waitForMarks() {
    while (!m_done) {
        m_looker.waitForDone();
        QCoreApplication::sendPostedEvents(this);
    }
}
