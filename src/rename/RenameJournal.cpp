#include "rename/RenameJournal.h"

#include "platform/OwnFiles.h"
#include "platform/Paths.h"
#include "platform/RegularFile.h"
#include "platform/RenameNoReplace.h"
#include "rename/RenameReport.h"

#include <QCoreApplication>
#include <QDir>
#include <QSaveFile>
#include <QSet>

#include <algorithm>
#include <array>
#include <charconv>
#include <deque>

namespace {

constexpr QByteArrayView kHeader("tunemark-undo 2");
constexpr QByteArrayView kFirstHeader("tunemark-undo 1");
// No path the system takes makes a longer line, percent-encoded twice over.
constexpr qint64 kLongestLine = 64 * 1024;
// Bytes kept as they are; every other byte, the space among them, is percent-encoded.
const QByteArray kPlain("/._-~:\\");

// The journal of a run until its first rename succeeds, beside the journal, named for this
// process.
QString tempPathFor(const QString &path) {
    return path.left(Paths::nameStart(path)) +
           OwnFiles::journalInProgress(QCoreApplication::applicationPid());
}

template <typename Number> char *writeNumber(char *at, Number number) {
    return std::to_chars(at, at + 24, number).ptr;
}

// Written in one piece: a run appends a stamp for every file twice.
void appendStamp(QByteArray &to, const FileStamp &stamp) {
    char text[3 * 24];
    char *end = writeNumber(text, stamp.file);
    *end++ = ' ';
    end = writeNumber(end, stamp.size);
    *end++ = ' ';
    end = writeNumber(end, stamp.modified);
    to.append(text, end - text);
}

// What QByteArray::toPercentEncoding(kPlain) gives, appended to to without a copy.
void appendPercentEncoded(QByteArray &to, const QByteArray &bytes) {
    static const auto plain = [] {
        std::array<bool, 256> table{};
        for (int b = 0; b < 256; ++b)
            table[size_t(b)] = (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') ||
                               (b >= '0' && b <= '9') || (b != 0 && kPlain.contains(char(b)));
        return table;
    }();
    static constexpr char kHex[] = "0123456789ABCDEF";
    const qsizetype start = to.size();
    to.resize(start + 3 * bytes.size());
    char *out = to.data() + start;
    const char *in = bytes.constData();
    const char *const end = in + bytes.size();
    while (in != end) {
        // Most of a path is plain: copied a stretch at a time.
        const char *const stretch = in;
        while (in != end && plain[static_cast<unsigned char>(*in)])
            ++in;
        out = std::copy(stretch, in, out);
        if (in == end)
            break;
        const auto b = static_cast<unsigned char>(*in++);
        *out++ = '%';
        *out++ = kHex[b >> 4];
        *out++ = kHex[b & 0xF];
    }
    to.truncate(out - to.constData());
}

// "try OLD NEW STAMP" and its line end.
void appendTryLine(QByteArray &to, const FilePath &oldPath, const FilePath &newPath,
                   const FileStamp &stamp) {
    to.append("try ");
    appendPercentEncoded(to, oldPath.exactBytes());
    to.append(' ');
    appendPercentEncoded(to, newPath.exactBytes());
    to.append(' ');
    appendStamp(to, stamp);
    to.append('\n');
}

void appendDoneLine(QByteArray &to, const FileStamp &stamp) {
    to.append("done ");
    appendStamp(to, stamp);
    to.append('\n');
}

FileStamp stampOf(const QList<QByteArray> &fields, qsizetype at) {
    return {fields[at].toULongLong(), fields[at + 1].toLongLong(), fields[at + 2].toLongLong(),
            true};
}

FilePath pathOf(const QByteArray &field) {
    // Names that are not UTF-8 are shown as the legacy code page reads them.
    return FilePath::fromExactBytes(QByteArray::fromPercentEncoding(field));
}

// Reads the record at path line by line, giving each step to take, which returns false to stop.
// False, with error set, when the record cannot be read safely.
template <typename Take>
bool walkJournal(const QString &path, Take &&take, QString *error, QSet<int> *undone = nullptr) {
    QFile file(path);
    if (!openRegularFileForReading(file))
        return true; // no record
    const auto refuse = [&](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    const QByteArray header = file.readLine(kLongestLine).trimmed();
    const bool stamped = header == kHeader;
    if (!stamped && header != kFirstHeader)
        return true; // no record of ours
    // Tries whose done has not come yet, in the order they were written, each with its stamp.
    std::deque<std::pair<JournalStep, FileStamp>> pending;
    int steps = 0;
    bool tooBig = false;
    // Gives take the next step; false to stop: take said so, or the record holds too many.
    const auto give = [&](JournalStep step) {
        step.index = steps;
        tooBig = ++steps > kMostJournalSteps;
        return !tooBig && take(step);
    };
    // The oldest try left without its done: renamed when its old name is gone and its new name
    // holds the file as it was before the rename.
    const auto settleFirst = [&] {
        auto [tried, stamp] = pending.front();
        pending.pop_front();
        if (!stamp.valid || FileStamp::of(tried.oldPath).valid ||
            FileStamp::of(tried.newPath) != stamp)
            return true;
        tried.stamp = stamp;
        return give(tried);
    };
    const auto settleAll = [&] {
        bool on = true;
        while (on && !pending.empty())
            on = settleFirst();
        return on;
    };
    bool going = true;
    while (going && !file.atEnd()) {
        QByteArray line = file.readLine(kLongestLine);
        if (!line.endsWith('\n')) {
            if (line.size() >= kLongestLine - 1)
                return refuse(QStringLiteral("撤销记录已损坏"));
            break; // a line the writer never finished
        }
        line.chop(1);
        const QList<QByteArray> fields = line.split(' ');
        if (fields[0] == "try" && fields.size() == (stamped ? 6 : 3)) {
            if (!stamped) // one try at a time: the one before had no done
                going = settleAll();
            pending.push_back({{pathOf(fields[1]), pathOf(fields[2]), {}},
                               stamped ? stampOf(fields, 3) : FileStamp()});
        } else if (fields[0] == "done" && fields.size() == 4 && !pending.empty()) {
            // The try of the same file; the ones before it in its block were not renamed, or a
            // crash cut their done lines off.
            const FileStamp done = stampOf(fields, 1);
            const auto match = std::find_if(pending.begin(), pending.end(), [&](const auto &p) {
                return !p.second.valid || p.second.file == done.file;
            });
            if (match == pending.end())
                continue;
            while (going && pending.begin() != match)
                going = settleFirst();
            if (!going)
                break;
            JournalStep tried = pending.front().first;
            pending.pop_front();
            tried.stamp = done;
            going = give(tried);
        } else if (fields[0] == "undone" && fields.size() == 2 && undone) {
            going = settleAll();
            undone->insert(fields[1].toInt());
        }
    }
    if (going)
        settleAll();
    return !tooBig || refuse(QStringLiteral("撤销记录太大"));
}

} // namespace

RenameJournal::RenameJournal(const QString &path)
    : m_path(path) {}

RenameJournal::~RenameJournal() {
    m_file.close();
    if (!m_renamedAny && !m_path.isEmpty())
        QFile::remove(tempPathFor(m_path));
}

bool RenameJournal::write(const QByteArray &lines) {
    if (!m_file.isOpen() || !m_ok)
        return false;
    m_ok = m_file.write(lines) == lines.size();
    return m_ok;
}

void RenameJournal::recordTries(const QVector<Try> &tries) {
    if (m_path.isEmpty() || !m_ok || tries.isEmpty())
        return;
    QByteArray lines;
    if (!m_file.isOpen()) {
        m_file.setFileName(tempPathFor(m_path));
        // Unbuffered: each block reaches the system before its renames are tried. Only a
        // regular file is written: a pipe put there would otherwise hold the run.
        m_ok = openRegularFileForWriting(m_file, QIODevice::Unbuffered) == OutputOpening::Opened;
        if (!m_ok)
            return;
        lines = kHeader.toByteArray() + '\n';
    }
    for (const Try &t : tries)
        appendTryLine(lines, t.source, t.newPath, t.stamp);
    write(lines);
}

void RenameJournal::recordDone(const QVector<FileStamp> &renamed) {
    if (renamed.isEmpty())
        return;
    // A run that renames without its record must not leave the run before it to be undone:
    // Ctrl+Z would offer another run than the last.
    if (!m_ok && !m_renamedAny && !m_olderRemoved && !m_path.isEmpty()) {
        m_olderRemoved = true;
        QFile::remove(m_path);
    }
    if (m_path.isEmpty() || !m_ok || !m_file.isOpen())
        return;
    // The file keeps its number, size and time through a rename: the stamp taken before it.
    QByteArray lines;
    for (const FileStamp &stamp : renamed)
        appendDoneLine(lines, stamp);
    write(lines);
    if (m_renamedAny || !m_ok)
        return;
    // The first files renamed: this run's record takes the place of the last one's.
    m_renamedAny = true;
    m_file.close();
    QFile::remove(m_path);
    m_file.setFileName(m_path);
    m_ok = QFile::rename(tempPathFor(m_path), m_path) &&
           m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered);
}

// How many try lines the record at path holds, counted without reading them: the steps are at
// most as many, and a list of a million that grows as it is read holds it twice at times.
qsizetype tryLinesIn(const QString &path) {
    QFile file(path);
    if (!openRegularFileForReading(file))
        return 0;
    constexpr QByteArrayView kTry("\ntry ");
    qsizetype count = 0;
    QByteArray carried; // the end of the last piece, where a try line may begin
    while (!file.atEnd() && count < kMostJournalSteps) {
        const QByteArray piece = carried + file.read(1 << 20);
        if (piece.size() <= carried.size())
            break;
        count += piece.count(kTry);
        carried = piece.right(kTry.size() - 1);
    }
    return qMin<qsizetype>(count, kMostJournalSteps);
}

QList<JournalStep> readRenameJournal(const QString &path, QString *error) {
    QList<JournalStep> steps;
    steps.reserve(tryLinesIn(path));
    QSet<int> undone;
    const auto take = [&](const JournalStep &step) {
        steps.append(step);
        return true;
    };
    if (!walkJournal(path, take, error, &undone))
        return {};
    if (!undone.isEmpty())
        steps.removeIf([&](const JournalStep &step) { return undone.contains(step.index); });
    return steps;
}

bool journalHasSteps(const QString &path) {
    bool any = false;
    walkJournal(
        path,
        [&](const JournalStep &) {
            any = true;
            return false;
        },
        nullptr);
    return any;
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
    if (!error.isEmpty())
        return QStringLiteral("无法撤销：") + error;
    QString text = QStringLiteral("已撤销 %1 个文件的改名").arg(undone);
    if (!failures.isEmpty())
        text += QStringLiteral("\n\n有 %1 个文件未能撤销：\n").arg(failures.size()) +
                failures.mid(0, RenameReport::kListedFailures).join(u'\n');
    if (kept > 0)
        text += QStringLiteral("\n\n其中 %1 个仍可再次撤销").arg(kept);
    return text;
}

namespace {

// Whether a rename back that failed so may go through later.
bool mayPass(RenameNoReplace::Failure failure) {
    using RenameNoReplace::Failure;
    switch (failure) {
    case Failure::TargetExists:
    case Failure::AccessDenied:
    case Failure::InUse:
    case Failure::PathTooLong:
    case Failure::Other:
        return true;
    default:
        return false;
    }
}

// The record with only steps left in it, or none when there are none.
void keepOnly(const QString &path, const QList<JournalStep> &steps) {
    if (steps.isEmpty()) {
        QFile::remove(path);
        return;
    }
    QByteArray content = kHeader.toByteArray() + '\n';
    for (const JournalStep &step : steps) {
        appendTryLine(content, step.oldPath, step.newPath, step.stamp);
        appendDoneLine(content, step.stamp);
    }
    QSaveFile file(path);
    if (!(file.open(QIODevice::WriteOnly) && file.write(content) == content.size() &&
          file.flush() && file.commit()))
        QFile::remove(path); // a record that cannot be kept true goes
}

} // namespace

UndoReport UndoLastRename(const QString &path) {
    UndoReport report;
    QList<JournalStep> steps = readRenameJournal(path, &report.error);
    if (!report.error.isEmpty())
        return report;
    return UndoLastRename(path, std::move(steps));
}

QString undoObstacle(const JournalStep &step, bool *back) {
    *back = false;
    const FileStamp now = FileStamp::of(step.newPath);
    if (!now.valid && FileStamp::of(step.oldPath) == step.stamp) {
        *back = true; // an undo cut short got this far
        return {};
    }
    if (!now.valid)
        return QStringLiteral("文件已不在");
    if (now != step.stamp ||
        step.newPath.folder().exactBytes() != step.oldPath.folder().exactBytes())
        return QStringLiteral("文件已被改动或替换");
    return {};
}

UndoReport UndoLastRename(const QString &path, QList<JournalStep> steps,
                          const UndoOutcome &outcome) {
    UndoReport report;
    QList<JournalStep> left;
    // Each file taken back is marked as it goes: an undo cut short resumes where it stopped.
    QFile marks(path);
    const bool marking = openRegularFileForAppending(marks);
    const auto undoneAt = [&](const JournalStep &step) {
        ++report.undone;
        if (marking)
            marks.write("undone " + QByteArray::number(step.index) + '\n');
        if (outcome)
            outcome(step, {});
    };
    std::reverse(steps.begin(), steps.end());
    for (const JournalStep &step : std::as_const(steps)) {
        const FilePath oldName = step.oldPath.name();
        bool back = false;
        QString reason = undoObstacle(step, &back);
        if (back) {
            undoneAt(step);
            continue;
        }
        if (reason.isEmpty()) {
            const RenameNoReplace::Result result = RenameNoReplace::renameFile(
                step.newPath, oldName, {}, RenameNoReplace::NewName::FormerName);
            if (result.ok()) {
                undoneAt(step);
                continue;
            }
            reason = renameFailureReason(result);
            if (mayPass(result.failure))
                left.prepend(step);
        }
        report.failures << QStringLiteral("%1 → %2：%3")
                               .arg(Paths::printableText(oldName.text()),
                                    Paths::printableText(step.newPath.name().text()), reason);
        if (outcome)
            outcome(step, reason);
    }
    report.kept = int(left.size());
    marks.close();
    keepOnly(path, left);
    return report;
}
