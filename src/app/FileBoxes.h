#pragma once

#include "platform/FilePath.h"

#include <QComboBox>
#include <QListWidget>
#include <QStringList>

// The three linked boxes of the all-files page: a drive box, a directory box and a file box.
// Each exposes its place as a Qt property, as the classic controls do.

// Drive box. Off Windows there is one drive, the root "/".
class DriveListBox : public QComboBox {
    Q_OBJECT
    Q_PROPERTY(QString drive READ drive WRITE setDrive NOTIFY driveChanged)
public:
    explicit DriveListBox(QWidget *parent = nullptr);

    QString drive() const { return m_drive; }
    // Selects a drive given as "e:", "E:\" or "/". Returns false, changing nothing, when the
    // drive does not exist or is not ready.
    bool setDrive(const QString &drive);

signals:
    void driveChanged();
    void driveRejected(const QString &drive);

protected:
    // Lists the drives again each time the list opens: a stick plugged in since shows up, one
    // taken out goes.
    void showPopup() override;

private:
    void fillDrives();
    QString m_drive;
};

// Directory box: the chain of folders from the drive's root down to the current directory,
// then the current directory's subfolders. A double click (or Enter) opens a folder.
class DirListBox : public QListWidget {
    Q_OBJECT
    Q_PROPERTY(QString path READ path WRITE setPath NOTIFY pathChanged)
public:
    explicit DirListBox(QWidget *parent = nullptr);

    QString path() const { return m_folder.text(); }
    const FilePath &folder() const { return m_folder; }
    // Moves to path as a user's choice would: emits pathChanged on success. A directory that
    // cannot be read is refused with pathRejected and the box stays where it was.
    bool setPath(const FilePath &path);

signals:
    void pathChanged();
    void pathRejected(const QString &path);

private:
    void fill();
    FilePath m_folder;
};

// File box: the ordinary files of its directory that match its pattern (FileBoxNames), in a
// Chinese system's alphabetical order. Hidden files are left out; off Windows those are the
// files whose name begins with a dot. Names that are not UTF-8 are listed decoded from GBK.
class FileListBox : public QListWidget {
    Q_OBJECT
    Q_PROPERTY(QString path READ path WRITE setPath)
    Q_PROPERTY(QString pattern READ pattern WRITE setPattern)
public:
    explicit FileListBox(QWidget *parent = nullptr);

    QString path() const { return m_folder.text(); }
    void setPath(const FilePath &path);
    const FilePath &folder() const { return m_folder; }
    QString pattern() const { return m_pattern; }
    void setPattern(const QString &pattern);
    // Reads the directory again, at once.
    void refresh();

    QStringList fileNames() const;
    // The names listed, as the file system has them.
    const QList<FilePath> &files() const { return m_files; }

private:
    FilePath m_folder;
    QList<FilePath> m_files;
    QString m_pattern = QStringLiteral("*.*");
};
