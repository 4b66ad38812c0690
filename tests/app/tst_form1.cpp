#include "app/CommandLine.h"
#include "app/FileBoxes.h"
#include "app/Form1.h"
#include "platform/Folders.h"
#include "support/FakeDialogs.h"
#include "support/FileTree.h"
#include "support/TagBytes.h"
#include "support/TestFiles.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <memory>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace Qt::Literals::StringLiterals;

#ifndef TUNEMARK_PROGRAM
#define TUNEMARK_PROGRAM "tunemark" // compiled outside the build, as the Windows check does
#endif

namespace {

// Notes, with each message, whether a progress dialog was still on screen.
class WatchingDialogs : public FakeDialogs {
public:
    int messagesOverProgress = 0;
    void showMessage(const QString &text) override {
        for (const QWidget *w : QApplication::topLevelWidgets()) {
            if (qobject_cast<const QProgressDialog *>(w) && w->isVisible())
                ++messagesOverProgress;
        }
        FakeDialogs::showMessage(text);
    }
};

} // namespace

class TestForm1 : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void startUpState();
    void closingSavesSettings();
    void controlsCarryTheirNames();
    void layout_data();
    void layout();
    void tabSwitching_data();
    void tabSwitching();
    void sameTabTwiceKeepsPage();
    void renameOnSettingsOrAboutDoesNothing_data();
    void renameOnSettingsOrAboutDoesNothing();
    void renameOnAllFilesAsksFirst();
    void allFilesPageIsSafe_data();
    void allFilesPageIsSafe();
    void allFilesPageStartsInMusicFolder();
    void allFilesPageTakesNamesThatAreNotUtf8();
    void settingsNeverWrittenIntoListedFile();
    void saveWithEmptyList();
    void saveAfterTemplateChange();
    void filterListFromSettings();
    void comboClickAppliesFilter();
    void comboTypingNeedsEnter();
    void comboTakesKeysAsTyped();
    void sameDriveKeepsDirectory();
    void checkBoxTogglesAnywhereInIt();
    void addMenuDismissedAddsNothing();
    void unreadableDirectoryKeepsPlace();
    void commandTwoAppliesLanguageFile();
    void endToEnd();
    void progressHoldsWindowStill_data();
    void progressHoldsWindowStill();
    void sampleFilesRenameAsDocumented_data();
    void sampleFilesRenameAsDocumented();
    void keepsItsFilesInTheFolderInUse();
    void id3v2OptionReadsTagsAgain();
    void undoLastRename();
    void drop_data();
    void drop();
    void commandLine_data();
    void commandLine();
    void tagEncodingReadsTagsAgain();

private:
    template <typename T> T *child(const QString &name) {
        auto *w = m_form->findChild<T *>(name);
        if (!w)
            qFatal("missing control %s", qPrintable(name));
        return w;
    }
    void clickTab(int index);
    // A click delivered through the window system, as a user's would be.
    void clickThroughWindow(QWidget *widget, QPoint at = {});
    QProgressDialog *shownProgress() const;
    void addEntries(const QStringList &names);

    std::unique_ptr<QTemporaryDir> m_programDir;
    std::unique_ptr<QTemporaryDir> m_work;
    std::unique_ptr<WatchingDialogs> m_dialogs;
    std::unique_ptr<Form1> m_form;
};

void TestForm1::init() {
    m_programDir = std::make_unique<QTemporaryDir>();
    m_work = std::make_unique<QTemporaryDir>();
    m_dialogs = std::make_unique<WatchingDialogs>();
    // Page 2 starts in the home folder (there is no music folder in it), never in the working
    // directory; on Windows in the working directory, the drive's current one.
    qputenv("HOME", QFile::encodeName(m_work->path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_work->filePath(u".config"_s)));
#ifdef Q_OS_WIN
    QDir::setCurrent(m_work->path());
#else
    QDir::setCurrent(m_programDir->path());
#endif
    m_form = std::make_unique<Form1>(*m_dialogs, DataFolders::portable(m_programDir->path()));
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

void TestForm1::cleanup() {
    m_form.reset();
    QDir::setCurrent(QDir::tempPath());
    m_work.reset();
    m_programDir.reset();
    m_dialogs.reset();
}

void TestForm1::clickTab(int index) {
    auto *tabs = child<QTabBar>(u"TabStrip1"_s);
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(index).center());
}

void TestForm1::clickThroughWindow(QWidget *widget, QPoint at) {
    if (at.isNull())
        at = widget->rect().center();
    QTest::mouseClick(m_form->windowHandle(), Qt::LeftButton, {}, widget->mapTo(m_form.get(), at));
}

QProgressDialog *TestForm1::shownProgress() const {
    auto *progress = m_form->findChild<QProgressDialog *>();
    return progress && progress->isVisible() ? progress : nullptr;
}

void TestForm1::addEntries(const QStringList &names) {
    EntryTable &table = m_form->entryList().table();
    for (const QString &n : names) {
        QVERIFY(TestFiles::write(m_work->filePath(n), n.toUtf8()));
        table.append({m_work->path() + u'/', n, u"new-"_s + n, u"T"_s + n, u"S"_s});
    }
    m_form->entryList().RefreshEntryList();
}

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

void TestForm1::closingSavesSettings() {
    const QString ini = m_programDir->filePath(u"rename.ini"_s);
    QVERIFY(!QFile::exists(ini));
    child<QLineEdit>(u"Text3"_s)->setText(u"%2-%1"_s);
    m_form->close();
    QVERIFY(TestFiles::read(ini).contains("format=%2-%1\r\n"));
}

void TestForm1::controlsCarryTheirNames() {
    const QStringList names = {
        u"TabStrip1"_s,   u"Frame1(0)"_s,   u"Frame1(1)"_s,   u"Frame1(2)"_s,   u"Frame1(3)"_s,
        u"Command1(0)"_s, u"Command1(1)"_s, u"Command1(2)"_s, u"Command1(3)"_s, u"Command1(4)"_s,
        u"Command2"_s,    u"ListView1"_s,   u"Coun"_s,        u"Drive1"_s,      u"Dir1"_s,
        u"File1"_s,       u"Combo1"_s,      u"Label1(0)"_s,   u"Label1(1)"_s,   u"Label1(2)"_s,
        u"Label1(3)"_s,   u"Label1(4)"_s,   u"Label2(0)"_s,   u"Label2(1)"_s,   u"Text1(0)"_s,
        u"Text1(1)"_s,    u"Text1(2)"_s,    u"Text3"_s,       u"Check1(0)"_s,   u"Check1(1)"_s,
        u"Picture1"_s,    u"OpenMenu"_s};
    for (const QString &n : names)
        QVERIFY2(m_form->findChild<QObject *>(n), qPrintable(n));
    QCOMPARE(child<QPushButton>(u"Command1(4)"_s)->text(), u"改名"_s);
    QVERIFY(!child<QAction>(u"Openlist"_s)->isVisible());
    QVERIFY(child<QPushButton>(u"Command2"_s)->isVisible());
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
        {u"Picture1"_s, {72, 16, 313, 209}},
    };
    for (const auto &[name, geometry] : places)
        QTest::newRow(qPrintable(name)) << name << geometry;
}

void TestForm1::layout() {
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QCOMPARE(child<QWidget>(name)->geometry(), geometry);
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
    QVERIFY(child<QPushButton>(u"Command2"_s)->isVisible());
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

void TestForm1::renameOnAllFilesAsksFirst() {
    QVERIFY(TestFiles::write(m_work->filePath(u"x.txt"_s), "x"));
    QVERIFY(TestFiles::write(m_work->filePath(u"y.doc"_s), "y"));
    child<FileListBox>(u"File1"_s)->refresh();
    clickTab(1);

    m_dialogs->yesNoAnswers.enqueue(false);
    QTest::mouseClick(child<QPushButton>(u"Command1(4)"_s), Qt::LeftButton);
    QCOMPARE(m_dialogs->messages,
             QStringList{u"把所有文件改名吗？\n"_s + QDir::toNativeSeparators(m_work->path()) +
                         u"（共 2 个文件）"_s});
    QVERIFY(QFile::exists(m_work->filePath(u"x.txt"_s)));

    m_dialogs->yesNoAnswers.enqueue(true);
    QTest::mouseClick(child<QPushButton>(u"Command1(4)"_s), Qt::LeftButton);
    QCOMPARE(QDir(m_work->path()).entryList(QDir::Files, QDir::Name),
             QStringList({u"Rename0.txt"_s, u"Rename1.doc"_s}));
    QCOMPARE(child<FileListBox>(u"File1"_s)->fileNames(),
             QStringList({u"Rename0.txt"_s, u"Rename1.doc"_s}));
}

// Cases a hostile user tried on page 2: the page never renames hidden files, a
// current name with a control character is no obstacle, and a run with failures says how many
// files were renamed. Every file's bytes are there exactly once afterwards.
void TestForm1::allFilesPageIsSafe_data() {
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<int>("listed"); // in the question
    QTest::addColumn<QStringList>("namesAfter");
    QTest::addColumn<QString>("message"); // after the question; empty: none
    QTest::newRow("hidden files stay")
        << QStringList{u".bashrc"_s, u".rename.ini"_s, u"a.txt"_s, u"b.mp3"_s} << 2
        << QStringList{u".bashrc"_s, u".rename.ini"_s, u"Rename0.txt"_s, u"Rename1.mp3"_s}
        << QString();
    QTest::newRow("control character in the old name")
        << QStringList{u"a\x01.txt"_s} << 1 << QStringList{u"Rename0.txt"_s} << QString();
    QTest::newRow("one failure")
        << QStringList{u"a.txt"_s, u"f.\n"_s} << 2 << QStringList{u"Rename0.txt"_s, u"f.\n"_s}
        << u"已改名 1 个文件，有 1 个文件未能改名：\nf.? → Rename1.?：文件名含有控制字符"_s;
    QTest::newRow("nothing renamed") // the message used to begin "自动改名完成"
        << QStringList{u"f.\n"_s} << 1 << QStringList{u"f.\n"_s}
        << u"已改名 0 个文件，有 1 个文件未能改名：\nf.? → Rename0.?：文件名含有控制字符"_s;
}

void TestForm1::allFilesPageIsSafe() {
#ifdef Q_OS_WIN
    QSKIP("names with control characters and hidden files by name are for other systems");
#else
    QFETCH(QStringList, files);
    QFETCH(int, listed);
    QFETCH(QStringList, namesAfter);
    QFETCH(QString, message);
    for (const QString &name : files)
        QVERIFY(TestFiles::write(m_work->filePath(name), name.toUtf8()));
    child<FileListBox>(u"File1"_s)->refresh();
    QCOMPARE(child<FileListBox>(u"File1"_s)->fileNames().size(), listed);
    clickTab(1);
    m_dialogs->yesNoAnswers.enqueue(true);
    QTest::mouseClick(child<QPushButton>(u"Command1(4)"_s), Qt::LeftButton);

    QStringList expected{
        u"把所有文件改名吗？\n%1（共 %2 个文件）"_s.arg(m_work->path()).arg(listed)};
    if (!message.isEmpty())
        expected << message;
    QCOMPARE(m_dialogs->messages, expected);
    QCOMPARE(QDir(m_work->path()).entryList(QDir::Files | QDir::Hidden, QDir::Name), namesAfter);
    QByteArrayList contents;
    for (const QString &name : namesAfter)
        contents << TestFiles::read(m_work->filePath(name));
    QByteArrayList original;
    for (const QString &name : files)
        original << name.toUtf8();
    std::sort(contents.begin(), contents.end());
    std::sort(original.begin(), original.end());
    QCOMPARE(contents, original);
#endif
}

void TestForm1::allFilesPageStartsInMusicFolder() {
    const QString music = m_work->filePath(u"Music"_s);
    QVERIFY(QDir().mkpath(music));
    m_form = std::make_unique<Form1>(*m_dialogs, DataFolders::portable(m_programDir->path()));
#ifdef Q_OS_WIN
    QCOMPARE(child<DirListBox>(u"Dir1"_s)->path(), QDir::toNativeSeparators(QDir::currentPath()));
#else
    QCOMPARE(child<DirListBox>(u"Dir1"_s)->path(), music);
#endif
}

// GBK names from archives made on Windows: the directory box enters such a
// folder, the file box lists its files decoded from GBK, and page 2 renames them.
void TestForm1::allFilesPageTakesNamesThatAreNotUtf8() {
#ifdef Q_OS_WIN
    QSKIP("Windows names are UTF-16");
#else
    // 歌 B8E8 (a folder), 你 C4E3 and 好 BAC3 (files).
    const QByteArray folder = QFile::encodeName(m_work->path()) + "/\xB8\xE8";
    QCOMPARE(mkdir(folder.constData(), 0700), 0);
    for (const QByteArray &name : {QByteArray("\xC4\xE3.txt"), QByteArray("\xBA\xC3.mp3")}) {
        const int fd = open((folder + '/' + name).constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        QVERIFY(fd >= 0);
        QCOMPARE(write(fd, name.constData(), size_t(name.size())), ssize_t(name.size()));
        close(fd);
    }
    auto *dirs = child<DirListBox>(u"Dir1"_s);
    dirs->setPath(m_work->path());
    const QList<QListWidgetItem *> found = dirs->findItems(u"歌"_s, Qt::MatchContains);
    QCOMPARE(found.size(), 1);
    emit dirs->itemActivated(found.first());
    QCOMPARE(dirs->path(), m_work->path() + u"/歌"_s);
    auto *files = child<FileListBox>(u"File1"_s);
    QCOMPARE(files->fileNames(), QStringList({u"好.mp3"_s, u"你.txt"_s})); // hǎo before nǐ

    clickTab(1);
    m_dialogs->yesNoAnswers.enqueue(true);
    QTest::mouseClick(child<QPushButton>(u"Command1(4)"_s), Qt::LeftButton);
    QCOMPARE(m_dialogs->messages.value(1), QString());
    QCOMPARE(m_dialogs->messages.size(), 1); // the question; no failure
    QCOMPARE(files->fileNames(), QStringList({u"Rename0.mp3"_s, u"Rename1.txt"_s}));
    QFile renamed;
    const int fd = open((folder + "/Rename1.txt").constData(), O_RDONLY);
    QVERIFY(fd >= 0 && renamed.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle));
    QCOMPARE(renamed.readAll(), QByteArray("\xC4\xE3.txt"));
    renamed.close();
    // A name QTemporaryDir can remove.
    QCOMPARE(
        ::rename(folder.constData(), QFile::encodeName(m_work->filePath(u"gbk"_s)).constData()), 0);
#endif
}

// rename.ini that is a listed audio file under another name (a link to it):
// saving writes nothing into it, and says so.
void TestForm1::settingsNeverWrittenIntoListedFile() {
#ifdef Q_OS_WIN
    SKIP_TEST("needs symbolic links");
#else
    addEntries({u"alarm.rm"_s});
    const QString song = m_work->filePath(u"alarm.rm"_s);
    const QString ini = m_programDir->filePath(u"rename.ini"_s);
    QVERIFY(QFile::link(song, ini));
    clickTab(2);
    QTest::mouseClick(child<QPushButton>(u"Command1(3)"_s), Qt::LeftButton);
    QCOMPARE(m_dialogs->messages, QStringList{u"没有写入设置："_s + m_programDir->path() +
                                              u"/rename.ini 是列表中的文件"_s});
    QCOMPARE(TestFiles::read(song), QByteArray("alarm.rm"));
    QVERIFY(QFileInfo(ini).isSymLink());
#endif
}

void TestForm1::saveWithEmptyList() {
    clickTab(2);
    QTest::mouseClick(child<QPushButton>(u"Command1(3)"_s), Qt::LeftButton);
    QCOMPARE(m_form->entryList().lineCount(), 0);
    QCOMPARE(child<QLabel>(u"Coun"_s)->text(), u"0/0"_s);
    QCOMPARE(TestFiles::read(m_programDir->filePath(u"rename.ini"_s)),
             QByteArray("[setup]\r\nm3u=0\r\nm3upath=\r\nhistory=0\r\nformat=%1-%2\r\n"));
}

void TestForm1::saveAfterTemplateChange() {
    addEntries({u"a.mp3"_s, u"b.rm"_s});
    clickTab(2);
    child<QLineEdit>(u"Text3"_s)->setText(u"%2_%1"_s);
    QTest::mouseClick(child<QPushButton>(u"Command1(3)"_s), Qt::LeftButton);
    const EntryTable &table = m_form->entryList().table();
    QCOMPARE(table.at(0).newName, u"S_Ta.mp3.mp3"_s);
    QCOMPARE(table.at(1).newName, u"S_Tb.rm.rm"_s);
    QCOMPARE(child<QLabel>(u"Coun"_s)->text(), u"1/ 2"_s);
    QVERIFY(TestFiles::read(m_programDir->filePath(u"rename.ini"_s)).contains("format=%2_%1\r\n"));
}

void TestForm1::filterListFromSettings() {
    m_form.reset();
    QVERIFY(TestFiles::write(m_programDir->filePath(u"rename.ini"_s),
                             "[setup]\r\nm3u=1\r\nformat=%2\r\n[filter]\r\nmp3\r\nrm\r\ntxt\r\n"));
    m_form = std::make_unique<Form1>(*m_dialogs, DataFolders::portable(m_programDir->path()));
    auto *combo = child<QComboBox>(u"Combo1"_s);
    QCOMPARE(combo->currentText(), u"mp3"_s);
    QCOMPARE(combo->count(), 2);
    QCOMPARE(combo->itemText(0), u"rm"_s);
    QCOMPARE(combo->itemText(1), u"txt"_s);
    QCOMPARE(child<QLineEdit>(u"Text3"_s)->text(), u"%2"_s);
    QCOMPARE(child<QCheckBox>(u"Check1(0)"_s)->checkState(), Qt::Checked);
    // The shown filter is not applied by itself.
    QCOMPARE(child<FileListBox>(u"File1"_s)->pattern(), u"*.*"_s);
    QCOMPARE(child<QLineEdit>(u"Text1(2)"_s)->text(), QString());
}

void TestForm1::comboClickAppliesFilter() {
    QVERIFY(TestFiles::write(m_work->filePath(u"A.MP3"_s), "a"));
    QVERIFY(TestFiles::write(m_work->filePath(u"b.txt"_s), "b"));
    QVERIFY(TestFiles::write(m_work->filePath(u"c.mp3"_s), "c"));
    auto *files = child<FileListBox>(u"File1"_s);
    files->refresh();
    QCOMPARE(files->fileNames(), QStringList({u"A.MP3"_s, u"b.txt"_s, u"c.mp3"_s}));
    QCOMPARE(child<QLineEdit>(u"Text1(2)"_s)->text(), QString());

    auto *combo = child<QComboBox>(u"Combo1"_s);
    combo->addItem(u"mp3"_s);
    clickTab(1);
    combo->setCurrentIndex(combo->findText(u"mp3"_s));
    emit combo->activated(combo->currentIndex());
    QCOMPARE(files->property("pattern").toString(), u"*.mp3"_s);
    QCOMPARE(files->fileNames(), QStringList({u"A.MP3"_s, u"c.mp3"_s}));
    QCOMPARE(child<QLineEdit>(u"Text1(2)"_s)->text(), u"mp3"_s);
}

void TestForm1::comboTypingNeedsEnter() {
    QVERIFY(TestFiles::write(m_work->filePath(u"a.mp3"_s), "a"));
    QVERIFY(TestFiles::write(m_work->filePath(u"b.txt"_s), "b"));
    auto *files = child<FileListBox>(u"File1"_s);
    files->refresh();
    clickTab(1);
    auto *combo = child<QComboBox>(u"Combo1"_s);
    combo->setFocus();
    combo->lineEdit()->selectAll();
    QTest::keyClicks(combo, u"txt"_s);
    QCOMPARE(combo->currentText(), u"txt"_s);
    QCOMPARE(files->fileNames().size(), 2);
    QCOMPARE(child<QLineEdit>(u"Text1(2)"_s)->text(), QString());
    QTest::keyClick(combo, Qt::Key_Return);
    QCOMPARE(files->fileNames(), QStringList{u"b.txt"_s});
    QCOMPARE(child<QLineEdit>(u"Text1(2)"_s)->text(), u"txt"_s);
}

// Enter applies what was typed, never a completion; nothing typed lists the names without an
// extension.
void TestForm1::comboTakesKeysAsTyped() {
    for (const char *name : {"b.r", "b.rm", "Readme"})
        QVERIFY(TestFiles::write(m_work->filePath(QString::fromUtf8(name)), "x"));
    auto *combo = child<QComboBox>(u"Combo1"_s);
    combo->addItem(u"rm"_s);
    clickTab(1);
    combo->setFocus();
    combo->lineEdit()->clear();
    QTest::keyClicks(combo, u"r"_s);
    QTest::keyClick(combo, Qt::Key_Return);
    QCOMPARE(child<FileListBox>(u"File1"_s)->fileNames(), QStringList{u"b.r"_s});
    combo->lineEdit()->clear();
    QTest::keyClick(combo, Qt::Key_Return);
    QCOMPARE(child<FileListBox>(u"File1"_s)->fileNames(), QStringList{u"Readme"_s});
}

// Opening the drive box offers the drives there are now, the one shown chosen; choosing it
// changes nothing: the directory box stays in its folder.
void TestForm1::sameDriveKeepsDirectory() {
    auto *dir = child<DirListBox>(u"Dir1"_s);
    QVERIFY(QDir(m_work->path()).mkpath(u"sub/deeper"_s));
    QVERIFY(dir->setPath(m_work->filePath(u"sub/deeper"_s)));
    auto *drive = child<QComboBox>(u"Drive1"_s);
    drive->showPopup();
    QStringList offered;
    for (int i = 0; i < drive->count(); ++i)
        offered << drive->itemText(i);
    QStringList drives;
    for (const QFileInfo &root : QDir::drives())
        drives << Folders::driveOf(root.filePath()).toLower();
    QCOMPARE(offered, drives);
    QCOMPARE(drive->currentData().toString(), Folders::driveOf(m_work->path()));
    drive->hidePopup();
    emit drive->activated(drive->currentIndex());
    QCOMPARE(dir->path(), QDir::toNativeSeparators(m_work->filePath(u"sub/deeper"_s)));
}

void TestForm1::checkBoxTogglesAnywhereInIt() {
    clickTab(2);
    auto *box = child<QCheckBox>(u"Check1(1)"_s);
    const QPoint farRight(box->width() - 3, box->height() / 2);
    clickThroughWindow(box, farRight);
    QCOMPARE(box->checkState(), Qt::Checked);
    clickThroughWindow(box, farRight);
    QCOMPARE(box->checkState(), Qt::Unchecked);
}

void TestForm1::addMenuDismissedAddsNothing() {
    bool menuShown = false;
    QTimer::singleShot(50, this, [&] {
        QWidget *popup = QApplication::activePopupWidget();
        menuShown = popup && popup->objectName() == u"OpenMenu"_s;
        if (popup)
            popup->close();
    });
    QTest::mouseClick(child<QPushButton>(u"Command1(0)"_s), Qt::LeftButton);
    QVERIFY(menuShown);
    QCOMPARE(m_form->entryList().lineCount(), 0);
    QCOMPARE(child<QLabel>(u"Coun"_s)->text(), u"0/0"_s);
    QVERIFY(m_dialogs->folderTitles.isEmpty());
}

void TestForm1::unreadableDirectoryKeepsPlace() {
    auto *dir = child<DirListBox>(u"Dir1"_s);
    const QString before = dir->path();
    dir->setProperty("path", m_work->filePath(u"missing"_s));
    QCOMPARE(dir->path(), before);
    QCOMPARE(m_dialogs->messages.size(), 1);
    QVERIFY(m_dialogs->messages[0].contains(u"missing"_s));

    QVERIFY(QDir(m_work->path()).mkdir(u"sub"_s));
    QVERIFY(TestFiles::write(m_work->filePath(u"sub/in.txt"_s), "x"));
    dir->setProperty("path", m_work->filePath(u"sub"_s));
    QCOMPARE(child<FileListBox>(u"File1"_s)->fileNames(), QStringList{u"in.txt"_s});

    // Subfolders in the file box's order: pinyin, not code points (阿 a before 波 bo).
    for (const QString &name : {u"波"_s, u"阿"_s, u"B"_s})
        QVERIFY(QDir(m_work->filePath(u"sub"_s)).mkdir(name));
    dir->setProperty("path", m_work->filePath(u"sub"_s));
    QStringList shown;
    for (int i = dir->count() - 3; i < dir->count(); ++i)
        shown << dir->item(i)->text().trimmed();
    QCOMPARE(shown, (QStringList{u"B"_s, u"阿"_s, u"波"_s}));
}

void TestForm1::commandTwoAppliesLanguageFile() {
    QVERIFY(TestFiles::write(m_programDir->filePath(u"elanguage.dat"_s),
                             "[button]\r\nAdd\r\nDelete\r\nClear\r\n[tabstrip]\r\nAudio\r\n"));
    for (int twice = 0; twice < 2; ++twice)
        QTest::mouseClick(child<QPushButton>(u"Command2"_s), Qt::LeftButton);
    QCOMPARE(child<QPushButton>(u"Command1(0)"_s)->text(), u"Add"_s);
    QCOMPARE(child<QPushButton>(u"Command1(2)"_s)->text(), u"Clear"_s);
    QCOMPARE(child<QPushButton>(u"Command1(3)"_s)->text(), u"保存"_s);
    QCOMPARE(child<QTabBar>(u"TabStrip1"_s)->tabText(0), u"Audio"_s);
    QCOMPARE(child<QTabBar>(u"TabStrip1"_s)->tabText(1), u"所有文件"_s);
    QCOMPARE(child<QPushButton>(u"Command2"_s)->text(), u"Command2"_s);
}

void TestForm1::endToEnd() {
    if (!TestFiles::systemCodePageIsGbk())
        SKIP_TEST("the tag is GBK, read in the system's code page");
    QDir work(m_work->path());
    QVERIFY(work.mkpath(u"music/old"_s));
    QVERIFY(TestFiles::write(work.filePath(u"music/a.mp3"_s),
                             TagBytes::mp3File("\xC4\xE3\xBA\xC3", "Ann")));
    QVERIFY(TestFiles::write(work.filePath(u"music/old/b.rm"_s),
                             TagBytes::realMediaFile("Blue Night", "Alice")));
    QVERIFY(TestFiles::write(work.filePath(u"music/notes.txt"_s), "text"));

    const QString music = QDir::toNativeSeparators(work.filePath(u"music"_s));
    m_dialogs->folderAnswers.enqueue(music);
    child<QAction>(u"AddDirectory"_s)->trigger();
    QCOMPARE(m_dialogs->folderTitles, QStringList{u"Tunemark"_s});
    QCOMPARE(m_form->entryList().lineCount(), 2);
    QCOMPARE(child<QLabel>(u"Coun"_s)->text(), u"1/ 2"_s);

    // A grayed box counts as on.
    child<QCheckBox>(u"Check1(0)"_s)->setCheckState(Qt::PartiallyChecked);
    child<QCheckBox>(u"Check1(1)"_s)->setCheckState(Qt::Checked);
    QTest::mouseClick(child<QPushButton>(u"Command1(4)"_s), Qt::LeftButton);

    QCOMPARE(m_dialogs->messages, QStringList{u"自动改名完成"_s});
    QVERIFY(QFile::exists(work.filePath(u"music/你好-Ann.mp3"_s)));
    QVERIFY(QFile::exists(work.filePath(u"music/old/Blue Night-Alice.rm"_s)));
    QVERIFY(QFile::exists(work.filePath(u"music/notes.txt"_s)));
    QCOMPARE(m_form->entryList().lineCount(), 0);
    QCOMPARE(child<QLabel>(u"Coun"_s)->text(), u"0/0"_s);

    const QString dir = music + QDir::separator();
    const QString sub = dir + u"old"_s + QDir::separator();
    QCOMPARE(TestFiles::read(m_programDir->filePath(u"rename.log"_s)),
             FileTree::outputBytes(dir + u"a.mp3-->"_s + dir + u"你好-Ann.mp3\r\n"_s + sub +
                                   u"b.rm-->"_s + sub + u"Blue Night-Alice.rm\r\n"_s));
    QCOMPARE(TestFiles::read(m_programDir->filePath(u"rename.m3u"_s)),
             FileTree::outputBytes(u"#EXTM3U\r\n#EXTINF:,你好\r\n"_s + dir +
                                   u"你好-Ann.mp3\r\n#EXTINF:,Blue Night\r\n"_s + sub +
                                   u"Blue Night-Alice.rm\r\n"_s));
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
        QCOMPARE(m_dialogs->messages, QStringList{u"自动改名完成"_s});
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

void TestForm1::sampleFilesRenameAsDocumented_data() {
    QTest::addColumn<bool>("readId3v2");
    QTest::addColumn<QStringList>("names");
    const QStringList common{u"Blue Night-Alice.mp3"_s, u"untagged.mp3"_s, u"夜空中的歌-陈星.mp3"_s,
                             u"春天的小路-林小雨.mp3"_s, u"茉莉花-民歌合唱团.rm"_s};
    QTest::newRow("id3v1") << false
                           << common + QStringList{u"track05.mp3"_s, u"track06.mp3"_s,
                                                   u"一条通往远方山谷的弯弯曲曲的小-周远.mp3"_s};
    QTest::newRow("id3v2") << true
                           << common + QStringList{u"Morning Light-Ben.mp3"_s,
                                                   u"一条通往远方山谷的弯弯曲曲的小路-周远.mp3"_s,
                                                   u"月亮代表我的心-老歌手.mp3"_s};
}

void TestForm1::sampleFilesRenameAsDocumented() {
    if (!TestFiles::systemCodePageIsGbk())
        SKIP_TEST("the samples' tags are GBK, read in the system's code page");
    QFETCH(bool, readId3v2);
    QFETCH(QStringList, names);
    const QString examples = QFINDTESTDATA("../../examples");
    QVERIFY(!examples.isEmpty());
    QDir copy(m_work->filePath(u"examples"_s));
    QVERIFY(copy.mkpath(u"."_s));
    for (const QString &name : QDir(examples).entryList(QDir::Files))
        QVERIFY(QFile::copy(QDir(examples).filePath(name), copy.filePath(name)));

    m_dialogs->folderAnswers.enqueue(QDir::toNativeSeparators(copy.path()));
    child<QAction>(u"AddDirectory"_s)->trigger();
    if (readId3v2) {
        clickTab(2);
        QTest::mouseClick(child<QCheckBox>(u"Check1(2)"_s), Qt::LeftButton);
        clickTab(0);
    }
    QCOMPARE(m_form->entryList().lineCount(), 8);
    QTest::mouseClick(child<QPushButton>(u"Command1(4)"_s), Qt::LeftButton);
    QCOMPARE(m_dialogs->messages, QStringList{u"自动改名完成"_s});
    names.sort();
    QCOMPARE(copy.entryList(QDir::Files, QDir::Name), names);
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
    QCOMPARE(m_dialogs->messages, QStringList{u"自动改名完成"_s});
    m_form->close();

    QVERIFY(QDir(m_programDir->path()).isEmpty());
    QCOMPARE(QDir(config).entryList(QDir::Files),
             QStringList({u"rename.ini"_s, u"rename.log"_s, u"rename.m3u"_s, u"rename.undo"_s}));
    m_form = std::make_unique<Form1>(*m_dialogs, folders);
    QCOMPARE(child<QLineEdit>(u"Text3"_s)->text(), u"%2"_s);
}

// Turning the option on reads the listed files again and forms their names from the template
// as it stands; the option is saved with the settings.
void TestForm1::id3v2OptionReadsTagsAgain() {
    const QByteArray id3v2 =
        TagBytes::id3v2Tag(3, TagBytes::id3v2Frame(3, "TIT2", 0, "\xC4\xE3\xBA\xC3"));
    QVERIFY(
        TestFiles::write(m_work->filePath(u"a.mp3"_s), id3v2 + TagBytes::mp3File("Old", "Ann")));
    m_dialogs->fileAnswers.enqueue({m_work->filePath(u"a.mp3"_s)});
    child<QAction>(u"AddFile"_s)->trigger();
    const EntryTable &table = m_form->entryList().table();
    QCOMPARE(table.at(0).newName, u"Old-Ann.mp3"_s);

    clickTab(2);
    child<QLineEdit>(u"Text3"_s)->setText(u"%2 %1"_s);
    QTest::mouseClick(child<QCheckBox>(u"Check1(2)"_s), Qt::LeftButton);
    if (TestFiles::systemCodePageIsGbk()) // as it reads the frame's GBK
        QCOMPARE(table.at(0).newName, u"Ann 你好.mp3"_s);
    QTest::mouseClick(child<QCheckBox>(u"Check1(2)"_s), Qt::LeftButton);
    QCOMPARE(table.at(0).newName, u"Ann Old.mp3"_s);
    QTest::mouseClick(child<QCheckBox>(u"Check1(2)"_s), Qt::LeftButton);
    m_form->close();
    QVERIFY(TestFiles::read(m_programDir->filePath(u"rename.ini"_s)).endsWith("id3v2=1\r\n"));
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

void TestForm1::drop_data() {
    QTest::addColumn<QStringList>("dropped"); // below the work folder
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("messages");
    const QString refusal = u"知你是这种人，pk!!!"_s;
    QTest::newRow("folder") << QStringList{u"music"_s} << QStringList{u"a.mp3"_s, u"b.rm"_s}
                            << QStringList();
    QTest::newRow("files in drop order") << QStringList{u"music/sub/b.rm"_s, u"music/a.mp3"_s}
                                         << QStringList{u"b.rm"_s, u"a.mp3"_s} << QStringList();
    QTest::newRow("refused file") << QStringList{u"notes.txt"_s} << QStringList()
                                  << QStringList{refusal};
    // The refusal empties only a list that shows lines, as for files picked in the dialog.
    QTest::newRow("mix") << QStringList{u"music/a.mp3"_s, u"music/sub"_s, u"notes.txt"_s,
                                        u"c.mp3"_s}
                         << QStringList{u"a.mp3"_s, u"b.rm"_s, u"c.mp3"_s} << QStringList{refusal};
}

// Files and folders dropped on any page are added to page 1's list as the menu adds them.
void TestForm1::drop() {
    QFETCH(QStringList, dropped);
    QDir work(m_work->path());
    QVERIFY(work.mkpath(u"music/sub"_s));
    for (const char *name : {"music/a.mp3", "music/sub/b.rm", "notes.txt", "c.mp3"})
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

void TestForm1::commandLine_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("action");
    QTest::addColumn<QStringList>("paths");
    using Action = CommandLine::Action;
    QTest::newRow("none") << QStringList() << int(Action::Run) << QStringList();
    QTest::newRow("paths") << QStringList{u"a.mp3"_s, u"歌/"_s} << int(Action::Run)
                           << QStringList{u"a.mp3"_s, u"歌/"_s};
    QTest::newRow("help") << QStringList{u"a.mp3"_s, u"--help"_s} << int(Action::Help)
                          << QStringList();
    QTest::newRow("version") << QStringList{u"--version"_s} << int(Action::Version)
                             << QStringList();
    QTest::newRow("unknown") << QStringList{u"--fast"_s} << int(Action::Unknown) << QStringList();
    QTest::newRow("after --") << QStringList{u"--"_s, u"--help"_s, u"-"_s} << int(Action::Run)
                              << QStringList{u"--help"_s, u"-"_s};
}

void TestForm1::commandLine() {
    QFETCH(QStringList, arguments);
    const CommandLine line = parseCommandLine(arguments);
    QTEST(int(line.action), "action");
    QStringList paths;
    for (const FilePath &path : line.paths)
        paths << path.text();
    QTEST(paths, "paths");
    if (line.action == CommandLine::Action::Run)
        return;
#ifdef Q_OS_WIN
    SKIP_TEST("the program shows these in a message box, having no console");
#else
    // The program answers these before it opens a window.
    QProcess program;
    program.start(QString::fromUtf8(TUNEMARK_PROGRAM), arguments);
    QVERIFY(program.waitForFinished(30000));
    const bool unknown = line.action == CommandLine::Action::Unknown;
    QCOMPARE(program.exitCode(), unknown ? 2 : 0);
    const QString printed = QString::fromLocal8Bit(unknown ? program.readAllStandardError()
                                                           : program.readAllStandardOutput());
    // Qt may warn on the error stream before the usage.
    QVERIFY(printed.endsWith(line.action == CommandLine::Action::Version ? versionText()
                                                                         : usageText()));
#endif
}

// Choosing an encoding reads the listed files again in it, with the template as it stands; the
// choice is kept in rename.ini while it is not the default.
void TestForm1::tagEncodingReadsTagsAgain() {
    const QString path = m_work->filePath(u"a.mp3"_s);
    QVERIFY(TestFiles::write(path, TagBytes::mp3File("\xA9\x50\xAA\x4E\xAD\xDB", "Ann")));
    m_dialogs->fileAnswers.enqueue({path});
    child<QAction>(u"AddFile"_s)->trigger();
    const EntryTable &table = m_form->entryList().table();
    auto *combo = child<QComboBox>(u"Combo2"_s);
    QCOMPARE(combo->count(), 10);
    QCOMPARE(combo->currentText(), u"系统默认"_s);
    QVERIFY(!combo->isEditable());

    clickTab(2);
    child<QLineEdit>(u"Text3"_s)->setText(u"%2 %1"_s);
    const auto choose = [&](const QString &text) {
        combo->setCurrentIndex(combo->findText(text));
        emit combo->activated(combo->currentIndex());
    };
    choose(u"Big5"_s);
    QCOMPARE(table.at(0).newName, u"Ann 周杰倫.mp3"_s);
    m_form->close();
    const QString ini = m_programDir->filePath(u"rename.ini"_s);
    QVERIFY(TestFiles::read(ini).endsWith("format=%2 %1\r\ncodepage=Big5\r\n"));

    m_form = std::make_unique<Form1>(*m_dialogs, DataFolders::portable(m_programDir->path()));
    combo = child<QComboBox>(u"Combo2"_s);
    QCOMPARE(combo->currentText(), u"Big5"_s);
    choose(u"系统默认"_s);
    m_form->close();
    QVERIFY(!TestFiles::read(ini).contains("codepage"));
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
