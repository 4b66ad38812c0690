#include "platform/RenameNoReplace.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

using namespace Qt::Literals::StringLiterals;

using RenameNoReplace::Failure;

Q_DECLARE_METATYPE(RenameNoReplace::Failure)

namespace {

// name -> content of every file in dir.
QMap<QString, QByteArray> contents(const QString &dir) {
    QMap<QString, QByteArray> out;
    const QStringList names = QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        QFile f(dir + name);
        if (f.open(QIODevice::ReadOnly))
            out.insert(name, f.readAll());
    }
    return out;
}

QMap<QString, QByteArray> files(std::initializer_list<std::pair<QString, QByteArray>> list) {
    QMap<QString, QByteArray> out;
    for (const auto &[name, content] : list)
        out.insert(name, content);
    return out;
}

using RenameFunction =
    std::function<RenameNoReplace::Result(const QString &, const QString &, const QString &)>;

} // namespace

Q_DECLARE_METATYPE(RenameFunction)

class TestRenameNoReplace : public QObject {
    Q_OBJECT
private slots:
    void init();
    void checkName_data();
    void checkName();
    void everyWay_data();
    void renames();
    void renames_data() { everyWay_data(); }
    void neverReplaces();
    void neverReplaces_data() { everyWay_data(); }
    void missingSource();
    void missingSource_data() { everyWay_data(); }
    void sameNameLeavesFileAsItIs();
    void unsafeNameStaysInDirectory_data();
    void unsafeNameStaysInDirectory();
    void hardLinkIsAnotherFile();
    void letterCaseOnlyOnCaseBlindFileSystem();
    void readOnlyDirectory();

private:
    std::unique_ptr<QTemporaryDir> m_tmp;
    QString m_dir;
};

void TestRenameNoReplace::init() {
    m_tmp = std::make_unique<QTemporaryDir>();
    QVERIFY(m_tmp->isValid());
    m_dir = m_tmp->path() + u'/';
}

void TestRenameNoReplace::checkName_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<Failure>("failure");

    QTest::newRow("plain") << u"Song-Singer.mp3"_s << Failure::None;
    QTest::newRow("chinese") << u"歌名-歌手.mp3"_s << Failure::None;
    QTest::newRow("leading dot") << u".hidden"_s << Failure::None;
    QTest::newRow("empty") << QString() << Failure::EmptyName;
    QTest::newRow("dot") << u"."_s << Failure::DotName;
    QTest::newRow("dot dot") << u".."_s << Failure::DotName;
    QTest::newRow("slash") << u"../up.mp3"_s << Failure::Separator;
    QTest::newRow("line feed") << u"a\nb.mp3"_s << Failure::ControlCharacter;
    QTest::newRow("nul") << QString(u"a"_s + QChar(0) + u"b"_s) << Failure::ControlCharacter;
    QTest::newRow("delete is no control here") << u"a\x7f"_s << Failure::None;
#ifdef Q_OS_WIN
    QTest::newRow("backslash") << u"a\\b"_s << Failure::Separator;
    QTest::newRow("stream colon") << u"a.mp3:x"_s << Failure::ReservedCharacter;
#else
    QTest::newRow("backslash is a character") << u"a\\b"_s << Failure::None;
#endif
}

void TestRenameNoReplace::checkName() {
    QFETCH(QString, name);
    QFETCH(Failure, failure);
    QCOMPARE(RenameNoReplace::checkName(name), failure);
}

// The same guarantees hold for the rename itself and for each way it falls back on.
void TestRenameNoReplace::everyWay_data() {
    QTest::addColumn<RenameFunction>("rename");
    QTest::newRow("rename") << RenameFunction(&RenameNoReplace::renameInDirectory);
    QTest::newRow("temporary name") << RenameFunction(&RenameNoReplace::renameThroughTemporaryName);
#ifndef Q_OS_WIN
    using RenameNoReplace::Fallback;
    QTest::newRow("link") << RenameFunction([](auto &d, auto &o, auto &n) {
        return RenameNoReplace::renameWithFallback(Fallback::Link, d, o, n);
    });
    QTest::newRow("placeholder") << RenameFunction([](auto &d, auto &o, auto &n) {
        return RenameNoReplace::renameWithFallback(Fallback::Placeholder, d, o, n);
    });
#endif
}

void TestRenameNoReplace::renames() {
    QFETCH(RenameFunction, rename);
    QVERIFY(TestFiles::write(m_dir + u"track01.mp3"_s, "one"));
    QVERIFY(TestFiles::write(m_dir + u"other.mp3"_s, "other"));
    const auto result = rename(m_dir, u"track01.mp3"_s, u"歌名-歌手.mp3"_s);
    QVERIFY(result.ok());
    QCOMPARE(contents(m_dir), files({{u"歌名-歌手.mp3"_s, "one"}, {u"other.mp3"_s, "other"}}));
}

void TestRenameNoReplace::neverReplaces() {
    QFETCH(RenameFunction, rename);
    QVERIFY(TestFiles::write(m_dir + u"a.mp3"_s, "a"));
    QVERIFY(TestFiles::write(m_dir + u"b.mp3"_s, "b"));
    const auto result = rename(m_dir, u"a.mp3"_s, u"b.mp3"_s);
    QCOMPARE(result.failure, Failure::TargetExists);
    QVERIFY(result.systemError != 0);
    QCOMPARE(contents(m_dir), files({{u"a.mp3"_s, "a"}, {u"b.mp3"_s, "b"}}));
}

void TestRenameNoReplace::missingSource() {
    QFETCH(RenameFunction, rename);
    QVERIFY(TestFiles::write(m_dir + u"b.mp3"_s, "b"));
    QCOMPARE(rename(m_dir, u"gone.mp3"_s, u"new.mp3"_s).failure, Failure::SourceMissing);
    QCOMPARE(rename(m_dir, u"gone.mp3"_s, u"b.mp3"_s).failure, Failure::SourceMissing);
    QCOMPARE(contents(m_dir), files({{u"b.mp3"_s, "b"}}));
}

void TestRenameNoReplace::sameNameLeavesFileAsItIs() {
    QVERIFY(TestFiles::write(m_dir + u"a.mp3"_s, "a"));
    QVERIFY(RenameNoReplace::renameInDirectory(m_dir, u"a.mp3"_s, u"a.mp3"_s).ok());
    QCOMPARE(contents(m_dir), files({{u"a.mp3"_s, "a"}}));
    QCOMPARE(RenameNoReplace::renameInDirectory(m_dir, u"b.mp3"_s, u"b.mp3"_s).failure,
             Failure::SourceMissing);
}

void TestRenameNoReplace::unsafeNameStaysInDirectory_data() {
    QTest::addColumn<QString>("oldName");
    QTest::addColumn<QString>("newName");
    QTest::addColumn<Failure>("failure");
    QTest::newRow("up") << u"a.mp3"_s << u"../a.mp3"_s << Failure::Separator;
    QTest::newRow("down") << u"a.mp3"_s << u"sub/a.mp3"_s << Failure::Separator;
    QTest::newRow("onto the directory") << u"a.mp3"_s << u"."_s << Failure::DotName;
    QTest::newRow("onto the parent") << u"a.mp3"_s << u".."_s << Failure::DotName;
    QTest::newRow("empty") << u"a.mp3"_s << QString() << Failure::EmptyName;
    QTest::newRow("line break") << u"a.mp3"_s << u"a\r\n.mp3"_s << Failure::ControlCharacter;
    QTest::newRow("old name from elsewhere") << u"sub/a.mp3"_s << u"b.mp3"_s << Failure::Separator;
}

void TestRenameNoReplace::unsafeNameStaysInDirectory() {
    QFETCH(QString, oldName);
    QFETCH(QString, newName);
    QFETCH(Failure, failure);
    // The directory sits one level down so that a name leading up would have a place to go.
    const QString dir = m_dir + u"d/"_s;
    QVERIFY(QDir().mkpath(dir + u"sub"_s));
    QVERIFY(TestFiles::write(dir + u"a.mp3"_s, "a"));
    QVERIFY(TestFiles::write(dir + u"sub/a.mp3"_s, "sub"));

    QCOMPARE(RenameNoReplace::renameInDirectory(dir, oldName, newName).failure, failure);
    QCOMPARE(RenameNoReplace::renameThroughTemporaryName(dir, oldName, newName).failure, failure);
    QCOMPARE(contents(dir), files({{u"a.mp3"_s, "a"}}));
    QCOMPARE(contents(dir + u"sub/"_s), files({{u"a.mp3"_s, "sub"}}));
    QVERIFY(contents(m_dir).isEmpty());
}

void TestRenameNoReplace::hardLinkIsAnotherFile() {
#ifdef Q_OS_WIN
    SKIP_TEST("hard links are not made here on Windows");
#else
    QVERIFY(TestFiles::write(m_dir + u"Song.mp3"_s, "song"));
    QCOMPARE(::link(QFile::encodeName(m_dir + u"Song.mp3"_s).constData(),
                    QFile::encodeName(m_dir + u"song.mp3"_s).constData()),
             0);
    // One file under two names is still two names: the new one is taken.
    QCOMPARE(RenameNoReplace::renameInDirectory(m_dir, u"Song.mp3"_s, u"song.mp3"_s).failure,
             Failure::TargetExists);
    QCOMPARE(contents(m_dir), files({{u"Song.mp3"_s, "song"}, {u"song.mp3"_s, "song"}}));
#endif
}

void TestRenameNoReplace::letterCaseOnlyOnCaseBlindFileSystem() {
    QVERIFY(TestFiles::write(m_dir + u"Song.mp3"_s, "song"));
    if (!QFile::exists(m_dir + u"SONG.MP3"_s))
        SKIP_TEST("the temporary folder tells letter case apart");
    QVERIFY(RenameNoReplace::renameInDirectory(m_dir, u"Song.mp3"_s, u"song.mp3"_s).ok());
    QCOMPARE(QDir(m_dir).entryList(QDir::Files), QStringList{u"song.mp3"_s});
    QCOMPARE(contents(m_dir).value(u"song.mp3"_s), QByteArray("song"));
}

void TestRenameNoReplace::readOnlyDirectory() {
#ifdef Q_OS_WIN
    SKIP_TEST("directory permissions do not stop renames on Windows");
#else
    RUN_UNPRIVILEGED();
    QVERIFY(TestFiles::write(m_dir + u"a.mp3"_s, "a"));
    QVERIFY(QFile::setPermissions(m_dir, QFile::ReadOwner | QFile::ExeOwner));
    const auto result = RenameNoReplace::renameInDirectory(m_dir, u"a.mp3"_s, u"b.mp3"_s);
    QFile::setPermissions(m_dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(result.failure, Failure::AccessDenied);
    QCOMPARE(contents(m_dir), files({{u"a.mp3"_s, "a"}}));
#endif
}

QTEST_GUILESS_MAIN(TestRenameNoReplace)
#include "tst_renamenoreplace.moc"
