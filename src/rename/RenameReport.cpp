#include "rename/RenameReport.h"

#include "platform/Paths.h"

using RenameNoReplace::Failure;

void RenameReport::addFailure(const QString &oldName, const QString &newName,
                              const RenameNoReplace::Result &result) {
    ++m_failureCount;
    if (m_listed.size() < kListedFailures)
        m_listed.append({oldName, newName, result});
}

void RenameReport::addNote(const QString &text) {
    m_notes.append(text);
}

QString RenameReport::failureLines() const {
    QString text;
    for (const Failed &f : m_listed) {
        text += QStringLiteral("\n%1 → %2：%3")
                    .arg(Paths::printableText(f.oldName), Paths::printableText(f.newName),
                         renameFailureReason(f.result));
    }
    if (m_failureCount > m_listed.size())
        text += QStringLiteral("\n……另有 %1 个未列出").arg(m_failureCount - m_listed.size());
    return text;
}

QString RenameReport::message() const {
    QString text = QStringLiteral("自动改名完成");
    if (m_failureCount > 0)
        text += QStringLiteral("\n\n有 %1 个文件未能改名：").arg(m_failureCount) + failureLines();
    if (!m_notes.isEmpty())
        text += QStringLiteral("\n\n") + m_notes.join(u'\n');
    return text;
}

void RenameReport::setOutputs(const QString &folder, bool log, bool playlist) {
    const QString which = log && playlist ? QStringLiteral("rename.log 和 rename.m3u")
                          : log           ? QStringLiteral("rename.log")
                                          : QStringLiteral("rename.m3u");
    m_outputsLine = log || playlist ? QStringLiteral("%1 在 %2").arg(which, folder) : QString();
}

QString RenameReport::messageWithCounts() const {
    const QString done = message();
    const qsizetype firstLineEnd = done.indexOf(u'\n');
    QString text = QStringLiteral("自动改名完成\n已改名 %1 个文件，%2 个文件名字未变")
                       .arg(m_renamed)
                       .arg(m_unchanged);
    if (!m_outputsLine.isEmpty())
        text += u'\n' + m_outputsLine;
    return firstLineEnd < 0 ? text : text + done.mid(firstLineEnd);
}

QString RenameReport::messageAfter(int renamed) const {
    QString text = QStringLiteral("已改名 %1 个文件，有 %2 个文件未能改名：")
                       .arg(renamed)
                       .arg(m_failureCount) +
                   failureLines();
    if (!m_notes.isEmpty())
        text += QStringLiteral("\n\n") + m_notes.join(u'\n');
    return text;
}

QString renameFailureReason(const RenameNoReplace::Result &result) {
    switch (result.failure) {
    case Failure::None:
        return {};
    case Failure::EmptyName:
        return QStringLiteral("文件名为空");
    case Failure::DotName:
        return QStringLiteral("文件名不能是“.”或“..”");
    case Failure::Separator:
        return QStringLiteral("文件名含有路径分隔符");
    case Failure::ControlCharacter:
        return QStringLiteral("文件名含有控制字符");
    case Failure::ReservedCharacter:
        return QStringLiteral("文件名含有不允许的字符");
    case Failure::DeviceName:
        return QStringLiteral("Windows 不允许这个文件名（设备名）");
    case Failure::TrailingDotOrSpace:
        return QStringLiteral("Windows 不允许文件名以点或空格结尾");
    case Failure::NameTooLong:
        return QStringLiteral("文件名太长");
    case Failure::FileReplaced:
        return QStringLiteral("文件已被替换");
    case Failure::OwnFileName:
        return QStringLiteral("这是本程序自己的文件名");
    case Failure::SameNewName:
        return QStringLiteral("另一个文件也要改成这个名字");
    case Failure::TargetExists:
        return QStringLiteral("已有同名文件");
    case Failure::SourceMissing:
        return QStringLiteral("原文件不存在");
    case Failure::AccessDenied:
        return QStringLiteral("没有权限");
    case Failure::InUse:
        return QStringLiteral("文件正被其他程序使用");
    case Failure::PathTooLong:
        return QStringLiteral("路径太长");
    case Failure::InvalidName:
        return QStringLiteral("文件系统不接受这个文件名");
    case Failure::Other:
        break;
    }
    return QStringLiteral("系统错误（%1）").arg(qt_error_string(result.systemError));
}
