#pragma once

#include "platform/RenameNoReplace.h"

#include <QString>
#include <QStringList>
#include <QVector>

// Collects what went wrong during a rename run and words the one message shown at its end.
class RenameReport {
public:
    // The message lists the first this many failed files by name.
    static constexpr int kListedFailures = 20;

    void addFailure(const QString &oldName, const QString &newName,
                    const RenameNoReplace::Result &result);
    // A line about something besides the renames, such as a log that could not be written.
    void addNote(const QString &text);
    // A file renamed, or one whose new name was its name already.
    void addRenamed(bool keptItsName) { ++(keptItsName ? m_unchanged : m_renamed); }
    // rename.log and rename.m3u (which were written) lie in folder.
    void setOutputs(const QString &folder, bool log, bool playlist);

    bool isClean() const { return m_failureCount == 0 && m_notes.isEmpty(); }
    // The lines about what besides the renames went wrong (addNote).
    const QStringList &notes() const { return m_notes; }
    // Where rename.log and rename.m3u were written; empty when neither was.
    const QString &outputsLine() const { return m_outputsLine; }

    // "自动改名完成", then, when anything went wrong, the number of files that could not be
    // renamed, the first of them with old name, new name and reason, and the notes.
    QString message() const;
    // For the window: "自动改名完成", then "已改名 N 个文件，M 个文件名字未变", the folder that
    // holds rename.log and rename.m3u when they were written, and what message() says below.
    QString messageWithCounts() const;
    // For the all-files page: "已改名 N 个文件，有 M 个文件未能改名：" with renamed as N, then
    // the failures and the notes as message() gives them.
    QString messageAfter(int renamed) const;

private:
    QString failureLines() const;

    struct Failed {
        QString oldName;
        QString newName;
        RenameNoReplace::Result result;
    };

    QVector<Failed> m_listed;
    int m_failureCount = 0;
    QStringList m_notes;
    int m_renamed = 0;
    int m_unchanged = 0;
    QString m_outputsLine;
};

// Why a rename failed, in words for the user.
QString renameFailureReason(const RenameNoReplace::Result &result);
