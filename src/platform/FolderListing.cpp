#include "platform/FolderListing.h"

#include "platform/Paths.h"

#ifdef Q_OS_WIN
#include <QDirIterator>
#include <QFileInfo>
#else
#include <QFile>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#ifdef Q_OS_WIN

FolderListing listFolder(const QString &path, const QByteArray &) {
    FolderListing listing;
    const QFileInfo folder(path);
    if (!folder.isDir() || !folder.isReadable())
        return listing;
    listing.readable = true;
    QDirIterator it(path, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        FolderEntry entry;
        entry.name = info.fileName();
        entry.isLink = info.isSymLink() || info.isJunction();
        entry.hidden = info.isHidden();
        if (info.isDir())
            entry.kind = FolderEntry::Kind::Folder;
        else if (info.isFile())
            entry.kind = FolderEntry::Kind::File;
        else if (!info.exists() && !entry.isLink)
            entry.kind = FolderEntry::Kind::Unreadable;
        entry.identity = FileIdentity::of(info.filePath());
        listing.entries.append(std::move(entry));
    }
    return listing;
}

#else

FolderListing listFolder(const QString &path, const QByteArray &nativePath) {
    FolderListing listing;
    const QByteArray native = nativePath.isEmpty() ? QFile::encodeName(path) : nativePath;
    const int fd =
        ::open(native.isEmpty() ? "." : native.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return listing;
    DIR *dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return listing;
    }
    listing.readable = true;
    while (const dirent *d = ::readdir(dir)) {
        const char *name = d->d_name;
        if (qstrcmp(name, ".") == 0 || qstrcmp(name, "..") == 0)
            continue;
        FolderEntry entry;
        entry.nativeName = QByteArray(name);
        entry.name = Paths::nameText(entry.nativeName);
        entry.hidden = name[0] == '.';
        // Where the folder tells a plain file or folder, nothing more is looked at here: a
        // file's identity comes from opening it, a folder's from entering it.
        if (d->d_type == DT_REG || d->d_type == DT_DIR) {
            entry.kind = d->d_type == DT_DIR ? FolderEntry::Kind::Folder : FolderEntry::Kind::File;
            listing.entries.append(std::move(entry));
            continue;
        }
        // Looked at relative to the open folder: the folder cannot change under the scan, and
        // a path too long for the system as a whole still works here.
        struct stat st;
        if (::fstatat(fd, name, &st, 0) == 0) {
            entry.kind = S_ISDIR(st.st_mode)   ? FolderEntry::Kind::Folder
                         : S_ISREG(st.st_mode) ? FolderEntry::Kind::File
                                               : FolderEntry::Kind::Other;
            entry.identity = {quint64(st.st_dev), quint64(st.st_ino), true};
            // The entry's own type, where the folder tells it, saves a second look.
            struct stat own;
            entry.isLink =
                d->d_type == DT_LNK ||
                (d->d_type == DT_UNKNOWN && ::fstatat(fd, name, &own, AT_SYMLINK_NOFOLLOW) == 0 &&
                 S_ISLNK(own.st_mode));
        } else {
            const int error = errno;
            struct stat own;
            const bool linkItself =
                ::fstatat(fd, name, &own, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(own.st_mode);
            entry.isLink = linkItself;
            // A link to nothing (or to itself) is no file; anything else could not be read.
            entry.kind = linkItself && (error == ENOENT || error == ELOOP)
                             ? FolderEntry::Kind::Other
                             : FolderEntry::Kind::Unreadable;
        }
        listing.entries.append(std::move(entry));
    }
    ::closedir(dir); // closes fd too
    return listing;
}

#endif
