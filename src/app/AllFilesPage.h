#pragma once

#include "rename/SequentialRename.h"

#include <QGroupBox>

#include <array>

class DirListBox;
class DriveListBox;
class FileListBox;
class QComboBox;
class QLineEdit;
class UserDialogs;

// Frame1(1), the all-files page: the linked boxes Drive1, Dir1 and File1, the filter box
// Combo1, and the boxes of the sequential rename: prefix Text1(0), start number Text1(1) and
// extension Text1(2). A drive or folder that cannot be read is reported through dialogs.
class AllFilesPage : public QGroupBox {
    Q_OBJECT
public:
    AllFilesPage(UserDialogs &dialogs, QWidget *parent);

    // Shows drive e:, or where there is none, the current directory.
    void showStartFolder();
    // Dir1 moves to the drive's current directory.
    void followDrive();
    // File1 lists Dir1's folder.
    void followDirectory();
    // The filter box's entry becomes File1's pattern "*.<entry>" and the extension box's text.
    void applyFilter();
    // The filter box's text and list, as the settings give them.
    void setFilterList(const QString &text, const QStringList &items);
    // Reads File1's folder again.
    void refreshFiles();
    // The Rename button was pressed on this page: answers with renameRequested.
    void renameClicked();

signals:
    // The folder, its files and the boxes of the sequential rename as they stand.
    void renameRequested(const SequenceInput &input);
    void driveChanged();
    void directoryChanged();
    void filterChosen();
    void filterKeyPressed(int keyAscii);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    UserDialogs &m_dialogs;
    DriveListBox *m_drive;
    DirListBox *m_directory;
    FileListBox *m_files;
    QComboBox *m_filter;
    QLineEdit *m_prefix;
    QLineEdit *m_startNumber;
    QLineEdit *m_extension;
};
