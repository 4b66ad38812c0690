#pragma once

#include "platform/FilePath.h"

#include <QElapsedTimer>
#include <QString>

#include <cstdio>

// What the command line prints: a line per file on the output, then a summary; notes and
// progress on the error stream, progress only where that is a terminal.
class CommandOutput {
public:
    enum class Status { Renamed, Unchanged, Refused, Failed };

    CommandOutput(FILE *out, FILE *err, bool tsv);
    ~CommandOutput();
    CommandOutput(const CommandOutput &) = delete;
    CommandOutput &operator=(const CommandOutput &) = delete;

    // One file: "旧名 → 新名", "旧名（不变）" or "旧名：原因"; with tsv four columns. Counted for
    // the summary and the exit status.
    void file(Status status, const FilePath &path, const QString &newName, const QString &reason);
    // A line about the run as a whole: on the output, or with tsv on the error stream, so that
    // every line of the output has the four columns.
    void summary(const QString &text);
    // A message for the user, on the error stream.
    void note(const QString &text);
    // Progress, on a terminal only, at most five times a second; replaced by the next.
    void progress(const QString &text);

    int count(Status status) const { return m_counts[int(status)]; }
    int total() const;
    // 0 when every file was renamed or kept its name, 1 when some were refused or failed.
    int exitStatus() const;

    // The words of the summary, "共 N 个文件：…".
    QString counts(bool dryRun) const;

    // A name or path as a tsv column: tab, line feed and backslash as \t, \n and \\.
    static QByteArray tsvColumn(const QByteArray &bytes);

private:
    void endProgress();
    void write(FILE *stream, const QByteArray &bytes);

    FILE *m_out;
    FILE *m_err;
    bool m_tsv;
    bool m_showsProgress;
    bool m_progressShown = false;
    QElapsedTimer m_sinceProgress;
    int m_counts[4] = {};
};
