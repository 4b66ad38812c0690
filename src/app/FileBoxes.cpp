#include "app/FileBoxes.h"

#include "filebox/FileBoxNames.h"
#include "platform/Drives.h"
#include "platform/Folders.h"
#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStyle>

using Folders::normalized;

DriveListBox::DriveListBox(QWidget *parent)
    : QComboBox(parent) {
    fillDrives();
    connect(this, &QComboBox::activated, this, [this](int index) {
        const QString chosen = itemData(index).toString();
        if (chosen == m_drive)
            return; // the drive shown: the directory box stays where it is
        if (!setDrive(chosen)) {
            setCurrentIndex(findData(m_drive));
            emit driveRejected(chosen);
        }
    });
}

namespace {

QStyle::StandardPixmap driveIcon(Drives::Kind kind) {
    switch (kind) {
    case Drives::Kind::Removable:
        return QStyle::SP_DriveFDIcon;
    case Drives::Kind::Network:
        return QStyle::SP_DriveNetIcon;
    case Drives::Kind::Optical:
        return QStyle::SP_DriveCDIcon;
    case Drives::Kind::Fixed:
        break;
    }
    return QStyle::SP_DriveHDIcon;
}

} // namespace

void DriveListBox::fillDrives() {
    clear();
    for (const Drives::Drive &drive : Drives::list())
        addItem(style()->standardIcon(driveIcon(drive.kind)), drive.name.toLower(), drive.name);
    if (m_drive.isEmpty())
        return;
    // The drive shown stays shown, even when it has gone since.
    if (findData(m_drive) < 0)
        addItem(style()->standardIcon(QStyle::SP_DriveHDIcon), m_drive.toLower(), m_drive);
    setCurrentIndex(findData(m_drive));
}

void DriveListBox::showPopup() {
    fillDrives();
    QComboBox::showPopup();
}

bool DriveListBox::setDrive(const QString &drive) {
    if (!Folders::namesDrive(drive))
        return false;
    const QString d = Folders::driveOf(drive);
    const QString root = normalized(d);
    // Readiness first, with a short wait: the checks after it could block on a dead drive.
    if (!Drives::isReady(d) || !QFileInfo(root).isDir() || !Folders::isReadable(root))
        return false;
    if (findData(d) < 0)
        fillDrives();
    setCurrentIndex(findData(d));
    m_drive = d;
    emit driveChanged();
    return true;
}

DirListBox::DirListBox(QWidget *parent)
    : QListWidget(parent) {
    connect(this, &QListWidget::itemActivated, this, [this](QListWidgetItem *item) {
        const QByteArray bytes = item->data(Qt::UserRole + 1).toByteArray();
        setPath(bytes.isEmpty() ? FilePath(item->data(Qt::UserRole).toString())
                                : FilePath::fromExactBytes(bytes));
    });
}

bool DirListBox::setPath(const FilePath &path) {
    const FilePath target = path.hasOwnBytes() ? path : FilePath(normalized(path.text()));
    if (path.isEmpty() || !Folders::isReadable(target)) {
        emit pathRejected(path.text());
        return false;
    }
    m_folder = target;
    fill();
    emit pathChanged();
    return true;
}

void DirListBox::fill() {
    clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);

    // The chain from the root down to the current directory.
    QStringList chain;
    for (QDir dir(QDir::fromNativeSeparators(m_folder.text()));;) {
        chain.prepend(dir.absolutePath());
        if (!dir.cdUp())
            break;
    }
    // The exact bytes of each folder of the chain, where the path has any: a name decoded
    // from GBK never holds a separator, so text and bytes have the same folders.
    const QList<QByteArray> ownParts =
        m_folder.hasOwnBytes() ? m_folder.exactBytes().split('/') : QList<QByteArray>();
    int depth = 0;
    for (const QString &p : chain) {
        const QString native = Paths::toNative(p);
        const QString name = depth == 0 ? native : QDir(p).dirName();
        auto *item = new QListWidgetItem(open, QString(depth * 2, u' ') + name, this);
        item->setData(Qt::UserRole, native);
        if (depth < ownParts.size())
            item->setData(Qt::UserRole + 1,
                          depth == 0 ? QByteArray("/") : ownParts.mid(0, depth + 1).join('/'));
        ++depth;
    }
    setCurrentRow(count() - 1);

    // Subfolders in the order the file box lists files.
    const QList<FilePath> subfolders = Folders::listNames(m_folder, true);
    QStringList texts;
    for (const FilePath &s : subfolders)
        texts << s.text();
    const FilePath parent = m_folder.join(FilePath(QString(Paths::separator())));
    for (const qsizetype position : FileBoxNames::sortedPositions(texts)) {
        const FilePath &s = subfolders.at(position);
        const FilePath path = parent.join(s);
        auto *item = new QListWidgetItem(closed, QString(depth * 2, u' ') + s.text(), this);
        item->setData(Qt::UserRole, Paths::toNative(QDir::cleanPath(path.text())));
        if (path.hasOwnBytes())
            item->setData(Qt::UserRole + 1, path.exactBytes());
    }
}

FileListBox::FileListBox(QWidget *parent)
    : QListWidget(parent) {}

void FileListBox::setPath(const FilePath &path) {
    m_folder = path;
    refresh();
}

void FileListBox::setPattern(const QString &pattern) {
    if (pattern == m_pattern)
        return;
    m_pattern = pattern;
    refresh();
}

QStringList FileListBox::fileNames() const {
    QStringList names;
    names.reserve(m_files.size());
    for (const FilePath &file : m_files)
        names << file.text();
    return names;
}

void FileListBox::refresh() {
    m_files = m_folder.isEmpty() ? QList<FilePath>() : FileBoxNames::filesOf(m_folder, m_pattern);
    clear();
    addItems(fileNames());
}
