#include "WindowTest.h"

#include <QLockFile>
#include <QProcessEnvironment>

#ifdef Q_OS_LINUX
#include <csignal>
#endif

#ifndef TUNEMARK_PROGRAM
#define TUNEMARK_PROGRAM "tunemark" // compiled outside the build, as the Windows check does
#define TUNEMARK_CLI "tunemark-cli"
#endif

#ifdef Q_OS_WIN
// The console program, its path made whole before any test changes the current folder: a
// cross build gives it without a drive.
static const QString kConsoleProgram =
    QFileInfo(QString::fromUtf8(TUNEMARK_CLI)).absoluteFilePath();
#endif

class TestForm1 : public WindowTest {
    Q_OBJECT
private slots:
    void startUpState();
    void closingSavesSettings();
    void controlsCarryTheirNames();
    void layout_data();
    void layout();
    void growsWithTheWindow();
    void placeKeptOnlyOnAScreen_data();
    void placeKeptOnlyOnAScreen();
    void tabSwitching_data();
    void tabSwitching();
    void sameTabTwiceKeepsPage();
    void renameOnSettingsOrAboutDoesNothing_data();
    void renameOnSettingsOrAboutDoesNothing();
    void commandTwoAppliesLanguageFile();
    void progressHoldsWindowStill_data();
    void progressHoldsWindowStill();
    void keepsItsFilesInTheFolderInUse();
    void undoLastRename();
    void commandLineAndWindowShareTheUndo();
    void drop_data();
    void drop();
    void givenFilesOfOtherTypesKeepTheRows();
    void anotherInstanceHoldsTheRecord();
    void systemCloseRequestSaves();
    void nowhereToKeepSettingsIsSaidOnce();
};

void TestForm1::startUpState() {
    QCOMPARE(m_form->windowTitle(), u"Tunemark VER 3.0 FOR FREE"_s);
    QCOMPARE(m_form->objectName(), u"Form1"_s);
    QCOMPARE(m_form->size(), QSize(478, 318));
    QCOMPARE(child<QLabel>(u"Coun"_s)->text(), u"0/0"_s);
    QCOMPARE(child<QTabBar>(u"TabStrip1"_s)->currentIndex(), 0);
    QVERIFY(child<QGroupBox>(u"Frame1(0)"_s)->isVisible());
    QVERIFY(!child<QGroupBox>(u"Frame1(1)"_s)->isVisible());
    QVERIFY(!child<QGroupBox>(u"Frame1(2)"_s)->isVisible());
    QCOMPARE(child<QLineEdit>(u"Text3"_s)->text(), u"%1-%2"_s);
    QCOMPARE(child<QCheckBox>(u"Check1(0)"_s)->checkState(), Qt::Unchecked);
    QCOMPARE(child<QCheckBox>(u"Check1(1)"_s)->checkState(), Qt::Unchecked);
    QCOMPARE(child<QLineEdit>(u"Text1(0)"_s)->text(), u"Rename"_s);
    QCOMPARE(child<QLineEdit>(u"Text1(1)"_s)->text(), u"0"_s);
    QCOMPARE(child<QLineEdit>(u"Text1(2)"_s)->text(), QString());
    QVERIFY(m_form->entryList().table().isEmpty());
    // No drive e: here: the page shows the home folder, all files.
#ifndef Q_OS_WIN
    QVERIFY(!child<DriveListBox>(u"Drive1"_s)->setDrive(u"e:"_s));
    QVERIFY(QDir::currentPath() != m_work->path());
#endif
    QCOMPARE(child<DirListBox>(u"Dir1"_s)->path(), QDir::toNativeSeparators(m_work->path()));
    auto *files = child<FileListBox>(u"File1"_s);
    QCOMPARE(files->property("pattern").toString(), u"*.*"_s);
    QCOMPARE(files->property("path").toString(), QDir::toNativeSeparators(m_work->path()));
    QVERIFY(m_dialogs->messages.isEmpty());
}

// Closing saves the settings; at a first start (no rename.ini anywhere) the ID3v2, other
// formats and safe-names options start on and are written with the rest.
void TestForm1::closingSavesSettings() {
    const QString ini = m_programDir->filePath(u"rename.ini"_s);
    m_form.reset();
    QVERIFY(QFile::remove(ini));
    m_form = std::make_unique<Form1>(*m_dialogs, DataFolders::portable(m_programDir->path()));
    for (const char *option : {"Check1(2)", "Check1(3)", "Check1(4)"})
        QVERIFY(child<QCheckBox>(QString::fromLatin1(option))->isChecked());
    QVERIFY(!child<QCheckBox>(u"Check1(0)"_s)->isChecked());
    child<QLineEdit>(u"Text3"_s)->setText(u"%2-%1"_s);
    m_form->close();
    QCOMPARE(TestFiles::read(ini), "[setup]\r\nm3u=0\r\nm3upath=\r\nhistory=0\r\nformat=%2-%1\r\n"
                                   "id3v2=1\r\nallformats=1\r\nsafenames=1\r\n"_ba);
}

void TestForm1::controlsCarryTheirNames() {
    const QStringList names = {
        u"TabStrip1"_s,   u"Frame1(0)"_s,   u"Frame1(1)"_s,   u"Frame1(2)"_s,   u"Frame1(3)"_s,
        u"Command1(0)"_s, u"Command1(1)"_s, u"Command1(2)"_s, u"Command1(3)"_s, u"Command1(4)"_s,
        u"Command2"_s,    u"ListView1"_s,   u"Coun"_s,        u"Drive1"_s,      u"Dir1"_s,
        u"File1"_s,       u"Combo1"_s,      u"Label1(0)"_s,   u"Label1(1)"_s,   u"Label1(2)"_s,
        u"Label1(3)"_s,   u"Label1(4)"_s,   u"Label2(0)"_s,   u"Label2(1)"_s,   u"Text1(0)"_s,
        u"Text1(1)"_s,    u"Text1(2)"_s,    u"Text3"_s,       u"Check1(0)"_s,   u"Check1(1)"_s,
        u"Check1(2)"_s,   u"Check1(3)"_s,   u"Check1(4)"_s,   u"Label1(5)"_s,   u"Label1(6)"_s,
        u"Picture1"_s,    u"OpenMenu"_s};
    for (const QString &n : names)
        QVERIFY2(m_form->findChild<QObject *>(n), qPrintable(n));
    QCOMPARE(child<QPushButton>(u"Command1(4)"_s)->text(), u"改名"_s);
    QVERIFY(!child<QAction>(u"Openlist"_s)->isVisible());
    // Command2 only where there is an elanguage.dat for it to load.
    QVERIFY(!child<QPushButton>(u"Command2"_s)->isVisible());
    QVERIFY(!child<QPushButton>(u"Command2"_s)->toolTip().isEmpty());
}

// Positions in logical pixels: the twips of the classic form divided by 15.
void TestForm1::layout_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    const QList<std::pair<QString, QRect>> places = {
        {u"Command1(4)"_s, {8, 280, 73, 33}}, {u"Command2"_s, {240, 280, 89, 36}},
        {u"Frame1(0)"_s, {8, 24, 457, 241}},  {u"Frame1(3)"_s, {8, 24, 457, 233}},
        {u"ListView1"_s, {8, 16, 441, 177}},  {u"Command1(2)"_s, {168, 200, 65, 33}},
        {u"Coun"_s, {352, 208, 97, 25}},      {u"Dir1"_s, {8, 40, 129, 174}},
        {u"Combo1"_s, {160, 192, 137, 20}},   {u"Text1(2)"_s, {328, 144, 65, 25}},
        {u"Text3"_s, {120, 24, 145, 25}},     {u"Check1(1)"_s, {32, 128, 169, 25}},
        {u"Check1(2)"_s, {32, 160, 169, 25}}, {u"Command1(3)"_s, {384, 184, 65, 33}},
        {u"Label1(5)"_s, {32, 196, 89, 25}},  {u"Combo2"_s, {120, 192, 177, 20}},
        {u"Picture1"_s, {72, 16, 313, 209}},  {u"Label1(6)"_s, {16, 76, 433, 20}},
        {u"Check1(3)"_s, {232, 96, 217, 25}}, {u"Check1(4)"_s, {232, 128, 217, 25}},
    };
    for (const auto &[name, geometry] : places)
        QTest::newRow(qPrintable(name)) << name << geometry;
}

void TestForm1::layout() {
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QCOMPARE(child<QWidget>(name)->geometry(), geometry);
}

// Past its documented size, its smallest, the window's lists and pages take the room: the
// buttons stay at the bottom, the counter and page 2's right column at the right, the columns
// share the width, the new name's the widest. The size is kept in rename.ini's own section.
void TestForm1::growsWithTheWindow() {
    QCOMPARE(m_form->minimumSize(), QSize(478, 318));
    m_form->resize(1000, 700);
    QTRY_COMPARE(m_form->size(), QSize(1000, 700));
    const int dx = 1000 - 478;
    const int dy = 700 - 318;
    QCOMPARE(child<QWidget>(u"ListView1"_s)->geometry(), QRect(8, 16, 441 + dx, 177 + dy));
    QCOMPARE(child<QWidget>(u"Command1(4)"_s)->geometry(), QRect(8, 280 + dy, 73, 33));
    QCOMPARE(child<QWidget>(u"Command2"_s)->geometry().x(), 240 + dx / 2);
    QCOMPARE(child<QWidget>(u"Command1(0)"_s)->geometry().y(), 200 + dy);
    QCOMPARE(child<QWidget>(u"Coun"_s)->geometry().topLeft(), QPoint(352 + dx, 208 + dy));
    auto *list = child<QTreeView>(u"ListView1"_s);
    QCOMPARE(list->columnWidth(1), 96 + qRound(dx * 0.4));
    QVERIFY(list->columnWidth(0) < list->columnWidth(1));
    QCOMPARE(list->columnWidth(0), list->columnWidth(3));
    const QRect dir = child<QWidget>(u"Dir1"_s)->geometry();
    const QRect files = child<QWidget>(u"File1"_s)->geometry();
    QCOMPARE(dir.height(), files.height());
    QCOMPARE(dir.width() - 129, files.width() - 153); // the extra width in halves
    QCOMPARE(child<QWidget>(u"Combo1"_s)->geometry().top(), files.bottom() + 1 + 2); // below File1
    QCOMPARE(child<QWidget>(u"Text1(0)"_s)->geometry().x(), 312 + dx);
    QCOMPARE(child<QWidget>(u"Check1(0)"_s)->geometry(), QRect(32, 96, 177, 25)); // page 3 stays

    m_form->close();
    const QByteArray ini = TestFiles::read(m_programDir->filePath(u"rename.ini"_s));
    QVERIFY(ini.startsWith(kFourKeys + "[window]\r\n"));
    QVERIFY(ini.contains("width=1000\r\nheight=700\r\nmaximized=0\r\n"));
    m_form = std::make_unique<Form1>(*m_dialogs, DataFolders::portable(m_programDir->path()));
    QCOMPARE(m_form->size(), QSize(1000, 700));
}

// A kept place opens the window there, unless it lies on no screen of today.
void TestForm1::placeKeptOnlyOnAScreen_data() {
    QTest::addColumn<QByteArray>("place");
    QTest::addColumn<QSize>("size");
    QTest::newRow("on the screen")
        << "x=10\r\ny=20\r\nwidth=600\r\nheight=400\r\n"_ba << QSize(600, 400);
    QTest::newRow("on a screen that is gone")
        << "x=-30000\r\ny=20\r\nwidth=600\r\nheight=400\r\n"_ba << QSize(478, 318);
    QTest::newRow("smaller than the smallest")
        << "x=10\r\ny=20\r\nwidth=100\r\nheight=100\r\n"_ba << QSize(478, 318);
    QTest::newRow("half a place") << "x=10\r\ny=20\r\n"_ba << QSize(478, 318);
}

void TestForm1::placeKeptOnlyOnAScreen() {
    QFETCH(QByteArray, place);
    m_form.reset();
    QVERIFY(TestFiles::write(m_programDir->filePath(u"rename.ini"_s),
                             kFourKeys + "[window]\r\n" + place));
    m_form = std::make_unique<Form1>(*m_dialogs, DataFolders::portable(m_programDir->path()));
    QTEST(m_form->size(), "size");
}

void TestForm1::tabSwitching_data() {
    QTest::addColumn<int>("tab");
    for (int t = 0; t < 4; ++t)
        QTest::addRow("tab %d", t + 1) << t;
}

void TestForm1::tabSwitching() {
    QFETCH(int, tab);
    addEntries({u"a.mp3"_s, u"b.mp3"_s});
    child<QLineEdit>(u"Text1(0)"_s)->setText(u"Pre"_s);
    clickTab(tab);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(child<QGroupBox>(u"Frame1(%1)"_s.arg(i))->isVisible(), i == tab);
    QVERIFY(child<QPushButton>(u"Command1(4)"_s)->isVisible());
    clickTab(0);
    QVERIFY(child<QGroupBox>(u"Frame1(0)"_s)->isVisible());
    QCOMPARE(m_form->entryList().lineCount(), 2);
    QCOMPARE(child<QLabel>(u"Coun"_s)->text(), u"1/ 2"_s);
    QCOMPARE(child<QLineEdit>(u"Text1(0)"_s)->text(), u"Pre"_s);
}

void TestForm1::sameTabTwiceKeepsPage() {
    clickTab(2);
    clickTab(2);
    QVERIFY(child<QGroupBox>(u"Frame1(2)"_s)->isVisible());
    QVERIFY(!child<QGroupBox>(u"Frame1(0)"_s)->isVisible());
}

void TestForm1::renameOnSettingsOrAboutDoesNothing_data() {
    QTest::addColumn<int>("tab");
    QTest::newRow("settings") << 2;
    QTest::newRow("about") << 3;
}

void TestForm1::renameOnSettingsOrAboutDoesNothing() {
    QFETCH(int, tab);
    addEntries({u"a.mp3"_s});
    clickTab(tab);
    QTest::mouseClick(child<QPushButton>(u"Command1(4)"_s), Qt::LeftButton);
    QVERIFY(m_dialogs->messages.isEmpty()); // any question would have failed the test
    QVERIFY(QFile::exists(m_work->filePath(u"a.mp3"_s)));
    QCOMPARE(m_form->entryList().lineCount(), 1);
}

void TestForm1::commandTwoAppliesLanguageFile() {
    QVERIFY(TestFiles::write(m_programDir->filePath(u"elanguage.dat"_s),
                             "[button]\r\nAdd\r\nDelete\r\nClear\r\n[tabstrip]\r\nAudio\r\n"));
    // Looked for when the window starts.
    m_form = std::make_unique<Form1>(*m_dialogs, DataFolders::portable(m_programDir->path()));
    m_form->show();
    QVERIFY(child<QPushButton>(u"Command2"_s)->isVisible());
    for (int twice = 0; twice < 2; ++twice)
        QTest::mouseClick(child<QPushButton>(u"Command2"_s), Qt::LeftButton);
    QCOMPARE(child<QPushButton>(u"Command1(0)"_s)->text(), u"Add"_s);
    QCOMPARE(child<QPushButton>(u"Command1(2)"_s)->text(), u"Clear"_s);
    QCOMPARE(child<QPushButton>(u"Command1(3)"_s)->text(), u"保存"_s);
    QCOMPARE(child<QTabBar>(u"TabStrip1"_s)->tabText(0), u"Audio"_s);
    QCOMPARE(child<QTabBar>(u"TabStrip1"_s)->tabText(1), u"所有文件"_s);
    QCOMPARE(child<QPushButton>(u"Command2"_s)->text(), u"Command2"_s);
}

void TestForm1::progressHoldsWindowStill_data() {
    QTest::addColumn<bool>("scan");
    QTest::addColumn<bool>("closeButton"); // or Escape
    QTest::newRow("rename, escape") << false << false;
    QTest::newRow("rename, close button") << false << true;
    QTest::newRow("scan, escape") << true << false;
    QTest::newRow("scan, close button") << true << true;
}

// The work is slowed to a tenth of a second per report, so the progress dialog shows; before
// it shows and while it shows, the user clicks Clear and tab 3 and presses Escape on the
// window, then tries Escape or the close button on the dialog. During a rename the user also
// closes the window, which closes when the rename has ended.
void TestForm1::progressHoldsWindowStill() {
    QFETCH(bool, scan);
    QFETCH(bool, closeButton);
    constexpr int kFiles = 12;
    QStringList names;
    for (int i = 0; i < kFiles; ++i)
        names << u"f%1.mp3"_s.arg(i);
    QDir tree(m_work->filePath(u"tree"_s));
    if (scan) {
        for (const QString &n : names) {
            QVERIFY(tree.mkpath(n.chopped(4)));
            QVERIFY(TestFiles::write(tree.filePath(n.chopped(4) + u'/' + n), {}));
        }
        m_dialogs->folderAnswers.enqueue(QDir::toNativeSeparators(tree.path()));
    } else {
        addEntries(names);
    }

    auto *clear = child<QPushButton>(u"Command1(2)"_s);
    auto *tabs = child<QTabBar>(u"TabStrip1"_s);
    const auto tryTheWindow = [&] {
        clickThroughWindow(clear);
        clickThroughWindow(tabs, tabs->tabRect(2).center());
        QTest::keyClick(m_form->windowHandle(), Qt::Key_Escape);
    };
    int reports = 0;
    bool tried = false;
    bool stayedOpen = false;
    int reportsAfter = 0;
    int reportsShownAfter = 0;
    m_form->setProgressObserver([&] {
        if (++reports == 1)
            tryTheWindow();
        QTest::qSleep(100);
        QProgressDialog *progress = shownProgress();
        if (tried) {
            ++reportsAfter;
            reportsShownAfter += progress != nullptr;
        } else if (progress) {
            tried = true;
            tryTheWindow();
            stayedOpen = !scan && !m_form->windowHandle()->close() && m_form->isVisible();
            if (closeButton)
                progress->windowHandle()->close();
            else
                QTest::keyClick(progress->windowHandle(), Qt::Key_Escape);
        }
    });
    if (scan) {
        child<QAction>(u"AddDirectory"_s)->trigger();
    } else {
        clickThroughWindow(child<QPushButton>(u"Command1(4)"_s));
    }

    QVERIFY(tried);
    QCOMPARE(tabs->currentIndex(), 0);
    QVERIFY(!shownProgress());
    if (scan) {
        // Cancelled at once: what was added stays.
        QCOMPARE(reportsAfter, 0);
        const int lines = m_form->entryList().lineCount();
        QVERIFY2(lines > 0 && lines < kFiles, qPrintable(QString::number(lines)));
        QCOMPARE(child<QLabel>(u"Coun"_s)->text(), u"1/ %1"_s.arg(lines));
    } else {
        // Every file renamed, the dialog on screen to the end; then the window closed.
        QCOMPARE(reports, kFiles);
        QVERIFY(reportsAfter > 0);
        QCOMPARE(reportsShownAfter, reportsAfter);
        QCOMPARE(m_dialogs->messages,
                 QStringList{u"自动改名完成\n已改名 12 个文件，0 个文件名字未变"_s});
        QCOMPARE(m_dialogs->messagesOverProgress, 0);
        for (const QString &n : names) {
            QCOMPARE(TestFiles::read(m_work->filePath(u"new-"_s + n)), n.toUtf8());
            QVERIFY(!QFile::exists(m_work->filePath(n)));
        }
        QVERIFY(stayedOpen);
        QVERIFY(!m_form->isVisible());
        QVERIFY(QFile::exists(m_programDir->filePath(u"rename.ini"_s)));
        return;
    }
    // The window takes input again.
    clickThroughWindow(clear);
    QCOMPARE(m_dialogs->messages, QStringList());
    QCOMPARE(m_form->entryList().lineCount(), 0);
}

// A program folder it must not write to: settings, log and playlist go to the configuration
// folder, made when first needed, and the settings are there at the next start.
void TestForm1::keepsItsFilesInTheFolderInUse() {
    m_form.reset();
    const QString config = m_work->filePath(u"config/tunemark/"_s);
    const DataFolders folders{m_programDir->path() + u'/', config};
    m_form = std::make_unique<Form1>(*m_dialogs, folders);
    QVERIFY(child<QLabel>(u"Picture1"_s)->toolTip().contains(config));
    addEntries({u"a.mp3"_s});
    child<QCheckBox>(u"Check1(0)"_s)->setCheckState(Qt::Checked);
    child<QCheckBox>(u"Check1(1)"_s)->setCheckState(Qt::Checked);
    child<QLineEdit>(u"Text3"_s)->setText(u"%2"_s);
    QTest::mouseClick(child<QPushButton>(u"Command1(4)"_s), Qt::LeftButton);
    QCOMPARE(
        m_dialogs->messages,
        QStringList{
            u"自动改名完成\n已改名 1 个文件，0 个文件名字未变\nrename.log 和 rename.m3u 在 "_s +
            QDir::toNativeSeparators(QDir::cleanPath(config))});
    m_form->close();

    // Beside the program, only the rename.ini that was there, as it was.
    QCOMPARE(QDir(m_programDir->path()).entryList(QDir::Files), QStringList{u"rename.ini"_s});
    QCOMPARE(TestFiles::read(m_programDir->filePath(u"rename.ini"_s)), kFourKeys);
    QCOMPARE(QDir(config).entryList(QDir::Files),
             QStringList({u"rename.ini"_s, u"rename.log"_s, u"rename.m3u"_s, u"rename.undo"_s}));
    m_form = std::make_unique<Form1>(*m_dialogs, folders);
    QCOMPARE(child<QLineEdit>(u"Text3"_s)->text(), u"%2"_s);
}

// Ctrl+Z offers to undo the last run, after a restart too; the lists' menus offer the same.
void TestForm1::undoLastRename() {
    auto *undo = child<QAction>(u"UndoRename"_s);
    QVERIFY(!undo->isEnabled());
    QVERIFY(child<QWidget>(u"ListView1"_s)->actions().contains(undo));
    QVERIFY(child<QWidget>(u"File1"_s)->actions().contains(undo));
    addEntries({u"a.mp3"_s, u"b.mp3"_s});
    QTest::mouseClick(child<QPushButton>(u"Command1(4)"_s), Qt::LeftButton);
    QVERIFY(undo->isEnabled());
    // In a text box Ctrl+Z undoes the typing; a question would fail the test.
    clickTab(1);
    auto *prefix = child<QLineEdit>(u"Text1(0)"_s);
    prefix->setFocus();
    QTest::keyClicks(prefix, u"x"_s);
    QTest::keyClick(prefix, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(prefix->text(), u"Rename"_s);

    m_form.reset();
    m_form = std::make_unique<Form1>(*m_dialogs, DataFolders::portable(m_programDir->path()));
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    m_dialogs->messages.clear();
    m_dialogs->yesNoAnswers << true;
    QTest::keyClick(m_form->windowHandle(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(m_dialogs->messages, QStringList({u"撤销上次改名吗？\n共 2 个文件，位于 "_s +
                                                   QDir::toNativeSeparators(m_work->path()),
                                               u"已撤销 2 个文件的改名"_s}));
    QCOMPARE(QDir(m_work->path()).entryList(QDir::Files), QStringList({u"a.mp3"_s, u"b.mp3"_s}));
    QVERIFY(!child<QAction>(u"UndoRename"_s)->isEnabled());
}

// A run of the window is undone from the command line, and one of the command line from the
// window: one record, in the folder in use.
void TestForm1::commandLineAndWindowShareTheUndo() {
    // On Windows the commands come from the console program, the window's having no console.
#ifdef Q_OS_WIN
    const QString program = m_programDir->filePath(u"tunemark-cli.exe"_s);
    QVERIFY(QFile::copy(kConsoleProgram, program));
#else
    const QString program = m_programDir->filePath(u"tunemark"_s);
    QVERIFY(QFile::copy(QString::fromUtf8(TUNEMARK_PROGRAM), program));
#endif
    const auto run = [&](const QStringList &arguments) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(u"QT_QPA_PLATFORM"_s);
        environment.remove(u"DISPLAY"_s);
        process.setProcessEnvironment(environment);
        process.start(program, arguments);
        return process.waitForFinished(60000) ? process.exitCode() : -1;
    };
    // The user comes back to the window from the terminal.
    m_form->show();
    m_form->activateWindow();
    QTRY_VERIFY(m_form->isActiveWindow());
    const auto comeBack = [&] {
        QEvent activation(QEvent::ActivationChange);
        QApplication::sendEvent(m_form.get(), &activation);
    };
    auto *undo = child<QAction>(u"UndoRename"_s);
    addEntries({u"a.mp3"_s});
    QTest::mouseClick(child<QPushButton>(u"Command1(4)"_s), Qt::LeftButton);
    QCOMPARE(QDir(m_work->path()).entryList(QDir::Files), QStringList{u"new-a.mp3"_s});
    QCOMPARE(run({u"--undo"_s}), 0);
    QCOMPARE(QDir(m_work->path()).entryList(QDir::Files), QStringList{u"a.mp3"_s});
    comeBack();
    QVERIFY(!undo->isEnabled());

    FileTree::write(m_work->filePath(u"a.mp3"_s), TagBytes::mp3File("Song", "Singer"));
    QCOMPARE(run({u"--rename"_s, m_work->path()}), 0);
    QCOMPARE(QDir(m_work->path()).entryList(QDir::Files), QStringList{u"Song-Singer.mp3"_s});
    comeBack();
    QVERIFY(undo->isEnabled());
    m_dialogs->yesNoAnswers << true;
    undo->trigger();
    QCOMPARE(QDir(m_work->path()).entryList(QDir::Files), QStringList{u"a.mp3"_s});
}

void TestForm1::drop_data() {
    QTest::addColumn<QStringList>("dropped"); // below the work folder
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("messages");
    const QString passedOver = u"有 %1 个文件不是本程序能改名的音乐文件，已跳过："_s;
    QTest::newRow("folder") << QStringList{u"music"_s} << QStringList{u"a.mp3"_s, u"b.rm"_s}
                            << QStringList();
    QTest::newRow("files in drop order") << QStringList{u"music/sub/b.rm"_s, u"music/a.mp3"_s}
                                         << QStringList{u"b.rm"_s, u"a.mp3"_s} << QStringList();
    QTest::newRow("no audio file") << QStringList{u"notes.txt"_s} << QStringList()
                                   << QStringList{passedOver.arg(1) + u"\nnotes.txt"_s};
    // Files of other types are passed over and named; the list keeps every line. A FLAC file
    // is one of them while the option for other formats is off.
    QTest::newRow("mix") << QStringList{u"music/a.mp3"_s, u"music/sub"_s, u"notes.txt"_s,
                                        u"c.mp3"_s, u"d.flac"_s}
                         << QStringList{u"a.mp3"_s, u"b.rm"_s, u"c.mp3"_s}
                         << QStringList{passedOver.arg(2) + u"\nnotes.txt\nd.flac"_s};
}

// Files and folders dropped on any page are added to page 1's list as the menu adds them.
void TestForm1::drop() {
    QFETCH(QStringList, dropped);
    QDir work(m_work->path());
    QVERIFY(work.mkpath(u"music/sub"_s));
    for (const char *name : {"music/a.mp3", "music/sub/b.rm", "notes.txt", "c.mp3", "d.flac"})
        QVERIFY(TestFiles::write(work.filePath(QString::fromUtf8(name)), "x"));
    clickTab(2);

    QMimeData data;
    QList<QUrl> urls;
    for (const QString &path : dropped)
        urls << QUrl::fromLocalFile(work.filePath(path));
    data.setUrls(urls);
    const QPointF at = child<QWidget>(u"Frame1(2)"_s)->geometry().center();
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(m_form.get(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent dropEvent(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(m_form.get(), &dropEvent);

    QCOMPARE(child<QTabBar>(u"TabStrip1"_s)->currentIndex(), 0);
    QStringList lines;
    for (int i = 0; i < m_form->entryList().lineCount(); ++i)
        lines << m_form->entryList().table().at(i).originalName.text();
    QTEST(lines, "lines");
    QTEST(m_dialogs->messages, "messages");
}

// Paths given on the command line ("Open with") that the program does not take are passed over
// and named; the rows already listed stay.
void TestForm1::givenFilesOfOtherTypesKeepTheRows() {
    addEntries({u"a.mp3"_s, u"b.mp3"_s});
    for (const char *name : {"c.flac", "cover.jpg", "d.mp3"})
        QVERIFY(TestFiles::write(m_work->filePath(QString::fromLatin1(name)), "x"));
    m_form->addPaths({m_work->filePath(u"c.flac"_s), m_work->filePath(u"cover.jpg"_s),
                      m_work->filePath(u"d.mp3"_s)});
    QCOMPARE(m_form->entryList().lineCount(), 3);
    QCOMPARE(m_dialogs->messages,
             QStringList{u"有 2 个文件不是本程序能改名的音乐文件，已跳过：\nc.flac\ncover.jpg"_s});
}

// While another Tunemark writes the undo record (it holds rename.lock), a run asks first and,
// on Yes, renames without touching the record; undo waits for it.
void TestForm1::anotherInstanceHoldsTheRecord() {
    addEntries({u"a.mp3"_s});
    QTest::mouseClick(child<QPushButton>(u"Command1(4)"_s), Qt::LeftButton);
    const QString journal = m_programDir->filePath(u"rename.undo"_s);
    const QByteArray record = TestFiles::read(journal);
    QVERIFY(!record.isEmpty());
    m_dialogs->messages.clear();

    QLockFile other(m_programDir->filePath(u"rename.lock"_s));
    QVERIFY(other.tryLock(0));
    addEntries({u"b.mp3"_s});
    m_dialogs->yesNoAnswers.enqueue(true);
    QTest::mouseClick(child<QPushButton>(u"Command1(4)"_s), Qt::LeftButton);
    QCOMPARE(m_dialogs->messages.value(0),
             u"另一个 Tunemark 正在改名，这次改名将不能撤销。仍然改名吗？"_s);
    QVERIFY(QFile::exists(m_work->filePath(u"new-b.mp3"_s)));
    QCOMPARE(TestFiles::read(journal), record);

    m_dialogs->messages.clear();
    child<QAction>(u"UndoRename"_s)->trigger();
    QCOMPARE(m_dialogs->messages, QStringList{u"另一个 Tunemark 正在改名，请稍后再撤销"_s});
    QVERIFY(QFile::exists(m_work->filePath(u"new-a.mp3"_s)));
}

// SIGTERM (a logout, `kill`) closes the program as its window's close button does: the
// settings are saved. The program runs from a folder of its own, which it keeps them in.
void TestForm1::systemCloseRequestSaves() {
#ifndef Q_OS_LINUX
    SKIP_TEST("signals are the Linux way of asking");
#else
    QTemporaryDir folder;
    const QString program = folder.filePath(u"tunemark"_s);
    QVERIFY(QFile::copy(QString::fromUtf8(TUNEMARK_PROGRAM), program));
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    process.setProcessEnvironment(environment);
    process.start(program, {});
    QVERIFY(process.waitForStarted());
    // Asked only once the program catches the signal: its handler is in /proc's mask then.
    const auto catchesTerm = [&]() -> bool {
        QFile status(u"/proc/%1/status"_s.arg(process.processId()));
        if (!status.open(QIODevice::ReadOnly))
            return false;
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("SigCgt:"))
                return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (SIGTERM - 1)) & 1;
        }
        return false;
    };
    QTRY_VERIFY_WITH_TIMEOUT(catchesTerm(), 30000);
    QCOMPARE(::kill(pid_t(process.processId()), SIGTERM), 0);
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QVERIFY(TestFiles::read(folder.filePath(u"rename.ini"_s)).contains("safenames=1\r\n"));
#endif
}

// Neither the program's folder nor a configuration folder (no HOME) can keep the settings: the
// first save says so, with the folders tried, and no path is built from nothing.
void TestForm1::nowhereToKeepSettingsIsSaidOnce() {
    m_form.reset();
    const DataFolders nowhere =
        chooseDataFolders(m_programDir->path(), m_programDir->path(), true, QString());
    QVERIFY(!nowhere.hasDataDirectory());
    m_form = std::make_unique<Form1>(*m_dialogs, nowhere);
    QCOMPARE(child<QLabel>(u"Picture1"_s)->toolTip(), u"没有可写的文件夹保存设置和记录"_s);
    clickTab(2);
    for (int twice = 0; twice < 2; ++twice)
        QTest::mouseClick(child<QPushButton>(u"Command1(3)"_s), Qt::LeftButton);
    m_form->close();
    QCOMPARE(m_dialogs->messages,
             QStringList{u"无法保存设置：rename.ini（没有可写的文件夹，试过：%1）"_s.arg(
                 QDir::toNativeSeparators(m_programDir->path() + u'/'))});
    QCOMPARE(TestFiles::read(m_programDir->filePath(u"rename.ini"_s)), kFourKeys);
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
