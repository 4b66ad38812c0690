#include "dialogs/SysDlg32.h"

#include "platform/Paths.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace SysDlg32 {

QStringList nameFilters(const QString &packedFilter) {
    QStringList filters;
    if (packedFilter.isEmpty())
        return filters;
    const QStringList items = packedFilter.split(QChar());
    for (qsizetype i = 0; i + 1 < items.size(); i += 2) {
        QStringList patterns = items.at(i + 1).split(u';', Qt::SkipEmptyParts);
        for (QString &p : patterns)
            p = p.trimmed();
        patterns.removeAll(QString());
        if (patterns.isEmpty())
            patterns << QStringLiteral("*");
        // Qt reads the patterns from the last parentheses; the dialog shows only the display
        // text (HideNameFilterDetails), as the packed list intends.
        filters << items.at(i) + QStringLiteral(" (") + patterns.join(u' ') + u')';
    }
    return filters;
}

QString packSelection(const QStringList &paths) {
    if (paths.isEmpty())
        return {};
    const QChar nul;
    const QString directory = QFileInfo(paths.first()).path();
    QStringList names;
    for (const QString &p : paths) {
        const QFileInfo info(p);
        if (info.path() == directory)
            names << info.fileName();
    }
    if (names.size() == 1)
        return QDir::toNativeSeparators(paths.first()) + nul + nul;

    QString packed = QDir::toNativeSeparators(directory) + nul;
    for (const QString &name : names)
        packed += name + nul;
    return packed + nul;
}

QStringList packSelections(const QStringList &paths) {
    QStringList packed;
    QStringList run;
    for (const QString &p : paths) {
        if (!run.isEmpty() && QFileInfo(p).path() != QFileInfo(run.first()).path()) {
            packed << packSelection(run);
            run.clear();
        }
        run << p;
    }
    if (!run.isEmpty())
        packed << packSelection(run);
    return packed;
}

QStringList unpackSelection(const QString &packed) {
    const QStringList segments = packed.split(QChar());
    const qsizetype n = segments.size();
    if (n == 3) {
        // One file: its full path followed by two NULs.
        const QString path = segments.first();
        const qsizetype start = Paths::nameStart(path);
        if (start > 0 && start < path.size() && segments.at(1).isEmpty() &&
            segments.at(2).isEmpty())
            return {path};
        return {};
    }
    QStringList paths;
    if (n > 3 && !segments.first().isEmpty()) {
        // Several files: the directory, the names, two empty segments.
        const QString directory = Paths::withTrailingSeparator(segments.first());
        for (qsizetype i = 1; i <= n - 3; ++i) {
            if (!segments.at(i).isEmpty())
                paths << directory + segments.at(i);
        }
    }
    return paths;
}

QString folderResult(const QString &path) {
    if (path.isEmpty())
        return {};
    QString clean = QDir::cleanPath(QDir::fromNativeSeparators(path));
    if (QDir(clean).isRoot() && !clean.endsWith(u'/'))
        clean += u'/';
    return QDir::toNativeSeparators(clean);
}

} // namespace SysDlg32

QString GetDlgSelectFolder(QWidget *owner, const QString &title) {
    return SysDlg32::folderResult(
        QFileDialog::getExistingDirectory(owner, title, QString(), QFileDialog::ShowDirsOnly));
}

QStringList GetDlgSelectFileInfo(QWidget *owner, const QString &title, const QString &filter,
                                 const QString &initialName, const QString &initialDirectory,
                                 quint32 flags) {
    QFileDialog dialog(owner, title);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // Qt picks several files only among existing ones; without the multi-select option a
    // typed name need not exist unless the caller asks for that.
    if (flags & SysDlg32::kAllowMultiSelect)
        dialog.setFileMode(QFileDialog::ExistingFiles);
    else if (flags & SysDlg32::kFileMustExist)
        dialog.setFileMode(QFileDialog::ExistingFile);
    else
        dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::HideNameFilterDetails);

    const QStringList filters = SysDlg32::nameFilters(filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(filters.first());
    }

    const QString start = initialDirectory.isEmpty() ? QDir::currentPath() : initialDirectory;
    const QFileInfo startInfo(QDir::fromNativeSeparators(start));
    if (startInfo.isDir()) // otherwise the dialog opens where it opens by default
        dialog.setDirectory(startInfo.absoluteFilePath());
    if (!initialName.isEmpty())
        dialog.selectFile(initialName);

    if (dialog.exec() != QDialog::Accepted)
        return {};
    return SysDlg32::packSelections(dialog.selectedFiles());
}
