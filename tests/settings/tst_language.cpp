#include "settings/Language.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

// The captions the window starts with.
class FakeTargets : public LanguageTargets {
public:
    QStringList buttons{u"添加"_s, u"删除"_s, u"清除"_s, u"保存"_s, u"改名"_s};
    QStringList frames{QString(), QString(), QString(), QString()};
    QStringList tabs{u"音频文件"_s, u"所有文件"_s, u"设置"_s, u"关于"_s};
    QStringList columns{u"原文件名"_s, u"新文件名"_s, u"标题"_s, u"歌手"_s};

    void setButtonCaption(int index, const QString &text) override { set(buttons, index, text); }
    void setFrameCaption(int index, const QString &text) override { set(frames, index, text); }
    void setTabCaption(int index, const QString &text) override { set(tabs, index, text); }
    void setColumnCaption(int index, const QString &text) override { set(columns, index, text); }

    bool operator==(const FakeTargets &o) const {
        return buttons == o.buttons && frames == o.frames && tabs == o.tabs && columns == o.columns;
    }

private:
    static void set(QStringList &group, int index, const QString &text) {
        // A caption for a control the window does not have is a fault of the caller.
        QVERIFY2(index >= 0 && index < group.size(), qPrintable(QString::number(index)));
        group[index] = text;
    }
};

bool writeLanguageFile(const QTemporaryDir &dir, const QByteArray &content) {
    QFile file(dir.filePath(u"elanguage.dat"_s));
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

} // namespace

class TestLanguage : public QObject {
    Q_OBJECT
private slots:
    void noFileChangesNothing();
    void buttons_data();
    void buttons();
    void allSections();
    void twiceEqualsOnce();
};

void TestLanguage::noFileChangesNothing() {
    QTemporaryDir dir;
    FakeTargets targets;
    LoadLanguage(dir.path(), targets);
    QVERIFY(targets == FakeTargets());
}

void TestLanguage::buttons_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("captions");

    QTest::newRow("three lines") << "[button]\r\nAdd\r\nDelete\r\nClear\r\n"_ba
                                 << QStringList{u"Add"_s, u"Delete"_s, u"Clear"_s, u"保存"_s,
                                                u"改名"_s};
    QTest::newRow("lines taken whole")
        << "[Button]\n Add=OK \n;x\n\nDel = Yes\n"_ba
        << QStringList{u"Add=OK"_s, u"Del = Yes"_s, u"清除"_s, u"保存"_s, u"改名"_s};
    QTest::newRow("surplus ignored") << "[button]\n1\n2\n3\n4\n5\n6\n7\n"_ba
                                     << QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s};
    // Four lines of 11 bytes with separators and one of 5: 49 bytes, all used.
    QTest::newRow("49 bytes") << "[button]\n" + "abcdefghij\n"_ba.repeated(4) + "abcd\n"
                              << QStringList(4, u"abcdefghij"_s) + QStringList{u"abcd"_s};
    // One byte more: cut to 48, the fifth line crosses the mark and is dropped.
    QTest::newRow("50 bytes") << "[button]\n" + "abcdefghij\n"_ba.repeated(4) + "abcde\n"
                              << QStringList(4, u"abcdefghij"_s) + QStringList{u"改名"_s};
    QTest::newRow("separator on byte 48")
        << "[button]\nabcdefghijklmnopqrstuvwxyz\nabcdefghijklmnopqrst\nzz\n"_ba
        << QStringList{u"abcdefghijklmnopqrstuvwxyz"_s, u"abcdefghijklmnopqrst"_s, u"清除"_s,
                       u"保存"_s, u"改名"_s};
    QTest::newRow("separator on byte 49")
        << "[button]\nabcdefghijklmnopqrstuvwxyz\nabcdefghijklmnopqrstu\nzz\n"_ba
        << QStringList{u"abcdefghijklmnopqrstuvwxyz"_s, u"删除"_s, u"清除"_s, u"保存"_s, u"改名"_s};
    // The cut falls between the two bytes of a character in the line that is dropped.
    QTest::newRow("gbk cut mid-character")
        << "[button]\n" + "\xB8\xE8"_ba.repeated(23) + "\n\xB8\xE8\xB8\xE8\n"
        << QStringList{u"歌"_s.repeated(23), u"删除"_s, u"清除"_s, u"保存"_s, u"改名"_s};
    QTest::newRow("empty section") << "[button]\n\n[frame]\n"_ba << FakeTargets().buttons;
}

void TestLanguage::buttons() {
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    QVERIFY(writeLanguageFile(dir, content));
    FakeTargets targets;
    LoadLanguage(dir.path(), targets);
    QTEST(targets.buttons, "captions");
}

void TestLanguage::allSections() {
    QTemporaryDir dir;
    QVERIFY(writeLanguageFile(dir, "[listviewheader]\r\nFile\r\nNew\r\nTitle\r\nSinger\r\n"
                                   "[tabstrip]\r\nAudio\r\n[button]\r\n\xB8\xC4\r\n"_ba));
    FakeTargets targets;
    LoadLanguage(dir.path(), targets);
    FakeTargets expected;
    expected.buttons[0] = u"改"_s;
    expected.tabs[0] = u"Audio"_s;
    expected.columns = QStringList{u"File"_s, u"New"_s, u"Title"_s, u"Singer"_s};
    QVERIFY(targets == expected);
}

void TestLanguage::twiceEqualsOnce() {
    QTemporaryDir dir;
    QVERIFY(writeLanguageFile(dir, "[frame]\nA\nB\nC\nD\nE\n[button]\nx\n"_ba));
    FakeTargets once;
    LoadLanguage(dir.path(), once);
    FakeTargets twice;
    LoadLanguage(dir.path(), twice);
    LoadLanguage(dir.path(), twice);
    QVERIFY(once == twice);
    QCOMPARE(once.frames, (QStringList{u"A"_s, u"B"_s, u"C"_s, u"D"_s}));
}

QTEST_GUILESS_MAIN(TestLanguage)
#include "tst_language.moc"
