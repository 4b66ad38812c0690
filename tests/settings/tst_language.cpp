#include "settings/Language.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

bool writeLanguageFile(const QTemporaryDir &dir, const QByteArray &content) {
    return TestFiles::write(dir.filePath(u"elanguage.dat"_s), content);
}

} // namespace

class TestLanguage : public QObject {
    Q_OBJECT
private slots:
    void noFileGivesNoCaptions();
    void buttons_data();
    void buttons();
    void allSections();
    void folderInUseFirst();
};

void TestLanguage::noFileGivesNoCaptions() {
    QTemporaryDir dir;
    const CaptionSet captions = LoadLanguage(DataFolders::portable(dir.path()));
    QVERIFY(captions.buttons.isEmpty() && captions.frames.isEmpty() && captions.tabs.isEmpty() &&
            captions.columns.isEmpty());
}

void TestLanguage::buttons_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("captions");

    QTest::newRow("three lines") << "[button]\r\nAdd\r\nDelete\r\nClear\r\n"_ba
                                 << QStringList{u"Add"_s, u"Delete"_s, u"Clear"_s};
    QTest::newRow("lines taken whole")
        << "[Button]\n Add=OK \n;x\n\nDel = Yes\n"_ba << QStringList{u"Add=OK"_s, u"Del = Yes"_s};
    QTest::newRow("surplus ignored") << "[button]\n1\n2\n3\n4\n5\n6\n7\n"_ba
                                     << QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s};
    // Four lines of 11 bytes with separators and one of 5: 49 bytes, all used.
    QTest::newRow("49 bytes") << "[button]\n" + "abcdefghij\n"_ba.repeated(4) + "abcd\n"
                              << QStringList(4, u"abcdefghij"_s) + QStringList{u"abcd"_s};
    // One byte more: cut to 48, the fifth line crosses the mark and is dropped.
    QTest::newRow("50 bytes") << "[button]\n" + "abcdefghij\n"_ba.repeated(4) + "abcde\n"
                              << QStringList(4, u"abcdefghij"_s);
    QTest::newRow("separator on byte 48")
        << "[button]\nabcdefghijklmnopqrstuvwxyz\nabcdefghijklmnopqrst\nzz\n"_ba
        << QStringList{u"abcdefghijklmnopqrstuvwxyz"_s, u"abcdefghijklmnopqrst"_s};
    QTest::newRow("separator on byte 49")
        << "[button]\nabcdefghijklmnopqrstuvwxyz\nabcdefghijklmnopqrstu\nzz\n"_ba
        << QStringList{u"abcdefghijklmnopqrstuvwxyz"_s};
    QTest::newRow("empty section") << "[button]\n\n[frame]\n"_ba << QStringList();
    QTest::newRow("utf-8 with mark")
        << "\xEF\xBB\xBF[button]\r\n\xE6\xB7\xBB\xE5\x8A\xA0\r\n"_ba << QStringList{u"添加"_s};
#ifndef Q_OS_WIN // which reads a file without the mark in its code page
    QTest::newRow("utf-8") << "[button]\n\xE6\xB7\xBB\xE5\x8A\xA0\n"_ba << QStringList{u"添加"_s};
    // 16 three-byte characters and a separator take 49 bytes; one more and the line is cut on
    // a whole character, so nothing of it is used.
    QTest::newRow("utf-8 49 bytes") << "[button]\n" + "\xE6\xAD\x8C"_ba.repeated(16) + "\n"
                                    << QStringList{u"歌"_s.repeated(16)};
    QTest::newRow("utf-8 cut") << "[button]\n" + "\xE6\xAD\x8C"_ba.repeated(17) + "\n"
                               << QStringList();
#endif
    if (!TestFiles::systemCodePageIsGbk())
        return; // the row below reads GBK bytes as the system's
    // The cut falls between the two bytes of a character in the line that is dropped.
    QTest::newRow("gbk cut mid-character")
        << "[button]\n" + "\xB8\xE8"_ba.repeated(23) + "\n\xB8\xE8\xB8\xE8\n"
        << QStringList{u"歌"_s.repeated(23)};
}

void TestLanguage::buttons() {
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    QVERIFY(writeLanguageFile(dir, content));
    QTEST(LoadLanguage(DataFolders::portable(dir.path())).buttons, "captions");
}

void TestLanguage::allSections() {
    QTemporaryDir dir;
    QVERIFY(writeLanguageFile(dir, "[listviewheader]\r\nFile\r\nNew\r\nTitle\r\nSinger\r\n"
                                   "[tabstrip]\r\nAudio\r\n[button]\r\n\xB8\xC4\r\n"
                                   "[frame]\nA\nB\nC\nD\nE\n"_ba));
    const CaptionSet captions = LoadLanguage(DataFolders::portable(dir.path()));
    if (TestFiles::systemCodePageIsGbk()) // as it reads the GBK button
        QCOMPARE(captions.buttons, QStringList{u"改"_s});
    QCOMPARE(captions.frames, (QStringList{u"A"_s, u"B"_s, u"C"_s, u"D"_s}));
    QCOMPARE(captions.tabs, QStringList{u"Audio"_s});
    QCOMPARE(captions.columns, (QStringList{u"File"_s, u"New"_s, u"Title"_s, u"Singer"_s}));
}

// The file in the folder in use is taken alone; without it, the one beside the program.
void TestLanguage::folderInUseFirst() {
    QTemporaryDir program;
    QTemporaryDir config;
    const DataFolders folders{program.path() + u'/', config.path() + u'/'};
    QVERIFY(writeLanguageFile(program, "[button]\nBeside\n[tabstrip]\nTab\n"_ba));
    QCOMPARE(LoadLanguage(folders).buttons, QStringList{u"Beside"_s});
    QVERIFY(writeLanguageFile(config, "[button]\nInUse\n"_ba));
    const CaptionSet captions = LoadLanguage(folders);
    QCOMPARE(captions.buttons, QStringList{u"InUse"_s});
    QVERIFY(captions.tabs.isEmpty());
}

QTEST_GUILESS_MAIN(TestLanguage)
#include "tst_language.moc"
