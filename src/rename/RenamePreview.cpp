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
    const QVector<RenameStep> steps =
        planListedFiles(m_list.table(), m_ownFilesFolder, {}).steps.mid(0, m_list.lineCount());
    const QVector<int> clashes = sameNewNames(steps);
    RenameVerdict verdict(m_ownFilesFolder);
    QVector<int> toLookAt;
    for (int i = 0; i < steps.size(); ++i) {
        const Failure reason = verdict.of(steps.at(i), clashes.at(i));
        if (reason != Failure::None)
            m_list.model()->setMark(i, markText(steps.at(i), reason, clashes.at(i)));
        else if (!steps.at(i).keepsName())
            toLookAt.append(i);
    }
    m_done = toLookAt.isEmpty();
    if (m_done) {
        emit marksDone();
        return;
    }
    const auto current = m_generation;
    m_looker.start([this, current, generation, steps, toLookAt, folder = m_ownFilesFolder] {
        RenameVerdict lookingVerdict(folder);
        QVector<std::pair<int, QString>> marks;
        for (qsizetype k = 0; k < toLookAt.size(); ++k) {
            if (*current != generation)
                return; // the list has changed: its new marks are on their way
            const int i = toLookAt.at(k);
            const Failure reason = lookingVerdict.of(steps.at(i), -1, true);
            if (reason != Failure::None)
                marks.append({i, markText(steps.at(i), reason, -1)});
            const bool last = k + 1 == toLookAt.size();
            if (marks.size() >= kMarksPerBatch || last) {
                QMetaObject::invokeMethod(
                    this, [this, generation, marks, last] { showMarks(generation, marks, last); },
                    Qt::QueuedConnection);
                marks.clear();
            }
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
