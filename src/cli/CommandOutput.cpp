#include "cli/CommandOutput.h"

#include "platform/Console.h"

namespace {

constexpr qint64 kProgressEvery = 200; // ms

constexpr const char *kStatusWords[] = {"renamed", "unchanged", "refused", "failed"};

} // namespace

CommandOutput::CommandOutput(FILE *out, FILE *err, bool tsv)
    : m_out(out)
    , m_err(err)
    , m_tsv(tsv)
    , m_showsProgress(isTerminal(err)) {}

CommandOutput::~CommandOutput() {
    endProgress();
    std::fflush(m_out);
}

QByteArray CommandOutput::tsvColumn(const QByteArray &bytes) {
    QByteArray column;
    column.reserve(bytes.size());
    for (const char c : bytes) {
        if (c == '\t')
            column += "\\t";
        else if (c == '\n')
            column += "\\n";
        else if (c == '\\')
            column += "\\\\";
        else
            column += c;
    }
    return column;
}

void CommandOutput::file(Status status, const FilePath &path, const QString &newName,
                         const QString &reason) {
    ++m_counts[int(status)];
    const QByteArray old = path.exactBytes();
    QByteArray line;
    if (m_tsv) {
        line = kStatusWords[int(status)] + QByteArray("\t") + tsvColumn(old) + '\t' +
               tsvColumn(newName.toUtf8()) + '\t' + tsvColumn(reason.toUtf8());
    } else {
        switch (status) {
        case Status::Renamed:
            line = old + " → " + newName.toUtf8();
            break;
        case Status::Unchanged:
            line = old + "（不变）";
            break;
        case Status::Refused:
        case Status::Failed:
            line = old + "：" + reason.toUtf8();
            break;
        }
    }
    endProgress();
    write(m_out, line + '\n');
}

void CommandOutput::summary(const QString &text) {
    endProgress();
    write(m_tsv ? m_err : m_out, text.toUtf8() + '\n');
}

void CommandOutput::note(const QString &text) {
    endProgress();
    std::fflush(m_out);
    write(m_err, text.toUtf8() + '\n');
}

void CommandOutput::progress(const QString &text) {
    if (!m_showsProgress ||
        (m_sinceProgress.isValid() && !m_sinceProgress.hasExpired(kProgressEvery)))
        return;
    m_sinceProgress.start();
    std::fflush(m_out);
    // Back to the line's start, and the rest of the line cleared.
    write(m_err, "\r" + text.toUtf8() + "\x1b[K");
    m_progressShown = true;
}

void CommandOutput::endProgress() {
    if (!m_progressShown)
        return;
    m_progressShown = false;
    write(m_err, "\r\x1b[K");
}

void CommandOutput::write(FILE *stream, const QByteArray &bytes) {
    writeText(stream, bytes);
    if (stream == m_err)
        std::fflush(stream);
}

int CommandOutput::total() const {
    return m_counts[0] + m_counts[1] + m_counts[2] + m_counts[3];
}

int CommandOutput::exitStatus() const {
    return count(Status::Refused) + count(Status::Failed) == 0 ? 0 : 1;
}

QString CommandOutput::counts(bool dryRun) const {
    if (dryRun)
        return QStringLiteral("共 %1 个文件：将改名 %2 个，名字不变 %3 个，不能改名 %4 个"
                              "（试运行，没有改动任何文件）")
            .arg(total())
            .arg(count(Status::Renamed))
            .arg(count(Status::Unchanged))
            .arg(count(Status::Refused) + count(Status::Failed));
    return QStringLiteral("共 %1 个文件：已改名 %2 个，名字不变 %3 个，被拒绝 %4 个，失败 %5 个")
        .arg(total())
        .arg(count(Status::Renamed))
        .arg(count(Status::Unchanged))
        .arg(count(Status::Refused))
        .arg(count(Status::Failed));
}
