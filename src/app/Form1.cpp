#include "app/Form1.h"

#include "app/AboutPage.h"
#include "app/AllFilesPage.h"
#include "app/AudioPage.h"
#include "app/BusyProgress.h"
#include "app/Captions.h"
#include "app/Controls.h"
#include "app/Layout.h"
#include "app/OpenMenu.h"
#include "app/RunQuestions.h"
#include "app/SettingsPage.h"
#include "app/TabStrip.h"
#include "app/WindowPlaces.h"
#include "cli/CommandRun.h"
#include "dialogs/UserDialogs.h"
#include "rename/BatchRename.h"
#include "rename/ListedFiles.h"
#include "rename/RenameJournal.h"
#include "rename/SequentialRename.h"
#include "settings/Language.h"

#include <QCloseEvent>
#include <QCursor>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QIcon>
#include <QMimeData>
#include <QPushButton>
#include <QResizeEvent>
#include <QTimer>

#include <utility>

using namespace Controls;

// The artwork lives in the window library's resources, which a static library must register.
static void initResources() {
    Q_INIT_RESOURCE(tunemark);
}

Form1::Form1(UserDialogs &dialogs, const DataFolders &folders, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                          Qt::WindowCloseButtonHint)
    , m_dialogs(dialogs)
    , m_folders(folders)
    , m_settingsFile(folders)
    , m_adder(m_list, dialogs)
    , m_preview(m_list, folders.dataDirectory) {
    buildWindow();
    Form_Load();
}

Form1::~Form1() = default;

void Form1::setProgressObserver(std::function<void()> observer) {
    m_progressObserver = std::move(observer);
}

void Form1::buildWindow() {
    initResources();
    setObjectName(QStringLiteral("Form1"));
    setWindowIcon(QIcon(QStringLiteral(":/tunemark/icon.png")));
    setAcceptDrops(true);

    m_tabStrip = new TabStrip(this);
    connect(m_tabStrip, &QTabBar::currentChanged, this, &Form1::TabStrip1_Click);
    connect(m_tabStrip, &QTabBar::tabBarClicked, this, [this](int index) {
        if (index == m_tabStrip->currentIndex())
            TabStrip1_Click(); // a click on the selected tab changes nothing, but is a click
    });

    // Created last to first: page 1 lies over page 4, which it covers at start-up.
    m_pages[3] = new AboutPage(m_folders.dataDirectory, this);
    m_pages[2] = m_settingsPage = new SettingsPage(this);
    m_pages[1] = m_allFilesPage = new AllFilesPage(m_dialogs, this);
    m_pages[0] = m_audioPage = new AudioPage(m_list, this);
    for (QGroupBox *page : m_pages)
        page->setAutoFillBackground(true); // pages are opaque: page 1 hides page 4

    connect(m_audioPage, &AudioPage::listClicked, this, &Form1::ListView1_Click);
    connect(m_audioPage, &AudioPage::addRequested, this, [this] { Command1_Click(0); });
    connect(m_audioPage, &AudioPage::deleteRequested, this, [this] { Command1_Click(1); });
    connect(m_audioPage, &AudioPage::clearRequested, this, [this] { Command1_Click(2); });
    connect(m_settingsPage, &SettingsPage::settingsEdited, this, &Form1::applySettings);
    connect(m_settingsPage, &SettingsPage::tagReadingChanged, this, [this](const Settings &s) {
        applySettings(s);
        m_adder.readTagsAgain();
    });
    connect(m_settingsPage, &SettingsPage::saveRequested, this, [this](const Settings &s) {
        applySettings(s);
        Command1_Click(3);
    });
    connect(m_allFilesPage, &AllFilesPage::renameRequested, this, &Form1::renameAllFiles);
    connect(m_allFilesPage, &AllFilesPage::driveChanged, this, &Form1::Drive1_Change);
    connect(m_allFilesPage, &AllFilesPage::directoryChanged, this, &Form1::Dir1_Change);
    connect(m_allFilesPage, &AllFilesPage::filterChosen, this, &Form1::Combo1_Click);
    connect(m_allFilesPage, &AllFilesPage::filterKeyPressed, this, &Form1::Combo1_KeyPress);

    auto *rename = make<QPushButton>(this, indexed("Command1", 4));
    rename->setText(QStringLiteral("改名"));
    connect(rename, &QPushButton::clicked, this, [this] { Command1_Click(4); });

    auto *command2 = make<QPushButton>(this, QStringLiteral("Command2"));
    command2->setText(QStringLiteral("Command2"));
    command2->setToolTip(QStringLiteral("从 elanguage.dat 载入界面文字"));
    connect(command2, &QPushButton::clicked, this, &Form1::Command2_Click);

    m_openMenu = new OpenMenu(this);
    connect(m_openMenu, &OpenMenu::addDirectoryRequested, this, &Form1::AddDirectory_Click);
    connect(m_openMenu, &OpenMenu::addFileRequested, this, &Form1::AddFile_Click);
    // Undo, from Ctrl+Z anywhere in the window (a text box keeps Ctrl+Z for its typing) and
    // from the context menus of the two file lists.
    m_undoAction = new QAction(QStringLiteral("撤销上次改名"), this);
    m_undoAction->setObjectName(QStringLiteral("UndoRename"));
    m_undoAction->setShortcut(QKeySequence::Undo);
    connect(m_undoAction, &QAction::triggered, this, &Form1::undoLastRename);
    addAction(m_undoAction);
    for (const char *list : {"ListView1", "File1"}) {
        auto *widget = findChild<QWidget *>(QString::fromLatin1(list));
        widget->setContextMenuPolicy(Qt::ActionsContextMenu);
        widget->addAction(m_undoAction);
    }
    Layout::apply(this);
}

void Form1::Form_Load() {
    m_audioPage->setCounterText(QStringLiteral("0/0"));
    m_pages[0]->setVisible(true);
    m_pages[1]->setVisible(false);
    m_pages[2]->setVisible(false);
    m_settings = m_settingsFile.LoadSettings();
    m_placeRestored = WindowPlaces::restore(*this, m_settings.window);
    m_settingsPage->showSettings(m_settings);
    applySettings(m_settings);
    m_allFilesPage->setFilterList(m_settings.filterText, m_settings.filterItems);
    m_allFilesPage->showStartFolder();
    updateUndo();
    // Command2 loads elanguage.dat: shown only where there is one to load.
    findChild<QPushButton *>(QStringLiteral("Command2"))
        ->setVisible(!languageFilePath(m_folders).isEmpty());
    setWindowTitle(QStringLiteral("Tunemark VER " TUNEMARK_VERSION " FOR FREE"));
}

void Form1::Form_Unload() {
    if (m_unloaded)
        return;
    m_unloaded = true;
    saveSettings();
}

void Form1::closeEvent(QCloseEvent *event) {
    if (m_busy) {
        m_closeAsked = true; // a scan or rename is running; the window closes when it ends
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

void Form1::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    // Where the window system put the window, once it has: a change from there is the user's.
    if (!m_shownGeometry.isValid())
        QTimer::singleShot(0, this, [this] {
            if (!m_shownGeometry.isValid())
                m_shownGeometry = normalGeometry().isValid() ? normalGeometry() : geometry();
        });
}

void Form1::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    Layout::follow(this, event->size());
}

void Form1::TabStrip1_Click() {
    const int current = m_tabStrip->currentIndex();
    if (current < 0 || current >= int(m_pages.size()))
        return;
    for (int i = 0; i < int(m_pages.size()); ++i)
        m_pages[i]->setVisible(i == current);
}

void Form1::Command1_Click(int index) {
    switch (index) {
    case 0:
        m_openMenu->exec(QCursor::pos());
        break;
    case 1:
        m_list.DeleteCurrentEntry();
        break;
    case 2:
        m_list.ClearEntries();
        break;
    case 3:
        saveTemplate();
        break;
    case 4:
        if (m_tabStrip->currentIndex() == 0)
            renameListedFiles();
        else if (m_tabStrip->currentIndex() == 1)
            m_allFilesPage->renameClicked(); // answers with the page's values
        break;                               // the settings and about pages have nothing to rename
    default:
        break;
    }
}

void Form1::Command2_Click() {
    applyCaptions();
}

void Form1::Combo1_Click() {
    m_allFilesPage->applyFilter();
}

void Form1::Combo1_KeyPress(int keyAscii) {
    if (keyAscii == 13)
        m_allFilesPage->applyFilter();
}

void Form1::Drive1_Change() {
    m_allFilesPage->followDrive();
}

void Form1::Dir1_Change() {
    m_allFilesPage->followDirectory();
}

void Form1::ListView1_Click() {
    if (m_list.lineCount() >= 1)
        m_list.ShowCurrentPosition();
}

void Form1::AddDirectory_Click() {
    addWithProgress([this] { m_adder.AddDirectory(); });
}

void Form1::AddFile_Click() {
    addWithProgress([this] { m_adder.AddFilesFromDialog(); });
}

void Form1::saveTemplate() {
    m_list.ReformatNewNames(m_settings.nameTemplate, m_settings.safeNames);
    saveSettings();
}

void Form1::renameListedFiles() {
    BatchRenameOptions options{isOn(m_settings.playlist), isOn(m_settings.history),
                               m_folders.journalPath()};
    // Lines whose tag encoding looks wrong would get garbled names: asked about first.
    using RunQuestions::GarbledLines;
    const GarbledLines garbled = RunQuestions::askAboutGarbledLines(m_dialogs, m_list.table());
    if (garbled == GarbledLines::Cancel)
        return;
    options.keepGarbledNames = garbled == GarbledLines::KeepTheirNames;
    m_folders.makeDataDirectory(); // a folder that cannot be made shows as unwritable outputs
    RunLock lock(m_folders.dataDirectory);
    if (!RunQuestions::takeRunLock(m_dialogs, lock, options.journalPath))
        return;
    m_preview.stop();
    std::optional<RenameReport> report;
    {
        BusyProgress busy(this, m_busy, BusyProgress::Cancel::NotOffered, m_progressObserver);
        report = RenameListedFiles(m_list.table(), m_folders.dataDirectory, options,
                                   busy.renameProgress());
    }
    lock.release();
    if (report) { // an empty list: nothing happened
        m_dialogs.showMessage(report->messageWithCounts());
        m_list.ClearEntries();
    }
    updateUndo();
    closeIfAsked();
}

void Form1::renameAllFiles(SequenceInput input) {
    input.programDirectory = m_folders.dataDirectory;
    input.journalPath = m_folders.journalPath();
    input.protectedFolders = {m_folders.programDirectory, m_folders.dataDirectory};
    if (!RunQuestions::confirmSequence(m_dialogs, input))
        return;
    m_folders.makeDataDirectory();
    RunLock lock(m_folders.dataDirectory);
    if (!RunQuestions::takeRunLock(m_dialogs, lock, input.journalPath))
        return;
    SequenceRun run;
    {
        BusyProgress busy(this, m_busy, BusyProgress::Cancel::NotOffered, m_progressObserver);
        run = RenameFilesInSequence(input, busy.renameProgress());
    }
    lock.release();
    if (!run.ran()) {
        m_dialogs.showMessage(run.refusal);
    } else {
        if (const QString failures = run.failureMessage(); !failures.isEmpty())
            m_dialogs.showMessage(failures); // silence on success
        m_allFilesPage->refreshFiles();
    }
    updateUndo();
    closeIfAsked();
}

void Form1::updateUndo() {
    m_undoAction->setEnabled(journalHasSteps(m_folders.journalPath())); // read up to its first step
}

void Form1::undoLastRename() {
    RunLock lock(m_folders.dataDirectory);
    QList<JournalStep> steps;
    if (m_busy ||
        (steps = RunQuestions::confirmUndo(m_dialogs, m_folders.journalPath(), lock)).isEmpty())
        return;
    UndoReport report;
    {
        BusyProgress busy(this, m_busy, BusyProgress::Cancel::NotOffered, m_progressObserver);
        report = UndoLastRename(m_folders.journalPath(), std::move(steps));
    }
    lock.release();
    m_dialogs.showMessage(report.message());
    m_allFilesPage->refreshFiles();
    m_list.RefreshEntryList();
    updateUndo();
    closeIfAsked();
}

void Form1::addWithProgress(const std::function<void()> &add) {
    {
        BusyProgress busy(this, m_busy, BusyProgress::Cancel::Offered, m_progressObserver);
        m_adder.setProgress(busy.addProgress());
        add();
        m_adder.setProgress({});
    }
    closeIfAsked();
}

void Form1::addPaths(const QList<FilePath> &paths) {
    if (m_busy || paths.isEmpty())
        return;
    m_tabStrip->setCurrentIndex(0);
    addWithProgress([&] { m_adder.addPaths(paths); });
}

void Form1::changeEvent(QEvent *event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !m_busy)
        updateUndo();
    QWidget::changeEvent(event);
}

void Form1::dragEnterEvent(QDragEnterEvent *event) {
    if (!m_busy && event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void Form1::dropEvent(QDropEvent *event) {
    QList<FilePath> paths;
    for (const QUrl &url : event->mimeData()->urls()) {
        if (url.isLocalFile())
            paths << url.toLocalFile();
    }
    if (m_busy || paths.isEmpty())
        return;
    event->acceptProposedAction();
    addPaths(paths);
}

void Form1::applyCaptions() {
    ::applyCaptions(*this, LoadLanguage(m_folders), *m_list.model());
}

void Form1::applySettings(const Settings &settings) {
    m_settings = settings;
    m_adder.setOptions(readOptionsOf(settings));
    m_list.model()->setReadsId3v2(settings.readId3v2);
}

void Form1::closeIfAsked() {
    if (std::exchange(m_closeAsked, false))
        close();
}

void Form1::saveSettings() {
    // rename.ini is never written into a listed audio file that bears that name too.
    ListedFiles listed = ListedFiles::of(m_list.table());
    m_settings.window = WindowPlaces::toKeep(*this, m_shownGeometry, m_settings.window.known);
    QString why;
    const auto saved = m_settingsFile.SaveSettings(
        m_settings, [&](const FileIdentity &id) { return listed.contains(id); }, &why);
    // Another Tunemark saving or renaming: tried again at close, said then; each failure once.
    if ((saved == SettingsFile::Saved::No ||
         (saved == SettingsFile::Saved::Locked && m_unloaded)) &&
        why != std::exchange(m_saveFailure, why))
        m_dialogs.showMessage(m_settingsFile.failureMessage(why));
    if (saved == SettingsFile::Saved::ListedFile)
        m_dialogs.showMessage(
            QStringLiteral("没有写入设置：%1 是列表中的文件").arg(m_settingsFile.path()));
}
