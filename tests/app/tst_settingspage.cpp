#include "WindowTest.h"

#include "support/AudioFiles.h"

class TestSettingsPage : public WindowTest {
    Q_OBJECT
private slots:
    void settingsNeverWrittenIntoListedFile();
    void saveWithEmptyList();
    void saveAfterTemplateChange();
    void checkBoxTogglesAnywhereInIt();
    void tagEncodingReadsTagsAgain();
    void otherFormatsAndSafeNames();
    void failedSaveSaysSo();
};

// A save that cannot write rename.ini (here a folder of that name) says so, with why.
void TestSettingsPage::failedSaveSaysSo() {
    const QString ini = m_programDir->filePath(u"rename.ini"_s);
    QVERIFY(QFile::remove(ini) && QDir().mkdir(ini));
    clickTab(2);
    QTest::mouseClick(child<QPushButton>(u"Command1(3)"_s), Qt::LeftButton);
    QCOMPARE(m_dialogs->messages,
             QStringList{u"无法保存设置：%1（无法读取：不是普通文件，或太大）"_s.arg(
                 TestFiles::native(ini))});
    QVERIFY(QFileInfo(ini).isDir());
}

// With "读取其他音乐格式" a FLAC file is taken from the folder and the dialog offers the other
// formats; with the safe-names option Save forms the names again with full-width characters.
// Both are kept in rename.ini after the four keys.
void TestSettingsPage::otherFormatsAndSafeNames() {
    QVERIFY(TestFiles::write(m_work->filePath(u"a.flac"_s),
                             AudioFiles::flac({{"TITLE", "What?"}, {"ARTIST", "Ann"}})));
    QVERIFY(TestFiles::write(m_work->filePath(u"b.mp3"_s), TagBytes::mp3File("Re:", "Bo")));
    clickTab(2);
    QTest::mouseClick(child<QCheckBox>(u"Check1(3)"_s), Qt::LeftButton);
    m_dialogs->folderAnswers.enqueue(m_work->path());
    child<QAction>(u"AddDirectory"_s)->trigger();
    const EntryTable &table = m_form->entryList().table();
    QStringList names;
    for (int i = 0; i < table.size(); ++i)
        names << table.at(i).newName;
    names.sort();
    QCOMPARE(names, (QStringList{u"Re:-Bo.mp3"_s, u"What?-Ann.flac"_s}));

    m_dialogs->fileAnswers.enqueue({});
    child<QAction>(u"AddFile"_s)->trigger();
    QVERIFY(m_dialogs->fileRequests.last().filter.contains(u"其他音乐格式 (*.flac;*.ogg;"_s));

    QTest::mouseClick(child<QCheckBox>(u"Check1(4)"_s), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(u"Command1(3)"_s), Qt::LeftButton);
    names.clear();
    for (int i = 0; i < table.size(); ++i)
        names << table.at(i).newName;
    names.sort();
    QCOMPARE(names, (QStringList{u"Re：-Bo.mp3"_s, u"What？-Ann.flac"_s}));
    QVERIFY(TestFiles::read(m_programDir->filePath(u"rename.ini"_s))
                .endsWith("format=%1-%2\r\nallformats=1\r\nsafenames=1\r\n"));
}

// rename.ini that is a listed audio file under another name (a link to it):
// saving writes nothing into it, and says so.
void TestSettingsPage::settingsNeverWrittenIntoListedFile() {
#ifdef Q_OS_WIN
    SKIP_TEST("needs symbolic links");
#else
    addEntries({u"alarm.rm"_s});
    const QString song = m_work->filePath(u"alarm.rm"_s);
    const QString ini = m_programDir->filePath(u"rename.ini"_s);
    QVERIFY(QFile::remove(ini) && QFile::link(song, ini));
    clickTab(2);
    QTest::mouseClick(child<QPushButton>(u"Command1(3)"_s), Qt::LeftButton);
    QCOMPARE(m_dialogs->messages, QStringList{u"没有写入设置："_s + m_programDir->path() +
                                              u"/rename.ini 是列表中的文件"_s});
    QCOMPARE(TestFiles::read(song), QByteArray("alarm.rm"));
    QVERIFY(QFileInfo(ini).isSymLink());
#endif
}

void TestSettingsPage::saveWithEmptyList() {
    clickTab(2);
    QTest::mouseClick(child<QPushButton>(u"Command1(3)"_s), Qt::LeftButton);
    QCOMPARE(m_form->entryList().lineCount(), 0);
    QCOMPARE(child<QLabel>(u"Coun"_s)->text(), u"0/0"_s);
    QCOMPARE(TestFiles::read(m_programDir->filePath(u"rename.ini"_s)),
             QByteArray("[setup]\r\nm3u=0\r\nm3upath=\r\nhistory=0\r\nformat=%1-%2\r\n"));
}

void TestSettingsPage::saveAfterTemplateChange() {
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

void TestSettingsPage::checkBoxTogglesAnywhereInIt() {
    clickTab(2);
    auto *box = child<QCheckBox>(u"Check1(1)"_s);
    const QPoint farRight(box->width() - 3, box->height() / 2);
    clickThroughWindow(box, farRight);
    QCOMPARE(box->checkState(), Qt::Checked);
    clickThroughWindow(box, farRight);
    QCOMPARE(box->checkState(), Qt::Unchecked);
}

// Choosing an encoding reads the listed files again in it, with the template as it stands; the
// choice is kept in rename.ini while it is not the default.
void TestSettingsPage::tagEncodingReadsTagsAgain() {
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

QTEST_MAIN(TestSettingsPage)
#include "tst_settingspage.moc"
