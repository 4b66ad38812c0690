#include "WindowTest.h"

#include <QHelpEvent>
#include <QToolTip>

class TestAudioPage : public WindowTest {
    Q_OBJECT
private slots:
    void addMenuDismissedAddsNothing();
    void endToEnd();
    void sampleFilesRenameAsDocumented_data();
    void sampleFilesRenameAsDocumented();
    void id3v2OptionReadsTagsAgain();
    void keptNamesSayWhy();
    void cutCellShowsWholeText();
    void garbledLinesAreAskedAbout_data();
    void garbledLinesAreAskedAbout();
};

// A line that keeps its name says why; with the ID3v2 option off it points to the ID3v2 tag
// its file has.
void TestAudioPage::keptNamesSayWhy() {
    QVERIFY(TestFiles::write(m_work->filePath(u"plain.mp3"_s), QByteArray(300, 'x')));
    QVERIFY(TestFiles::write(m_work->filePath(u"v2.mp3"_s),
                             TagBytes::id3v2Tag(3, TagBytes::id3v2Frame(3, "TIT2", 0, "Song")) +
                                 QByteArray(300, 'x')));
    m_dialogs->folderAnswers.enqueue(m_work->path());
    child<QAction>(u"AddDirectory"_s)->trigger();
    QMap<QString, QString> tips;
    auto *model = m_form->entryList().model();
    for (int i = 0; i < model->rowCount(); ++i)
        tips.insert(model->index(i, 0).data().toString(),
                    model->index(i, 1).data(Qt::ToolTipRole).toString());
    QCOMPARE(tips.value(u"plain.mp3"_s), u"标签中没有可用的文字"_s);
    QCOMPARE(tips.value(u"v2.mp3"_s),
             u"标签中没有可用的文字\n这个文件有 ID3v2 标签：在“设置”页勾选“读取 ID3v2 标签”"_s);
}

void TestAudioPage::cutCellShowsWholeText() {
    const QString longName = u"很长很长的歌名-"_s.repeated(6) + u".mp3"_s;
    addEntries({u"a.mp3"_s});
    m_form->entryList().table()[0].newName = longName;
    m_form->entryList().RefreshEntryList();
    auto *list = child<QTreeView>(u"ListView1"_s);
    const QRect cell = list->visualRect(m_form->entryList().model()->index(0, 1));
    QHelpEvent help(QEvent::ToolTip, cell.center(), list->viewport()->mapToGlobal(cell.center()));
    QApplication::sendEvent(list->viewport(), &help);
    QTRY_COMPARE(QToolTip::text(), longName);
    QToolTip::hideText();
}

// Lines whose tag encoding may be wrong are asked about before the rename: all renamed, only
// the others, or nothing.
void TestAudioPage::garbledLinesAreAskedAbout_data() {
    QTest::addColumn<int>("choice");
    QTest::addColumn<QStringList>("namesAfter");
    QTest::addColumn<int>("linesAfter");
    QTest::newRow("all") << 0 << QStringList{u"Tc.mp3-S.mp3"_s, u"T\uFFFDb.mp3-S.mp3"_s} << 0;
    QTest::newRow("only the others") << 1 << QStringList{u"Tc.mp3-S.mp3"_s, u"b.mp3"_s} << 0;
    QTest::newRow("cancel") << 2 << QStringList{u"b.mp3"_s, u"c.mp3"_s} << 2;
}

void TestAudioPage::garbledLinesAreAskedAbout() {
    QFETCH(int, choice);
    EntryTable &table = m_form->entryList().table();
    for (const QString &name : {u"b.mp3"_s, u"c.mp3"_s}) {
        QVERIFY(TestFiles::write(m_work->filePath(name), name.toUtf8()));
        const QString title = name == u"b.mp3"_s ? u"T\uFFFD"_s + name : u"T"_s + name;
        table.append({m_work->path() + u'/', name, title + u"-S.mp3"_s, title, u"S"_s});
    }
    m_form->entryList().RefreshEntryList();
    m_dialogs->choiceAnswers.enqueue(choice);
    QTest::mouseClick(child<QPushButton>(u"Command1(4)"_s), Qt::LeftButton);
    QCOMPARE(m_dialogs->messages.value(0),
             u"有 1 行的标签编码可能不对。[全部改名|只改其他行|取消]"_s);
    QTEST(QDir(m_work->path()).entryList(QDir::Files, QDir::Name), "namesAfter");
    QTEST(m_form->entryList().lineCount(), "linesAfter");
}

void TestAudioPage::addMenuDismissedAddsNothing() {
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

void TestAudioPage::endToEnd() {
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

    QCOMPARE(
        m_dialogs->messages,
        QStringList{
            u"自动改名完成\n已改名 2 个文件，0 个文件名字未变\nrename.log 和 rename.m3u 在 "_s +
            QDir::toNativeSeparators(m_programDir->path())});
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

void TestAudioPage::sampleFilesRenameAsDocumented_data() {
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

void TestAudioPage::sampleFilesRenameAsDocumented() {
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
    // The files whose tag brings no text (untagged, and with ID3v1 alone the ID3v2-only ones)
    // keep their names, and the message counts them apart.
    QCOMPARE(m_dialogs->messages,
             QStringList{readId3v2 ? u"自动改名完成\n已改名 7 个文件，1 个文件名字未变"_s
                                   : u"自动改名完成\n已改名 5 个文件，3 个文件名字未变"_s});
    names.sort();
    QCOMPARE(copy.entryList(QDir::Files, QDir::Name), names);
}

// Turning the option on reads the listed files again and forms their names from the template
// as it stands; the option is saved with the settings.
void TestAudioPage::id3v2OptionReadsTagsAgain() {
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

QTEST_MAIN(TestAudioPage)
#include "tst_audiopage.moc"
