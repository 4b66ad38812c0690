#include "WindowTest.h"

class TestAllFilesPage : public WindowTest {
    Q_OBJECT
private slots:
    void renameOnAllFilesAsksFirst();
    void allFilesPageIsSafe_data();
    void allFilesPageIsSafe();
    void allFilesPageStartsInMusicFolder();
    void allFilesPageTakesNamesThatAreNotUtf8();
    void filterListFromSettings();
    void comboClickAppliesFilter();
    void comboTypingNeedsEnter();
    void comboTakesKeysAsTyped();
    void sameDriveKeepsDirectory();
    void unreadableDirectoryKeepsPlace();
    void programFoldersAreNeverNumbered_data();
    void programFoldersAreNeverNumbered();
};

// In the folder that holds the program (a portable copy: rename.ini, the program, its plugins)
// or in one of the folders it keeps plugins in, "改名" renames nothing and asks nothing.
void TestAllFilesPage::programFoldersAreNeverNumbered_data() {
    QTest::addColumn<QString>("folder"); // below the program folder
    QTest::newRow("the program's folder") << QString();
    QTest::newRow("its plugins") << u"platforms"_s;
}

void TestAllFilesPage::programFoldersAreNeverNumbered() {
    QFETCH(QString, folder);
    const QString dir = m_programDir->filePath(folder);
    QVERIFY(QDir().mkpath(dir));
    QVERIFY(TestFiles::write(dir + u"/tunemark"_s, "program"));
    const QStringList before = QDir(dir).entryList(QDir::Files, QDir::Name);
    child<DirListBox>(u"Dir1"_s)->setPath(QDir::toNativeSeparators(dir));
    clickTab(1);
    QTest::mouseClick(child<QPushButton>(u"Command1(4)"_s), Qt::LeftButton);
    QCOMPARE(m_dialogs->messages, QStringList{u"这是本程序所在的文件夹，不能在这里按顺序改名"_s});
    QCOMPARE(QDir(dir).entryList(QDir::Files, QDir::Name), before);
}

void TestAllFilesPage::renameOnAllFilesAsksFirst() {
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
void TestAllFilesPage::allFilesPageIsSafe_data() {
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

void TestAllFilesPage::allFilesPageIsSafe() {
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

void TestAllFilesPage::allFilesPageStartsInMusicFolder() {
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
void TestAllFilesPage::allFilesPageTakesNamesThatAreNotUtf8() {
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

void TestAllFilesPage::filterListFromSettings() {
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

void TestAllFilesPage::comboClickAppliesFilter() {
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

void TestAllFilesPage::comboTypingNeedsEnter() {
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
void TestAllFilesPage::comboTakesKeysAsTyped() {
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
void TestAllFilesPage::sameDriveKeepsDirectory() {
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

void TestAllFilesPage::unreadableDirectoryKeepsPlace() {
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

QTEST_MAIN(TestAllFilesPage)
#include "tst_allfilespage.moc"
