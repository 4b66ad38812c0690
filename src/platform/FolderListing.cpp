#include "platform/FolderListing.h"

#include "platform/Paths.h"

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <QFile>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#ifdef Q_OS_WIN

FolderListing listFolder(const FilePath &path) {
    FolderListing listing;
    const QString folder = Paths::withTrailingSeparator(path.text());
    // The search gives every entry's attributes with its name, so nothing more is looked at
    // per entry except a link, whose target may be gone.
    WIN32_FIND_DATAW found;
    const HANDLE search =
        FindFirstFileExW(Paths::winApiPath(folder + u'*').c_str(), FindExInfoBasic, &found,
                         FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE) {
        listing.readable = GetLastError() == ERROR_FILE_NOT_FOUND; // a drive's empty root
        return listing;
    }
    listing.readable = true;
    do {
        const QString name = QString::fromWCharArray(found.cFileName);
        if (name == u"." || name == u"..")
            continue;
        const DWORD attributes = found.dwFileAttributes;
        FolderEntry entry;
        entry.name = name;
        entry.hidden = attributes & FILE_ATTRIBUTE_HIDDEN;
        // Symbolic links and junctions; other reparse points (cloud files, deduplicated
        // files) are the files themselves.
        entry.isLink = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
                       (found.dwReserved0 == IO_REPARSE_TAG_SYMLINK ||
                        found.dwReserved0 == IO_REPARSE_TAG_MOUNT_POINT);
        DWORD target = attributes;
        if (entry.isLink)
            target = GetFileAttributesW(Paths::winApiPath(folder + name).c_str());
        const DWORD error = target == INVALID_FILE_ATTRIBUTES ? GetLastError() : ERROR_SUCCESS;
        if (target == INVALID_FILE_ATTRIBUTES)
            entry.kind = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                             ? FolderEntry::Kind::Other // a link that leads nowhere
                             : FolderEntry::Kind::Unreadable;
        else if (target & FILE_ATTRIBUTE_DIRECTORY)
            entry.kind = FolderEntry::Kind::Folder;
        else if (target & FILE_ATTRIBUTE_DEVICE)
            entry.kind = FolderEntry::Kind::Other;
        else
            entry.kind = FolderEntry::Kind::File;
        listing.entries.append(std::move(entry));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return listing;
}

#else

FolderListing listFolder(const FilePath &path) {
    FolderListing listing;
    const QByteArray native = path.exactBytes();
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
        entry.name = FilePath::fromExactBytes(QByteArray(name));
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
