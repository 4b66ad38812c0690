#pragma once

#include "list/EntryList.h"
#include "list/FileAdder.h"
#include "rename/RenamePreview.h"
#include "rename/SequentialRename.h"
#include "settings/Settings.h"

#include <QRect>
#include <QWidget>

#include <array>
#include <functional>

class AllFilesPage;
class AudioPage;
class QAction;
class QGroupBox;
class OpenMenu;
class QPushButton;
class QTabBar;
class SettingsPage;
class UserDialogs;

// The main window: four pages under the tab strip TabStrip1, the Rename button Command1(4)
// below them, and the hidden menu OpenMenu that the Add button pops up. Every control carries
// its classic name as objectName. The handlers keep the classic names too and only pass each
// event on to the part that carries it out.
class Form1 : public QWidget {
    Q_OBJECT
public:
    // dialogs answers every prompt; folders say where rename.ini, rename.log, rename.m3u and
    // elanguage.dat are kept.
    Form1(UserDialogs &dialogs, const DataFolders &folders, QWidget *parent = nullptr);
    ~Form1() override;

    EntryList &entryList() { return m_list; }

    // Adds files and folders to the audio-file list as the menu's items add them, showing
    // page 1; nothing while other work runs. For drops and the command line.
    void addPaths(const QList<FilePath> &paths);
    // Called at every progress report of a long scan or rename, while the window is held
    // still; lets a caller watch the work as it goes.
    void setProgressObserver(std::function<void()> observer);

public slots:
    void Form_Load();
    void Form_Unload();
    void TabStrip1_Click();
    void Command1_Click(int index);
    void Command2_Click();
    void Combo1_Click();
    void Combo1_KeyPress(int keyAscii);
    void Drive1_Change();
    void Dir1_Change();
    void ListView1_Click();
    void AddDirectory_Click();
    void AddFile_Click();

    // Whether rename.ini gave the window a place on a screen of today, which it then has.
    bool hasStoredPlace() const { return m_placeRestored; }

protected:
    void closeEvent(QCloseEvent *event) override;
    // A command-line run may have left a record to undo meanwhile.
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void buildWindow();

    // Command1(3): new names from the template, then the settings saved.
    void saveTemplate();
    // Command1(4) on the audio-file page and on the all-files page.
    void renameListedFiles();
    void renameAllFiles(SequenceInput input);
    // Adds files one of the adder's ways, with a progress dialog that can stop a long add.
    void addWithProgress(const std::function<void()> &add);
    void applyCaptions();
    void updateUndo();
    void undoLastRename();
    // The settings in use become the adder's options.
    void applySettings(const Settings &settings);
    void saveSettings();
    // Carries out a close request that came while the window was busy.
    void closeIfAsked();

    UserDialogs &m_dialogs;
    const DataFolders m_folders;
    EntryList m_list;
    SettingsFile m_settingsFile;
    Settings m_settings; // the settings in use: as loaded, then as the settings page sends them
    FileAdder m_adder;
    RenamePreview m_preview;
    bool m_busy = false;
    bool m_closeAsked = false;
    bool m_unloaded = false;
    bool m_placeRestored = false;
    QString m_saveFailure; // the last failed save's reason, said once
    QRect m_shownGeometry; // where the window first showed; a change from it is the user's
    std::function<void()> m_progressObserver;

    QTabBar *m_tabStrip = nullptr;
    std::array<QGroupBox *, 4> m_pages{};
    AudioPage *m_audioPage = nullptr;
    AllFilesPage *m_allFilesPage = nullptr;
    SettingsPage *m_settingsPage = nullptr;
    OpenMenu *m_openMenu = nullptr;
    QAction *m_undoAction = nullptr;
};
