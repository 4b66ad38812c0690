#include "platform/RenameNoReplace.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
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

// The rename of oldName in dir (ending in a separator) to newName.
RenameNoReplace::Result renameIn(const QString &dir, const QString &oldName,
                                 const QString &newName) {
    return RenameNoReplace::renameFile(dir + oldName, newName);
}

} // namespace

Q_DECLARE_METATYPE(RenameFunction)

class TestRenameNoReplace : public QObject {
    Q_OBJECT
private slots:
    void init();
    void checkName_data();
    void checkName();
    void windowsErrors_data();
    void windowsErrors();
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
    void letterCaseOnlyThroughFuse_data();
    void letterCaseOnlyThroughFuse();
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

// Each name under both rule sets, so the Windows rules are tried wherever the tests run.
void TestRenameNoReplace::checkName_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<Failure>("posix");
    QTest::addColumn<Failure>("windows");

    const auto row = [](const char *label, const QString &name, Failure posix, Failure windows) {
        QTest::newRow(label) << name << posix << windows;
    };
    const auto both = [&](const char *label, const QString &name, Failure failure) {
        row(label, name, failure, failure);
    };
    both("plain", u"Song-Singer.mp3"_s, Failure::None);
    both("chinese", u"歌名-歌手.mp3"_s, Failure::None);
    both("leading dot", u".hidden"_s, Failure::None);
    both("empty", QString(), Failure::EmptyName);
    both("dot", u"."_s, Failure::DotName);
    both("dot dot", u".."_s, Failure::DotName);
    both("slash", u"../up.mp3"_s, Failure::Separator);
    both("line feed", u"a\nb.mp3"_s, Failure::ControlCharacter);
    both("nul", QString(u"a"_s + QChar(0) + u"b"_s), Failure::ControlCharacter);
    // Controls beyond C0, separators and direction marks are refused as controls are.
    both("delete", u"a\x7f"_s, Failure::ControlCharacter);
    both("c1 control", u"a\u0085b"_s, Failure::ControlCharacter);
    both("line separator", u"a\u2028b"_s, Failure::ControlCharacter);
    both("right-to-left override", u"x\u202Egpj.3pm"_s, Failure::ControlCharacter);
    both("isolate", u"a\u2066b"_s, Failure::ControlCharacter);
    both("left-to-right mark", u"a\u200Eb"_s, Failure::ControlCharacter);
    both("zero-width joiner is fine", u"a\u200Db"_s, Failure::None);
    row("backslash", u"a\\b"_s, Failure::None, Failure::Separator);
    for (const QString &c : {u"<"_s, u">"_s, u":"_s, u"\""_s, u"|"_s, u"?"_s, u"*"_s}) {
        const QByteArray label = "reserved " + c.toUtf8();
        row(label.constData(), u"a"_s + c + u"b.mp3"_s, Failure::None, Failure::ReservedCharacter);
    }
    // A "?" the code page put in place of a character it lacks.
    row("code page mark", u"?-歌手.mp3"_s, Failure::None, Failure::ReservedCharacter);
    row("device", u"CON"_s, Failure::None, Failure::DeviceName);
    row("device with extension", u"nul.mp3"_s, Failure::None, Failure::DeviceName);
    row("device with two extensions", u"Aux.tar.gz"_s, Failure::None, Failure::DeviceName);
    row("device before spaces", u"prn .mp3"_s, Failure::None, Failure::DeviceName);
    row("com port", u"com1.mp3"_s, Failure::None, Failure::DeviceName);
    row("printer port", u"LPT9"_s, Failure::None, Failure::DeviceName);
    row("superscript port", u"COM\u00B9.mp3"_s, Failure::None, Failure::DeviceName);
    row("console", u"conin$.mp3"_s, Failure::None, Failure::DeviceName);
    both("port zero is a name", u"COM0.mp3"_s, Failure::None);
    both("device inside a name", u"CONCERT.mp3"_s, Failure::None);
    both("device after a dot", u"a.CON"_s, Failure::None);
    both("port ten is a name", u"LPT10"_s, Failure::None);
    row("trailing dot", u"Song."_s, Failure::None, Failure::TrailingDotOrSpace);
    row("trailing space", u"Song.mp3 "_s, Failure::None, Failure::TrailingDotOrSpace);
    both("leading space", u" Song.mp3"_s, Failure::None);
    // 255 is the limit for both: UTF-8 bytes off Windows, UTF-16 units on Windows.
    both("255 ascii", QString(255, u'a'), Failure::None);
    both("256 ascii", QString(256, u'a'), Failure::NameTooLong);
    row("100 chinese", QString(100, u'歌'), Failure::NameTooLong, Failure::None);
    row("255 chinese", QString(255, u'歌'), Failure::NameTooLong, Failure::None);
    both("256 chinese", QString(256, u'歌'), Failure::NameTooLong);
    const QString clef = u"\U0001D11E"_s; // two UTF-16 units, four UTF-8 bytes
    row("63 clefs", clef.repeated(63), Failure::None, Failure::None);
    row("64 clefs", clef.repeated(64), Failure::NameTooLong, Failure::None);
    row("128 clefs", clef.repeated(128), Failure::NameTooLong, Failure::NameTooLong);
}

void TestRenameNoReplace::checkName() {
    QFETCH(QString, name);
    QFETCH(Failure, posix);
    QFETCH(Failure, windows);
    QCOMPARE(RenameNoReplace::checkName(name, RenameNoReplace::NameRules::Posix), posix);
    QCOMPARE(RenameNoReplace::checkName(name, RenameNoReplace::NameRules::Windows), windows);
#ifdef Q_OS_WIN
    QCOMPARE(RenameNoReplace::checkName(name), windows);
#else
    QCOMPARE(RenameNoReplace::checkName(name), posix);
#endif
}

void TestRenameNoReplace::windowsErrors_data() {
    QTest::addColumn<quint32>("error");
    QTest::addColumn<Failure>("failure");
    QTest::newRow("file not found") << 2u << Failure::SourceMissing;
    QTest::newRow("path not found") << 3u << Failure::SourceMissing;
    QTest::newRow("access denied") << 5u << Failure::AccessDenied;
    QTest::newRow("write protect") << 19u << Failure::AccessDenied;
    QTest::newRow("sharing violation") << 32u << Failure::InUse;
    QTest::newRow("lock violation") << 33u << Failure::InUse;
    QTest::newRow("user mapped file") << 1224u << Failure::InUse;
    QTest::newRow("file exists") << 80u << Failure::TargetExists;
    QTest::newRow("already exists") << 183u << Failure::TargetExists;
    QTest::newRow("file name exceeds range") << 206u << Failure::PathTooLong;
    QTest::newRow("buffer overflow") << 111u << Failure::PathTooLong;
    QTest::newRow("invalid name") << 123u << Failure::InvalidName;
    QTest::newRow("bad path name") << 161u << Failure::InvalidName;
    QTest::newRow("not enough memory") << 8u << Failure::Other;
}

void TestRenameNoReplace::windowsErrors() {
    QFETCH(quint32, error);
    QFETCH(Failure, failure);
    QCOMPARE(RenameNoReplace::classifyWindowsError(error), failure);
}

// The same guarantees hold for the rename itself and for each way it falls back on.
void TestRenameNoReplace::everyWay_data() {
    QTest::addColumn<RenameFunction>("rename");
    QTest::newRow("rename") << RenameFunction(renameIn);
    QTest::newRow("temporary name") << RenameFunction([](auto &d, auto &o, auto &n) {
        return RenameNoReplace::renameThroughTemporaryName(d + o, n);
    });
#ifndef Q_OS_WIN
    using RenameNoReplace::Fallback;
    QTest::newRow("link") << RenameFunction([](auto &d, auto &o, auto &n) {
        return RenameNoReplace::renameWithFallback(Fallback::Link, d + o, n);
    });
    QTest::newRow("placeholder") << RenameFunction([](auto &d, auto &o, auto &n) {
        return RenameNoReplace::renameWithFallback(Fallback::Placeholder, d + o, n);
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
    QVERIFY(renameIn(m_dir, u"a.mp3"_s, u"a.mp3"_s).ok());
    QCOMPARE(contents(m_dir), files({{u"a.mp3"_s, "a"}}));
    QCOMPARE(renameIn(m_dir, u"b.mp3"_s, u"b.mp3"_s).failure, Failure::SourceMissing);
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

    QCOMPARE(renameIn(dir, oldName, newName).failure, failure);
    QCOMPARE(RenameNoReplace::renameThroughTemporaryName(dir + oldName, newName).failure, failure);
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
    QCOMPARE(renameIn(m_dir, u"Song.mp3"_s, u"song.mp3"_s).failure, Failure::TargetExists);
    QCOMPARE(contents(m_dir), files({{u"Song.mp3"_s, "song"}, {u"song.mp3"_s, "song"}}));
#endif
}

void TestRenameNoReplace::letterCaseOnlyOnCaseBlindFileSystem() {
    QVERIFY(TestFiles::write(m_dir + u"Song.mp3"_s, "song"));
    if (!QFile::exists(m_dir + u"SONG.MP3"_s))
        SKIP_TEST("the temporary folder tells letter case apart");
    SKIP_UNDER_WINE("MoveFileExW succeeds but keeps a name whose letter case alone changes; NTFS "
                    "renames it");
    QVERIFY(renameIn(m_dir, u"Song.mp3"_s, u"song.mp3"_s).ok());
    QCOMPARE(QDir(m_dir).entryList(QDir::Files), QStringList{u"song.mp3"_s});
    QCOMPARE(contents(m_dir).value(u"song.mp3"_s), QByteArray("song"));
}

// exFAT and FAT through FUSE ignore letter case but give two spellings of a name two inode
// numbers: the rename still goes through a temporary name, and a name truly taken stays
// refused; a name exFAT does not take is reported as such through every fallback.
void TestRenameNoReplace::letterCaseOnlyThroughFuse_data() {
    QTest::addColumn<QString>("fileSystem");
    QTest::newRow("exfat-fuse") << u"exfat"_s;
    QTest::newRow("fusefat") << u"fat"_s;
}

void TestRenameNoReplace::letterCaseOnlyThroughFuse() {
#ifndef Q_OS_LINUX
    SKIP_TEST("FUSE is Linux's");
#else
    QFETCH(QString, fileSystem);
    const bool exfat = fileSystem == u"exfat"_s;
    const QString image = m_dir + u"disk.img"_s;
    const QString mountPoint = m_dir + u"disk"_s;
    QVERIFY(QDir().mkpath(mountPoint));
    QFile file(image);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(16 * 1024 * 1024));
    file.close();
    if (QProcess::execute(exfat ? u"mkfs.exfat"_s : u"mkfs.fat"_s, {image}) != 0)
        SKIP_TEST("no tools to make the file system here");
    QString device;
    if (exfat) {
        QProcess loop;
        loop.start(u"losetup"_s, {u"-f"_s, u"--show"_s, image});
        if (!loop.waitForFinished() || loop.exitCode() != 0)
            SKIP_TEST("no loop devices here (not root, or a sandbox without them)");
        device = QString::fromLocal8Bit(loop.readAllStandardOutput()).trimmed();
    }
    const int mounted =
        exfat ? QProcess::execute(u"mount.exfat-fuse"_s, {device, mountPoint})
              : QProcess::execute(u"fusefat"_s, {u"-o"_s, u"rw+"_s, image, mountPoint});
    const auto detach = [&] {
        if (!device.isEmpty())
            QProcess::execute(u"losetup"_s, {u"-d"_s, device});
    };
    if (mounted != 0) {
        detach();
        SKIP_TEST("mounting through FUSE is refused here");
    }
    const QString dir = mountPoint + u'/';
    const bool written = TestFiles::write(dir + u"song.mp3"_s, "song") &&
                         TestFiles::write(dir + u"other.mp3"_s, "other");
    const RenameNoReplace::Result caseOnly = renameIn(dir, u"song.mp3"_s, u"Song.mp3"_s);
    const RenameNoReplace::Result taken = renameIn(dir, u"other.mp3"_s, u"SONG.MP3"_s);
    const RenameNoReplace::Result refused = renameIn(dir, u"other.mp3"_s, u"a:b.mp3"_s);
    const QStringList names = QDir(dir).entryList(QDir::Files, QDir::Name);
    const QByteArray song = TestFiles::read(dir + u"Song.mp3"_s);
    QProcess::execute(u"umount"_s, {mountPoint});
    detach();
    QVERIFY(written);
    QVERIFY(caseOnly.ok());
    QCOMPARE(taken.failure, Failure::TargetExists);
    if (exfat) // fusefat answers such a name with "not permitted", like a folder that is
        QCOMPARE(refused.failure, Failure::InvalidName);
    QVERIFY(!refused.ok());
    QCOMPARE(names, (QStringList{u"Song.mp3"_s, u"other.mp3"_s}));
    QCOMPARE(song, QByteArray("song"));
#endif
}

void TestRenameNoReplace::readOnlyDirectory() {
#ifdef Q_OS_WIN
    SKIP_TEST("directory permissions do not stop renames on Windows");
#else
    RUN_UNPRIVILEGED();
    QVERIFY(TestFiles::write(m_dir + u"a.mp3"_s, "a"));
    QVERIFY(QFile::setPermissions(m_dir, QFile::ReadOwner | QFile::ExeOwner));
    const auto result = renameIn(m_dir, u"a.mp3"_s, u"b.mp3"_s);
    QFile::setPermissions(m_dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(result.failure, Failure::AccessDenied);
    QCOMPARE(contents(m_dir), files({{u"a.mp3"_s, "a"}}));
#endif
}

QTEST_GUILESS_MAIN(TestRenameNoReplace)
#include "tst_renamenoreplace.moc"
