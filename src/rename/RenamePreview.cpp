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
    ++*m_generation;
    m_looker.waitForDone();
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
        const QVector<RenameStep> steps = planListedFiles(table, folder, {}).steps.mid(0, lines);
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
        const QVector<int> clashes = sameNewNames(steps);
        RenameVerdict verdict(folder);
        QVector<int> toLookAt;
        for (int i = 0; i < steps.size(); ++i) {
            const Failure reason = verdict.of(steps.at(i), clashes.at(i));
            if (reason != Failure::None)
                marks.append({i, markText(steps.at(i), reason, clashes.at(i))});
            else if (!steps.at(i).keepsName())
                toLookAt.append(i);
        }
        show(toLookAt.isEmpty());
        for (qsizetype k = 0; k < toLookAt.size(); ++k) {
            if (*current != generation)
                return; // the list has changed: its new marks are on their way
            const int i = toLookAt.at(k);
            const Failure reason = verdict.of(steps.at(i), -1, true);
            if (reason != Failure::None)
                marks.append({i, markText(steps.at(i), reason, -1)});
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
