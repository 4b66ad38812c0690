#include "platform/Folders.h"

#include "platform/Paths.h"

#include "platform/FolderListing.h"

#include <QFileInfo>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif
#include <QStandardPaths>

namespace Folders {

QString driveOf(const QString &path) {
#ifdef Q_OS_WIN
    const QString native = Paths::toNative(path);
    if (native.size() >= 2 && native.at(1) == u':')
        return native.left(2).toUpper();
    return native.left(2);
#else
    Q_UNUSED(path);
    return QStringLiteral("/");
#endif
}

bool namesDrive(const QString &text) {
#ifdef Q_OS_WIN
    return text.size() >= 2 && text.at(1) == u':';
#else
    return text.startsWith(u'/');
#endif
}

QString normalized(const QString &path) {
    QString clean = QDir::cleanPath(QDir::fromNativeSeparators(path));
#ifdef Q_OS_WIN
    if (clean.size() == 2 && clean.at(1) == u':')
        clean += u'/';
#endif
    return Paths::toNative(clean);
}

bool isReadable(const FilePath &folder) {
#ifndef Q_OS_WIN
    if (folder.hasOwnBytes()) {
        const QByteArray bytes = folder.exactBytes();
        struct stat st;
        return ::stat(bytes.constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
               ::access(bytes.constData(), R_OK | X_OK) == 0;
    }
#endif
    const QString &path = folder.text();
#ifdef Q_OS_WIN
    // Readable means listable: Windows' access check only tells that the folder exists.
    WIN32_FIND_DATAW entry;
    const HANDLE search = FindFirstFileExW(
        Paths::winApiPath(Paths::withTrailingSeparator(normalized(path)) + u'*').c_str(),
        FindExInfoBasic, &entry, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_NOT_FOUND; // a drive's empty root
    FindClose(search);
    return true;
#else
    const QFileInfo info(normalized(path));
    // Listing needs read permission, and entering it to look at the entries needs execute.
    return info.isDir() && info.isReadable() && info.isExecutable();
#endif
}

QList<FilePath> listNames(const FilePath &path, bool folders) {
    QList<FilePath> out;
    const FolderListing listing =
        listFolder(path.hasOwnBytes() ? path : FilePath(normalized(path.text())));
    const FolderEntry::Kind wanted = folders ? FolderEntry::Kind::Folder : FolderEntry::Kind::File;
    for (const FolderEntry &entry : listing.entries) {
        if (entry.kind == wanted && !entry.hidden)
            out.append(entry.name);
    }
    return out;
}

bool isHiddenName(QStringView name) {
#ifdef Q_OS_WIN
    Q_UNUSED(name);
    return false;
#else
    return name.startsWith(u'.');
#endif
}

QString startFolder() {
#ifdef Q_OS_WIN
    return Paths::toNative(QDir::currentPath());
#else
    for (const QString &music : QStandardPaths::standardLocations(QStandardPaths::MusicLocation)) {
        if (isReadable(music))
            return normalized(music);
    }
    return normalized(QDir::homePath());
#endif
}

} // namespace Folders
