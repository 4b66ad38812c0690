#include "app/FileBoxes.h"

#include "platform/Drives.h"
#include "platform/FileBoxNames.h"
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
        setPath(item->data(Qt::UserRole).toString(), item->data(Qt::UserRole + 1).toByteArray());
    });
}

bool DirListBox::setPath(const QString &path, const QByteArray &nativePath) {
    const QString target = normalized(path);
    if (path.isEmpty() || !Folders::isReadable(target, nativePath)) {
        emit pathRejected(path);
        return false;
    }
    m_path = target;
    m_nativePath = nativePath;
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
    for (QDir dir(QDir::fromNativeSeparators(m_path));;) {
        chain.prepend(dir.absolutePath());
        if (!dir.cdUp())
            break;
    }
    // The exact bytes of each folder of the chain, where the path has any: a name decoded
    // from GBK never holds a separator, so text and bytes have the same folders.
    const QList<QByteArray> nativeParts = m_nativePath.split('/');
    int depth = 0;
    for (const QString &p : chain) {
        const QString native = Paths::toNative(p);
        const QString name = depth == 0 ? native : QDir(p).dirName();
        auto *item = new QListWidgetItem(open, QString(depth * 2, u' ') + name, this);
        item->setData(Qt::UserRole, native);
        if (!m_nativePath.isEmpty() && depth < nativeParts.size())
            item->setData(Qt::UserRole + 1,
                          depth == 0 ? QByteArray("/") : nativeParts.mid(0, depth + 1).join('/'));
        ++depth;
    }
    setCurrentRow(count() - 1);

    const QDir current(QDir::fromNativeSeparators(m_path));
    // Subfolders in the order the file box lists files.
    const QList<Folders::FolderName> subfolders = Folders::listNames(m_path, m_nativePath, true);
    QStringList texts;
    for (const Folders::FolderName &s : subfolders)
        texts << s.text;
    for (const qsizetype position : FileBoxNames::sortedPositions(texts)) {
        const Folders::FolderName &s = subfolders.at(position);
        auto *item = new QListWidgetItem(closed, QString(depth * 2, u' ') + s.text, this);
        item->setData(Qt::UserRole, Paths::toNative(current.filePath(s.text)));
        if (!m_nativePath.isEmpty() || !s.native.isEmpty())
            item->setData(Qt::UserRole + 1,
                          (m_nativePath.isEmpty() ? QFile::encodeName(m_path) : m_nativePath) +
                              '/' + (s.native.isEmpty() ? QFile::encodeName(s.text) : s.native));
    }
}

FileListBox::FileListBox(QWidget *parent)
    : QListWidget(parent) {}

void FileListBox::setPath(const QString &path, const QByteArray &nativePath) {
    m_path = path;
    m_nativePath = nativePath;
    refresh();
}

void FileListBox::setPattern(const QString &pattern) {
    if (pattern == m_pattern)
        return;
    m_pattern = pattern;
    refresh();
}

void FileListBox::refresh() {
    m_names.clear();
    m_nativeNames.clear();
    if (!m_path.isEmpty()) {
        // Names that are not UTF-8 keep their bytes beside the text they are shown as.
        QHash<QString, QByteArray> nativeOf;
        QStringList all;
        for (const Folders::FolderName &name : Folders::listNames(m_path, m_nativePath, false)) {
            all.append(name.text);
            nativeOf.insert(name.text, name.native);
        }
        m_names = FileBoxNames::matching(all, m_pattern);
        FileBoxNames::sort(m_names);
        for (const QString &name : std::as_const(m_names))
            m_nativeNames.append(nativeOf.value(name));
    }
    clear();
    addItems(m_names);
}
