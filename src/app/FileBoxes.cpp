#include "app/FileBoxes.h"

#include "platform/FileBoxNames.h"
#include "platform/Folders.h"
#include "platform/Paths.h"

#include <QDir>
#include <QFileInfo>
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

void DriveListBox::fillDrives() {
    clear();
    for (const QFileInfo &root : QDir::drives()) {
        const QString d = Folders::driveOf(root.absoluteFilePath());
        addItem(style()->standardIcon(QStyle::SP_DriveHDIcon), d.toLower(), d);
    }
}

bool DriveListBox::setDrive(const QString &drive) {
    if (!Folders::namesDrive(drive))
        return false;
    const QString d = Folders::driveOf(drive);
    const QString root = normalized(d);
    if (!QFileInfo(root).isDir() || !Folders::isReadable(root))
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
    connect(this, &QListWidget::itemActivated, this,
            [this](QListWidgetItem *item) { setPath(item->data(Qt::UserRole).toString()); });
}

bool DirListBox::setPath(const QString &path) {
    const QString target = normalized(path);
    if (path.isEmpty() || !Folders::isReadable(target)) {
        emit pathRejected(path);
        return false;
    }
    m_path = target;
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
    int depth = 0;
    for (const QString &p : chain) {
        const QString native = Paths::toNative(p);
        const QString name = depth == 0 ? native : QDir(p).dirName();
        auto *item = new QListWidgetItem(open, QString(depth * 2, u' ') + name, this);
        item->setData(Qt::UserRole, native);
        ++depth;
    }
    setCurrentRow(count() - 1);

    const QDir current(QDir::fromNativeSeparators(m_path));
    const QStringList subdirs =
        current.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString &s : subdirs) {
        auto *item = new QListWidgetItem(closed, QString(depth * 2, u' ') + s, this);
        item->setData(Qt::UserRole, Paths::toNative(current.filePath(s)));
    }
}

FileListBox::FileListBox(QWidget *parent)
    : QListWidget(parent) {}

void FileListBox::setPath(const QString &path) {
    m_path = path;
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
    if (!m_path.isEmpty()) {
        QDir dir(QDir::fromNativeSeparators(m_path));
        m_names = dir.entryList(Folders::fileBoxFilters(), QDir::NoSort);
        m_names = FileBoxNames::matching(m_names, m_pattern);
        FileBoxNames::sort(m_names);
    }
    clear();
    addItems(m_names);
}
