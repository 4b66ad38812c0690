#pragma once

#include "list/EntryList.h"
#include "list/EntryTable.h"
#include "list/FileAdder.h"
#include "settings/Language.h"
#include "settings/Settings.h"

#include <QWidget>

#include <array>
#include <memory>

class DirListBox;
class DriveListBox;
class FileListBox;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressDialog;
class QPushButton;
class QTabBar;
class QTreeView;
class UserDialogs;

// The main window: four pages under a tab strip, the Rename button below them, and the hidden
// menu OpenMenu that the Add button pops up. Every control carries its name as objectName.
class Form1 : public QWidget, private SettingsControls, private LanguageTargets {
    Q_OBJECT
public:
    // dialogs answers every prompt; programDirectory holds rename.ini, rename.log, rename.m3u
    // and elanguage.dat.
    Form1(UserDialogs &dialogs, const QString &programDirectory, QWidget *parent = nullptr);
    ~Form1() override;

    EntryList &entryList() { return m_list; }

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

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildWindow();
    void buildAudioPage(QGroupBox *page);
    void buildAllFilesPage(QGroupBox *page);
    void buildSettingsPage(QGroupBox *page);
    void buildAboutPage(QGroupBox *page);
    void buildMenu();

    // Runs a long operation; after about half a second it shows a modal progress dialog.
    class Busy;
    // The filter box's entry becomes File1's pattern "*.<entry>" and the extension box's text.
    void applyFilter();
    // Adds files one of the adder's ways, with a progress dialog that can stop a long add.
    void addWithProgress(void (FileAdder::*add)());

    // SettingsControls
    int playlistState() const override;
    void setPlaylistState(int state) override;
    int historyState() const override;
    void setHistoryState(int state) override;
    QString nameTemplate() const override;
    void setNameTemplate(const QString &text) override;
    void setFilterText(const QString &text) override;
    void addFilterItem(const QString &text) override;

    // LanguageTargets
    void setButtonCaption(int index, const QString &text) override;
    void setFrameCaption(int index, const QString &text) override;
    void setTabCaption(int index, const QString &text) override;
    void setColumnCaption(int index, const QString &text) override;

    UserDialogs &m_dialogs;
    const QString m_programDirectory;
    EntryTable m_table;
    EntryList m_list;
    SettingsStore m_settings;
    FileAdder m_adder;
    bool m_busy = false;
    bool m_unloaded = false;

    QTabBar *m_tabStrip = nullptr;
    std::array<QGroupBox *, 4> m_frames{};
    std::array<QPushButton *, 5> m_commands{};
    QPushButton *m_command2 = nullptr;
    QTreeView *m_listView = nullptr;
    QLabel *m_counter = nullptr;
    DriveListBox *m_drive = nullptr;
    DirListBox *m_dir = nullptr;
    FileListBox *m_files = nullptr;
    QComboBox *m_combo = nullptr;
    std::array<QLineEdit *, 3> m_text1{};
    QLineEdit *m_text3 = nullptr;
    std::array<QCheckBox *, 2> m_check{};
    QMenu *m_openMenu = nullptr;
};
