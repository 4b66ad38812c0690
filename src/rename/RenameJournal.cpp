#include "rename/RenameJournal.h"

#include "platform/OwnFiles.h"
#include "platform/Paths.h"
#include "platform/RegularFile.h"
#include "platform/RenameNoReplace.h"
#include "rename/RenameReport.h"

#include <QDir>
#include <QSet>

#include <algorithm>

namespace {

constexpr QByteArrayView kHeader("tunemark-undo 1");
// Bytes kept as they are; every other byte, the space among them, is percent-encoded.
const QByteArray kPlain("/._-~:\\");

// The journal of a run until its first rename succeeds, beside the journal.
QString tempPathFor(const QString &path) {
    return OwnFiles::pathIn(path.left(Paths::nameStart(path)), OwnFiles::kJournalInProgress);
}

} // namespace

RenameJournal::RenameJournal(const QString &path)
    : m_path(path) {}

RenameJournal::~RenameJournal() {
    m_file.close();
    if (!m_renamedAny && !m_path.isEmpty())
        QFile::remove(tempPathFor(m_path));
}

bool RenameJournal::writeLine(const QByteArray &line) {
    if (!m_file.isOpen() || !m_ok)
        return false;
    const QByteArray bytes = line + '\n';
    m_ok = m_file.write(bytes) == bytes.size();
    return m_ok;
}

RenameNoReplace::Result
RenameJournal::record(const FilePath &source, const QString &newName,
                      const std::function<RenameNoReplace::Result()> &rename) {
    const bool tried = source.name().text() != newName &&
                       RenameNoReplace::checkName(newName) == RenameNoReplace::Failure::None;
    // The new path in the old one's folder, byte for byte.
    const FilePath newPath = source.folder().join(newName);
    if (tried)
        recordTry(source, newPath);
    const RenameNoReplace::Result result = rename();
    if (tried && result.ok())
        recordDone(newPath);
    // A run that renames without its record must not leave the run before it to be undone:
    // Ctrl+Z would offer another run than the last.
    if (tried && result.ok() && !m_ok && !m_renamedAny && !m_olderRemoved && !m_path.isEmpty()) {
        m_olderRemoved = true;
        QFile::remove(m_path);
    }
    return result;
}

void RenameJournal::recordTry(const FilePath &oldPath, const FilePath &newPath) {
    if (m_path.isEmpty() || !m_ok)
        return;
    if (!m_file.isOpen()) {
        m_file.setFileName(tempPathFor(m_path));
        // Unbuffered: each line reaches the system before its rename is tried. Only a regular
        // file is written: a pipe put there would otherwise hold the run.
        m_ok = openRegularFileForWriting(m_file, QIODevice::Unbuffered) == OutputOpening::Opened &&
               writeLine(kHeader.toByteArray());
        if (!m_ok)
            return;
    }
    writeLine("try " + oldPath.exactBytes().toPercentEncoding(kPlain) + ' ' +
              newPath.exactBytes().toPercentEncoding(kPlain));
}

void RenameJournal::recordDone(const FilePath &newPath) {
    if (m_path.isEmpty() || !m_ok || !m_file.isOpen())
        return;
    const FileStamp stamp = FileStamp::of(newPath);
    writeLine("done " + QByteArray::number(stamp.file) + ' ' + QByteArray::number(stamp.size) +
              ' ' + QByteArray::number(stamp.modified));
    if (m_renamedAny || !m_ok)
        return;
    // The first file renamed: this run's record takes the place of the last one's.
    m_renamedAny = true;
    m_file.close();
    QFile::remove(m_path);
    m_file.setFileName(m_path);
    m_ok = QFile::rename(tempPathFor(m_path), m_path) &&
           m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered);
}

QList<JournalStep> readRenameJournal(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray content = file.readAll();
    QList<QByteArray> lines = content.split('\n');
    lines.removeLast(); // empty, or a line the writer never finished
    if (lines.isEmpty() || lines.first() != kHeader)
        return {};
    QList<JournalStep> steps;
    JournalStep tried;
    bool pending = false;
    for (const QByteArray &line : std::as_const(lines)) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() == 3 && fields[0] == "try") {
            // Names that are not UTF-8 are shown as the legacy code page reads them.
            tried = {FilePath::fromExactBytes(QByteArray::fromPercentEncoding(fields[1])),
                     FilePath::fromExactBytes(QByteArray::fromPercentEncoding(fields[2])),
                     {}};
            pending = true;
        } else if (fields.size() == 4 && fields[0] == "done" && pending) {
            tried.stamp = {fields[1].toULongLong(), fields[2].toLongLong(), fields[3].toLongLong(),
                           true};
            steps.append(tried);
            pending = false;
        }
    }
    return steps;
}

QString undoQuestion(const QList<JournalStep> &steps) {
    QSet<QString> folders;
    for (const JournalStep &step : steps)
        folders.insert(step.newPath.folder().text());
    const QString where =
        folders.size() == 1
            ? QStringLiteral("位于 %1").arg(Paths::toNative(QDir::cleanPath(*folders.begin())))
            : QStringLiteral("位于 %1 个文件夹").arg(folders.size());
    return QStringLiteral("撤销上次改名吗？\n共 %1 个文件，%2").arg(steps.size()).arg(where);
}

QString UndoReport::message() const {
    QString text = QStringLiteral("已撤销 %1 个文件的改名").arg(undone);
    if (!failures.isEmpty())
        text += QStringLiteral("\n\n有 %1 个文件未能撤销：\n").arg(failures.size()) +
                failures.mid(0, RenameReport::kListedFailures).join(u'\n');
    return text;
}

UndoReport UndoLastRename(const QString &path) {
    UndoReport report;
    QList<JournalStep> steps = readRenameJournal(path);
    std::reverse(steps.begin(), steps.end());
    for (const JournalStep &step : std::as_const(steps)) {
        const FilePath oldName = step.oldPath.name();
        const FileStamp now = FileStamp::of(step.newPath);
        QString reason;
        if (!now.valid) {
            reason = QStringLiteral("文件已不在");
        } else if (now != step.stamp ||
                   step.newPath.folder().exactBytes() != step.oldPath.folder().exactBytes()) {
            reason = QStringLiteral("文件已被改动或替换");
        } else {
            const RenameNoReplace::Result result = RenameNoReplace::renameFile(
                step.newPath, oldName, {}, RenameNoReplace::NewName::FormerName);
            if (result.ok()) {
                ++report.undone;
                continue;
            }
            reason = renameFailureReason(result);
        }
        report.failures << QStringLiteral("%1 → %2：%3")
                               .arg(printableText(oldName.text()),
                                    printableText(step.newPath.name().text()), reason);
    }
    QFile::remove(path);
    return report;
}
