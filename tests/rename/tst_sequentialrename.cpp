#include "rename/SequentialRename.h"
#include "rename/StartNumber.h"
#include "support/FileTree.h"

#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace {

QStringList numbered(int count, const QString &pattern) {
    QStringList out;
    for (int i = 0; i < count; ++i)
        out << pattern.arg(i);
    return out;
}

struct Fixture {
    QTemporaryDir tmp;
    QString dir = TestFiles::native(tmp.path() + u'/');

    // Makes the listed files (content: the name), unless a name starts with "gone".
    void make(const QStringList &names) {
        for (const QString &name : names) {
            if (!name.startsWith(u"gone"_s))
                FileTree::write(dir + name, name.toUtf8());
        }
    }

    SequenceRun run(const QStringList &files, const QString &start) {
        return RenameFilesInSequence(
            {dir, TestFiles::paths(files), u"Rename"_s, start, {}, {}, {}});
    }
};

} // namespace

class TestSequentialRename : public QObject {
    Q_OBJECT
private slots:
    void startNumber_data();
    void startNumber();
    void numberText_data();
    void numberText();
    void newNames_data();
    void newNames();
    void refusalsRenameNothing_data();
    void refusalsRenameNothing();
    void failuresLoseNothing();
    void secondRunKeepsTheNames();
};

void TestSequentialRename::startNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");

    QTest::newRow("empty") << QString() << 0.0;
    QTest::newRow("abc") << u"abc"_s << 0.0;
    QTest::newRow("007") << u"007"_s << 7.0;
    QTest::newRow("12abc") << u"12abc"_s << 12.0;
    QTest::newRow("1 2") << u"1 2"_s << 12.0;
    QTest::newRow("2.5") << u"2.5"_s << 2.0;
    QTest::newRow("3.5") << u"3.5"_s << 4.0;
    QTest::newRow("blanks tabs line feeds") << u"\t- 1\n5 "_s << -15.0;
    QTest::newRow("carriage return stops") << u"1\r2"_s << 1.0;
    QTest::newRow("minus half") << u"-2.5"_s << -2.0;
    QTest::newRow("fraction only") << u".5"_s << 0.0;
    QTest::newRow("just above half") << u"0.5000001"_s << 1.0;
    QTest::newRow("exponent") << u"1.5e1"_s << 15.0;
    QTest::newRow("exponent without digits") << u"3e+"_s << 3.0;
    QTest::newRow("full-width digits") << u"１２"_s << 0.0;
    QTest::newRow("hex") << u"&H10"_s << 16.0;
    QTest::newRow("hex lower case") << u"& h1fz"_s << 31.0;
    QTest::newRow("octal") << u"&O17"_s << 15.0;
    QTest::newRow("octal stops at 8") << u"&o78"_s << 7.0;
    QTest::newRow("too large") << u"1e999"_s << qInf();
}

void TestSequentialRename::startNumber() {
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(readStartNumber(text), value);
}

void TestSequentialRename::numberText_data() {
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("text");
    QTest::newRow("padded") << 7 << 3 << u"007"_s;
    QTest::newRow("negative, longer") << -10 << 2 << u"-10"_s;
    QTest::newRow("negative, shorter: zeros go first") << -5 << 3 << u"0-5"_s;
}

void TestSequentialRename::numberText() {
    QFETCH(int, number);
    QFETCH(int, width);
    QFETCH(QString, text);
    QCOMPARE(sequenceNumberText(number, width), text);
}

void TestSequentialRename::newNames_data() {
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QStringList>("names");

    QTest::newRow("own suffixes") << QStringList{u"a.mp3"_s, u"b.txt"_s, u"c.jpg"_s} << u"Rename"_s
                                  << u"0"_s << QString()
                                  << QStringList{u"Rename0.mp3"_s, u"Rename1.txt"_s,
                                                 u"Rename2.jpg"_s};
    QTest::newRow("ten from 0: 00 to 09") << numbered(10, u"f%1.x"_s) << u"Rename"_s << u"0"_s
                                          << QString() << numbered(10, u"Rename0%1.x"_s);
    QStringList from01 = numbered(10, u"Rename0%1.x"_s);
    from01.removeFirst();
    QTest::newRow("nine from 1: 01 to 09")
        << numbered(9, u"f%1.x"_s) << u"Rename"_s << u"1"_s << QString() << from01;
    QStringList from001;
    for (int i = 1; i <= 99; ++i)
        from001 << u"Rename%1.x"_s.arg(i, 3, 10, QChar(u'0'));
    QTest::newRow("ninety-nine from 1: 001 to 099")
        << numbered(99, u"f%1.x"_s) << u"Rename"_s << u"1"_s << QString() << from001;
    QTest::newRow("box extension, file without one")
        << QStringList{u"x.doc"_s, u"y.doc"_s, u"z"_s} << u"Rename"_s << u"5"_s << u"txt"_s
        << QStringList{u"Rename5.txt"_s, u"Rename6.txt"_s, u"Rename7.txt"_s};
    QTest::newRow("box with its own dot") << QStringList{u"a.mp3"_s} << u"Rename"_s << u"0"_s
                                          << u".mp3"_s << QStringList{u"Rename0..mp3"_s};
#ifndef Q_OS_WIN // Windows takes no name ending in a blank
    QTest::newRow("blanks in the box are an extension")
        << QStringList{u"a.mp3"_s} << u"Rename"_s << u"0"_s << u" "_s
        << QStringList{u"Rename0. "_s};
#endif
    QTest::newRow("last dot, no dot, empty prefix")
        << QStringList{u"a.b.c"_s, u"noext"_s} << QString() << u"0"_s << QString()
        << QStringList{u"0.c"_s, u"1"_s};
    QTest::newRow("negative start") << numbered(3, u"f%1.x"_s) << u"R"_s << u"-10"_s << QString()
                                    << QStringList{u"R-10.x"_s, u"R-9.x"_s, u"R-8.x"_s};
    QTest::newRow("edges of the range")
        << QStringList{u"a"_s} << u"R"_s << u"32766"_s << QString() << QStringList{u"R32766"_s};
    QTest::newRow("lowest") << QStringList{u"a"_s} << u"R"_s << u"-32768.5"_s << QString()
                            << QStringList{u"R-32768"_s};
}

void TestSequentialRename::newNames() {
    QFETCH(QStringList, files);
    QFETCH(QString, prefix);
    QFETCH(QString, start);
    QFETCH(QString, extension);
    QFETCH(QStringList, names);

    Fixture fx;
    fx.make(files);
    // The directory as the directory box gives it, without the trailing separator.
    QList<int> progress;
    const SequenceRun run = RenameFilesInSequence({TestFiles::native(fx.tmp.path()),
                                                   TestFiles::paths(files),
                                                   prefix,
                                                   start,
                                                   extension,
                                                   {},
                                                   {}},
                                                  [&](int done, int total) {
                                                      QCOMPARE(total, files.size());
                                                      progress << done;
                                                  });
    QVERIFY(run.ran());
    QVERIFY(run.report.isClean());
    QCOMPARE(progress.size(), files.size());
    const auto after = FileTree::files(fx.dir);
    for (qsizetype k = 0; k < files.size(); ++k)
        QCOMPARE(after.value(names[k]), files[k].toUtf8());
    QCOMPARE(after.size(), files.size());
}

void TestSequentialRename::refusalsRenameNothing_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("no files") << u"0"_s << 0 << u"没有文件"_s;
    const QString range = u"起始编号超出范围：只能是 -32768 到 32767 之间的数。没有文件被改名。"_s;
    QTest::newRow("too high") << u"32768"_s << 1 << range;
    QTest::newRow("rounds up past the top") << u"32767.5"_s << 1 << range;
    QTest::newRow("too low") << u"-32769"_s << 1 << range;
    QTest::newRow("infinite") << u"1e999"_s << 1 << range;
    QTest::newRow("hex beyond") << u"&HFFFF"_s << 1 << range;
    QTest::newRow("sum too high")
        << u"32767"_s << 1 << u"起始编号 32767 加上 1 个文件超过了 32767。没有文件被改名。"_s;
}

void TestSequentialRename::refusalsRenameNothing() {
    QFETCH(QString, start);
    QFETCH(int, count);
    QFETCH(QString, refusal);
    Fixture fx;
    const QStringList files = numbered(count, u"f%1"_s);
    fx.make(files);
    const SequenceRun run = fx.run(files, start);
    QCOMPARE(run.refusal, refusal);
    QVERIFY(!run.ran());
    QStringList sorted = files;
    sorted.sort();
    QCOMPARE(FileTree::files(fx.dir).keys(), sorted);
}

void TestSequentialRename::failuresLoseNothing() {
#ifdef Q_OS_WIN
    SKIP_TEST("needs names with control characters and trailing dots");
#else
    Fixture fx;
    FileTree::write(fx.dir + u"Rename2.c"_s, "outside the list");
    const QStringList files{u"x.a"_s,     u"Rename0.a"_s, u"z.c"_s, u"gone.d"_s,
                            u"sub/e.e"_s, u"f.\n"_s,      u"g.."_s};
    fx.make(files.mid(0, 3));
    FileTree::write(fx.dir + u"f.\n"_s, "f");
    FileTree::write(fx.dir + u"g.."_s, "g");
    const QByteArrayList before = FileTree::sortedContents(fx.dir);

    const SequenceRun run = fx.run(files, u"0"_s);
    QVERIFY(run.ran());
    QCOMPARE(FileTree::sortedContents(fx.dir), before);
    QCOMPARE(FileTree::files(fx.dir).keys(),
             (QStringList{u"Rename1.a"_s, u"Rename2.c"_s, u"Rename6."_s, u"f.\n"_s, u"x.a"_s,
                          u"z.c"_s}));
    QCOMPARE(run.renamed, 2);
    QCOMPARE(run.failureMessage(), u"已改名 2 个文件，有 5 个文件未能改名："
                                   "\nx.a → Rename0.a：已有同名文件"
                                   "\nz.c → Rename2.c：已有同名文件"
                                   "\ngone.d → Rename3.d：原文件不存在"
                                   "\nsub/e.e → Rename4.e：文件名含有路径分隔符"
                                   "\nf.? → Rename5.?：文件名含有控制字符"_s);
#endif
}

void TestSequentialRename::secondRunKeepsTheNames() {
    Fixture fx;
    const QStringList files{u"a.mp3"_s, u"b.mp3"_s};
    fx.make(files);
    const QStringList renamed{u"Rename1.mp3"_s, u"Rename2.mp3"_s};
    for (const QStringList &names : {files, renamed}) {
        const SequenceRun run = fx.run(names, u"1"_s);
        QVERIFY(run.ran() && run.report.isClean());
    }
    QCOMPARE(FileTree::files(fx.dir).keys(), renamed);
}

QTEST_GUILESS_MAIN(TestSequentialRename)
#include "tst_sequentialrename.moc"
