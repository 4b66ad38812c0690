#include "platform/Paths.h"
#include "settings/Language.h"
#include "settings/Settings.h"
#include "support/TestFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace Qt::Literals::StringLiterals;

namespace {

QString iniPath(const QTemporaryDir &dir) {
    return dir.filePath(u"rename.ini"_s);
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void noFileGivesDefaultsAndSaveWritesThem_data();
    void noFileGivesDefaultsAndSaveWritesThem();
    void load_data();
    void load();
    void encodingKeptAndCutWhole_data();
    void encodingKeptAndCutWhole();
    void saveKeepsEverythingElseAndTwiceEqualsOnce();
    void m3uPathCarriedUnchanged();
    void failedSaveIsSilent();
    void fullDiskLeavesTheFileWhole();
    void characterTheCodePageLacksTurnsTheFileUtf8();
    void id3v2Option();
    void optionsKeepTheirOrder_data();
    void optionsKeepTheirOrder();
    void tagCodePage_data();
    void tagCodePage();
    void tagCodePageWrittenBeforeId3v2();
    void dataFolders_data();
    void dataFolders();
    void configFolderStartsFromTheProgramsFile();
    void programFolderThatIsNotUtf8();
};

// A first start (no rename.ini where the program looks) gets today's options, saved at its
// first save; a rename.ini that exists keeps the documented default (off) for each key it lacks.
void TestSettings::noFileGivesDefaultsAndSaveWritesThem_data() {
    QTest::addColumn<QString>("existing"); // "", "in use" or "beside the program"
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("optionsOn");
    const QByteArray four = "[setup]\r\nm3u=0\r\nm3upath=\r\nhistory=0\r\nformat=%1-%2\r\n"_ba;
    QTest::newRow("first start") << QString() << QByteArray() << true;
    QTest::newRow("the four keys") << u"in use"_s << four << false;
    QTest::newRow("an empty file") << u"in use"_s << QByteArray() << false;
    QTest::newRow("only beside the program") << u"beside the program"_s << four << false;
}

void TestSettings::noFileGivesDefaultsAndSaveWritesThem() {
    QFETCH(QString, existing);
    QFETCH(QByteArray, content);
    QFETCH(bool, optionsOn);
    QTemporaryDir dir;
    const QString program = dir.filePath(u"program"_s) + QDir::separator();
    const QString config = dir.filePath(u"config"_s) + QDir::separator();
    QVERIFY(QDir().mkpath(program) && QDir().mkpath(config));
    if (existing == u"in use"_s)
        QVERIFY(TestFiles::write(config + u"rename.ini"_s, content));
    else if (!existing.isEmpty())
        QVERIFY(TestFiles::write(program + u"rename.ini"_s, content));
    const SettingsFile file(DataFolders{program, config});
    QCOMPARE(file.isFirstStart(), existing.isEmpty());
    const Settings settings = file.LoadSettings();
    QCOMPARE(settings.playlist, OptionState::Unchecked);
    QCOMPARE(settings.history, OptionState::Unchecked);
    QCOMPARE(settings.nameTemplate, u"%1-%2"_s);
    QCOMPARE(settings.filterText, QString());
    QVERIFY(settings.filterItems.isEmpty());
    QCOMPARE(settings.m3uPath, QByteArray());
    QCOMPARE(settings.readId3v2, optionsOn);
    QCOMPARE(settings.allFormats, optionsOn);
    QCOMPARE(settings.safeNames, optionsOn);

    file.SaveSettings(settings);
    QCOMPARE(TestFiles::read(config + u"rename.ini"_s),
             "[setup]\r\nm3u=0\r\nm3upath=\r\nhistory=0\r\nformat=%1-%2\r\n"_ba +
                 (optionsOn ? "id3v2=1\r\nallformats=1\r\nsafenames=1\r\n"_ba : QByteArray()));
    // No temporary file is left beside it.
    QCOMPARE(QDir(config).entryList(QDir::Files | QDir::Hidden), QStringList{u"rename.ini"_s});
    QVERIFY(!file.isFirstStart());
}

void TestSettings::load_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("playlist");
    QTest::addColumn<int>("history");
    QTest::addColumn<QString>("nameTemplate");
    QTest::addColumn<QString>("filterText");
    QTest::addColumn<QStringList>("filterItems");

    QTest::newRow("all set") << "[setup]\r\nm3u=1\r\nhistory=2\r\nformat=%2 %1\r\n"_ba << 1 << 2
                             << u"%2 %1"_s << QString() << QStringList();
    QTest::newRow("empty format") << "[setup]\r\nformat=\r\n"_ba << 0 << 0 << QString() << QString()
                                  << QStringList();
    QTest::newRow("first character only") << "[setup]\r\nm3u=10\r\nhistory=21\r\n"_ba << 1 << 2
                                          << u"%1-%2"_s << QString() << QStringList();
    QTest::newRow("other states unchecked") << "[setup]\r\nm3u=3\r\nhistory=\r\n"_ba << 0 << 0
                                            << u"%1-%2"_s << QString() << QStringList();
    // The first line is the box's text, the others its list.
    QTest::newRow("filter") << "[filter]\r\nmp3\r\nrm\r\ntxt\r\n"_ba << 0 << 0 << u"%1-%2"_s
                            << u"mp3"_s << QStringList{u"rm"_s, u"txt"_s};
    QTest::newRow("filter cut") << "[filter]\r\n" + "ext-1234\r\n"_ba.repeated(10) + "last\r\n"
                                << 0 << 0 << u"%1-%2"_s << u"ext-1234"_s
                                << QStringList(9, u"ext-1234"_s) + QStringList{u"last"_s};
    // Eleven lines of nine bytes with separators take 99 bytes, but with one more line the
    // whole is cut to 98 and the eleventh separator falls outside: that line is never added.
    QTest::newRow("filter one too many")
        << "[filter]\r\n" + "ext-1234\r\n"_ba.repeated(11) + "last\r\n"
        << 0 << 0 << u"%1-%2"_s << u"ext-1234"_s << QStringList(9, u"ext-1234"_s);
    if (!TestFiles::systemCodePageIsGbk())
        return; // the rows below read GBK bytes as the system's
    QTest::newRow("gbk") << "[setup]\r\nformat=%1-\xB8\xE8\xCA\xD6\r\n[filter]\r\n\xD2\xF4\r\n"_ba
                         << 0 << 0 << u"%1-歌手"_s << u"音"_s << QStringList();
    // A first line too long for the buffer is still the box's text, cut on a whole character.
    QTest::newRow("long first filter line")
        << "[filter]\r\n" + QByteArray(97, 'a') + "\xB8\xE8\xB8\xE8\r\nmp3\r\n"
        << 0 << 0 << u"%1-%2"_s << QString(97, u'a') << QStringList();
}

void TestSettings::load() {
    QFETCH(QByteArray, content);
    QFETCH(int, playlist);
    QFETCH(int, history);
    QTemporaryDir dir;
    QVERIFY(TestFiles::write(iniPath(dir), content));
    const Settings settings = SettingsFile(dir.path()).LoadSettings();
    QCOMPARE(static_cast<int>(settings.playlist), playlist);
    QCOMPARE(static_cast<int>(settings.history), history);
    // A grayed box counts as on.
    QCOMPARE(isOn(settings.playlist), playlist != 0);
    QCOMPARE(isOn(settings.history), history != 0);
    QTEST(settings.nameTemplate, "nameTemplate");
    QTEST(settings.filterText, "filterText");
    QTEST(settings.filterItems, "filterItems");
}

// A file is read and written back in its own encoding; a new one is UTF-8, on Windows in the
// system code page. A template too long for the buffer is written whole and comes back cut on a
// whole character.
void TestSettings::encodingKeptAndCutWhole_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("loaded");
    QTest::addColumn<QByteArray>("song"); // 歌 in the file's encoding
    QTest::addColumn<int>("charactersBack");

    const QByteArray rest = "m3u=0\r\nm3upath=\r\nhistory=0\r\n"_ba;
    QTest::newRow("utf-8 with mark")
        << "\xEF\xBB\xBF[setup]\r\nformat=%1\xE3\x80\x8A%2\xE3\x80\x8B\r\n"_ba << u"%1《%2》"_s
        << "\xE6\xAD\x8C"_ba << 33;
    // Bytes the encoding cannot decode stay while the template is not changed.
    QTest::newRow("utf-8 with a bad byte") << "\xEF\xBB\xBF[setup]\r\nformat=%1\xFF%2\r\n"_ba
                                           << u"%1\uFFFD%2"_s << "\xE6\xAD\x8C"_ba << 33;
#ifdef Q_OS_WIN // which reads a file without the mark in its code page
    if (TestFiles::systemCodePageIsGbk())
        QTest::newRow("new file") << QByteArray() << u"%1-%2"_s << "\xB8\xE8"_ba << 49;
#else
    QTest::newRow("new file") << QByteArray() << u"%1-%2"_s << "\xE6\xAD\x8C"_ba << 33;
    QTest::newRow("utf-8") << "[setup]\r\nformat=%1\xE3\x80\x8A%2\xE3\x80\x8B\r\n"_ba
                           << u"%1《%2》"_s << "\xE6\xAD\x8C"_ba << 33;
#endif
    if (!TestFiles::systemCodePageIsGbk())
        return; // the row below reads GBK bytes as the system's
    QTest::newRow("gbk") << "[setup]\r\nformat=%1\xA1\xB6%2\xA1\xB7\r\n"_ba << u"%1《%2》"_s
                         << "\xB8\xE8"_ba << 49;
}

void TestSettings::encodingKeptAndCutWhole() {
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, song);
    QTemporaryDir dir;
    const SettingsFile file(dir.path());
    if (!before.isEmpty())
        QVERIFY(TestFiles::write(iniPath(dir), before));
    Settings settings = file.LoadSettings();
    QTEST(settings.nameTemplate, "loaded");

    // Saved unchanged, only the missing keys are added and the template's bytes stay.
    file.SaveSettings(settings);
    const QByteArray saved = TestFiles::read(iniPath(dir));
    if (!before.isEmpty())
        QCOMPARE(saved, before + "m3u=0\r\nm3upath=\r\nhistory=0\r\n");

    settings.nameTemplate = u"歌"_s.repeated(60);
    file.SaveSettings(settings);
    const qsizetype at = saved.indexOf("format=") + 7;
    QByteArray expected = saved;
    expected.replace(at, saved.indexOf('\r', at) - at, song.repeated(60));
    QCOMPARE(TestFiles::read(iniPath(dir)), expected);
    QFETCH(int, charactersBack);
    QCOMPARE(file.LoadSettings().nameTemplate, u"歌"_s.repeated(charactersBack));
}

void TestSettings::saveKeepsEverythingElseAndTwiceEqualsOnce() {
    QTemporaryDir dir;
    const SettingsFile file(dir.path());
    const QByteArray before =
        "; kept\r\n[Setup]\r\n  M3U = 0 \r\nnote=\xC4\xE3\r\nformat=%1\r\n\r\n"
        "[filter]\r\nmp3\r\nformat=x\r\n[other]\nhistory=1\n"_ba;
    QVERIFY(TestFiles::write(iniPath(dir), before));
    Settings settings = file.LoadSettings();
    settings.playlist = OptionState::Checked;
    settings.history = OptionState::Grayed;
    settings.nameTemplate = u"%2"_s;
    file.SaveSettings(settings);
    QCOMPARE(TestFiles::read(iniPath(dir)),
             "; kept\r\n[Setup]\r\n  M3U = 1 \r\nnote=\xC4\xE3\r\nformat=%2\r\nm3upath=\r\n"
             "history=2\r\n\r\n[filter]\r\nmp3\r\nformat=x\r\n[other]\nhistory=1\n"_ba);
    const QByteArray once = TestFiles::read(iniPath(dir));
    file.SaveSettings(settings);
    QCOMPARE(TestFiles::read(iniPath(dir)), once);
}

void TestSettings::m3uPathCarriedUnchanged() {
    QTemporaryDir dir;
    const SettingsFile file(dir.path());
    // Bytes that are no character of the code page come back as they were.
    QVERIFY(TestFiles::write(iniPath(dir), "[setup]\r\nm3upath=D:\\\xB8\xE8\x80\xFF\r\n"_ba));
    const Settings settings = file.LoadSettings();
    QCOMPARE(settings.m3uPath, "D:\\\xB8\xE8\x80\xFF"_ba);
    QVERIFY(TestFiles::write(iniPath(dir), QByteArray()));
    file.SaveSettings(settings);
    QVERIFY(TestFiles::read(iniPath(dir)).contains("m3upath=D:\\\xB8\xE8\x80\xFF\r\n"));
}

void TestSettings::failedSaveIsSilent() {
    QTemporaryDir dir;
    const SettingsFile file(dir.filePath(u"missing"_s));
    Settings settings = file.LoadSettings();
    settings.nameTemplate = u"%2"_s;
    file.SaveSettings(settings);
    QVERIFY(!QFileInfo::exists(dir.filePath(u"missing"_s)));
}

// On a full disk the save fails and says why; rename.ini keeps every byte it had, whether the
// temporary file could not be made or could not be filled.
void TestSettings::fullDiskLeavesTheFileWhole() {
#ifndef Q_OS_LINUX
    SKIP_TEST("needs a small tmpfs");
#else
    QTemporaryDir dir;
    const QString disk = dir.filePath(u"disk"_s);
    QVERIFY(QDir().mkpath(disk));
    if (QProcess::execute(u"mount"_s,
                          {u"-t"_s, u"tmpfs"_s, u"-o"_s, u"size=16k"_s, u"tmpfs"_s, disk}) != 0)
        SKIP_TEST("mounting a tmpfs is refused here (not root, or no mount in this sandbox)");
    // Just under a page, so that the new content needs a block the disk has no more of.
    QByteArray content = "[setup]\r\nm3u=0\r\nm3upath=\r\nhistory=0\r\nformat=%1-%2\r\n"
                         "[filter]\r\n"_ba;
    while (content.size() < 4096 - 16)
        content += "mp3\r\n";
    QVERIFY(TestFiles::write(disk + u"/rename.ini"_s, content));
    {
        QFile filler(disk + u"/filler"_s);
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        while (filler.write(QByteArray(512, 'x')) == 512) {
        }
    }
    const SettingsFile file(disk);
    Settings settings = file.LoadSettings();
    settings.nameTemplate = u"%1"_s.repeated(40);
    QString why;
    const SettingsFile::Saved saved = file.SaveSettings(settings, {}, &why);
    const QByteArray after = TestFiles::read(disk + u"/rename.ini"_s);
    QProcess::execute(u"umount"_s, {disk});
    QCOMPARE(saved, SettingsFile::Saved::No);
    QCOMPARE(why, u"磁盘空间不足"_s);
    QCOMPARE(after, content);
#endif
}

// A typed character GBK lacks turns a GBK rename.ini into UTF-8 behind a mark, on any system;
// every other line is kept.
void TestSettings::characterTheCodePageLacksTurnsTheFileUtf8() {
    if (!TestFiles::systemCodePageIsGbk())
        SKIP_TEST("the file's text is GBK, which only a GBK system reads as the program's own");
    QTemporaryDir dir;
    QVERIFY(TestFiles::write(iniPath(dir),
                             "[setup]\r\nformat=%1\xA1\xB6%2\r\n[filter]\r\n\xB8\xE8\r\n"_ba));
    const SettingsFile file(dir.path());
    Settings settings = file.LoadSettings();
    QCOMPARE(settings.nameTemplate, u"%1《%2"_s);
    settings.nameTemplate = u"%1♪한《%2"_s;
    QCOMPARE(file.SaveSettings(settings), SettingsFile::Saved::Yes);
    const QByteArray saved = TestFiles::read(iniPath(dir));
    QVERIFY(saved.startsWith("\xEF\xBB\xBF"));
    QVERIFY(saved.contains("format=%1\xE2\x99\xAA\xED\x95\x9C\xE3\x80\x8A%2\r\n"));
    QVERIFY(saved.contains("[filter]\r\n\xE6\xAD\x8C\r\n"));
    QCOMPARE(file.LoadSettings().nameTemplate, u"%1♪한《%2"_s);
}

// Written after the four keys only while on; "1" alone is on.
void TestSettings::id3v2Option() {
    QTemporaryDir dir;
    const SettingsFile file(dir.path());
    const QByteArray four = "[setup]\r\nm3u=0\r\nm3upath=\r\nhistory=0\r\nformat=%1-%2\r\n"_ba;
    QVERIFY(TestFiles::write(iniPath(dir), four));
    Settings settings = file.LoadSettings();
    QVERIFY(!settings.readId3v2);
    settings.readId3v2 = true;
    file.SaveSettings(settings);
    QCOMPARE(TestFiles::read(iniPath(dir)), four + "id3v2=1\r\n");
    QVERIFY(file.LoadSettings().readId3v2);
    settings.readId3v2 = false;
    file.SaveSettings(settings);
    QCOMPARE(TestFiles::read(iniPath(dir)), four);
    for (const QByteArray &value : {"10"_ba, "true"_ba, "on"_ba}) {
        QVERIFY(TestFiles::write(iniPath(dir), "[setup]\r\nid3v2=" + value + "\r\n"));
        QVERIFY(!file.LoadSettings().readId3v2);
    }
}

// codepage, id3v2, allformats, safenames: each written only when on, always in that order
// whichever was turned on first; a file without them reads them as off.
void TestSettings::optionsKeepTheirOrder_data() {
    QTest::addColumn<QByteArray>("before"); // the lines after the four keys
    QTest::addColumn<QStringList>("turnedOn");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("none") << QByteArray() << QStringList() << QByteArray();
    QTest::newRow("safe names alone")
        << QByteArray() << QStringList{u"safenames"_s} << "safenames=1\r\n"_ba;
    QTest::newRow("all formats added before safe names")
        << "safenames=1\r\n"_ba << QStringList{u"safenames"_s, u"allformats"_s}
        << "allformats=1\r\nsafenames=1\r\n"_ba;
    QTest::newRow("id3v2 added before both")
        << "allformats=1\r\nsafenames=1\r\n"_ba
        << QStringList{u"allformats"_s, u"safenames"_s, u"id3v2"_s}
        << "id3v2=1\r\nallformats=1\r\nsafenames=1\r\n"_ba;
    QTest::newRow("codepage first")
        << "id3v2=1\r\nsafenames=1\r\n"_ba
        << QStringList{u"id3v2"_s, u"safenames"_s, u"codepage"_s, u"allformats"_s}
        << "codepage=Big5\r\nid3v2=1\r\nallformats=1\r\nsafenames=1\r\n"_ba;
    QTest::newRow("turned off") << "id3v2=1\r\nallformats=1\r\nsafenames=1\r\n"_ba
                                << QStringList{u"allformats"_s} << "allformats=1\r\n"_ba;
}

void TestSettings::optionsKeepTheirOrder() {
    QFETCH(QByteArray, before);
    QFETCH(QStringList, turnedOn);
    QTemporaryDir dir;
    const SettingsFile file(dir.path());
    const QByteArray four = "[setup]\r\nm3u=0\r\nm3upath=\r\nhistory=0\r\nformat=%1-%2\r\n"_ba;
    QVERIFY(TestFiles::write(iniPath(dir), four + before));
    Settings settings = file.LoadSettings();
    settings.tagCodePage = turnedOn.contains(u"codepage"_s) ? LegacyText::kBig5 : 0;
    settings.readId3v2 = turnedOn.contains(u"id3v2"_s);
    settings.allFormats = turnedOn.contains(u"allformats"_s);
    settings.safeNames = turnedOn.contains(u"safenames"_s);
    file.SaveSettings(settings);
    QFETCH(QByteArray, after);
    QCOMPARE(TestFiles::read(iniPath(dir)), four + after);
    const Settings read = file.LoadSettings();
    QCOMPARE(read.allFormats, settings.allFormats);
    QCOMPARE(read.safeNames, settings.safeNames);
}

void TestSettings::tagCodePage_data() {
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<int>("codePage");
    QTest::newRow("GBK") << "GBK"_ba << LegacyText::kGbk;
    QTest::newRow("gb18030") << "gb18030"_ba << LegacyText::kGb18030;
    QTest::newRow("BIG5") << "BIG5"_ba << LegacyText::kBig5;
    QTest::newRow("shift_jis") << "shift_jis"_ba << LegacyText::kShiftJis;
    QTest::newRow("EUC-KR") << "EUC-KR"_ba << LegacyText::kEucKr;
    QTest::newRow("Windows-1251") << "Windows-1251"_ba << LegacyText::kWindows1251;
    QTest::newRow("windows-1252") << "windows-1252"_ba << LegacyText::kWindows1252;
    QTest::newRow("utf-8") << "utf-8"_ba << LegacyText::kUtf8;
    QTest::newRow("AUTO") << "AUTO"_ba << LegacyText::kAutoUtf8;
    QTest::newRow("unknown") << "UTF8"_ba << LegacyText::kSystemCodePage;
    QTest::newRow("empty") << QByteArray() << LegacyText::kSystemCodePage;
}

void TestSettings::tagCodePage() {
    QFETCH(QByteArray, value);
    QTemporaryDir dir;
    QVERIFY(TestFiles::write(iniPath(dir), "[setup]\r\ncodepage=" + value + "\r\n"));
    QTEST(SettingsFile(dir.path()).LoadSettings().tagCodePage, "codePage");
}

// codepage follows the four keys and stays before id3v2, and goes when back to the default.
void TestSettings::tagCodePageWrittenBeforeId3v2() {
    QTemporaryDir dir;
    const SettingsFile file(dir.path());
    const QByteArray four = "[setup]\r\nm3u=0\r\nm3upath=\r\nhistory=0\r\nformat=%1-%2\r\n"_ba;
    QVERIFY(TestFiles::write(iniPath(dir), four + "id3v2=1\r\n"));
    Settings settings = file.LoadSettings();
    settings.tagCodePage = LegacyText::kBig5;
    file.SaveSettings(settings);
    QCOMPARE(TestFiles::read(iniPath(dir)), four + "codepage=Big5\r\nid3v2=1\r\n");
    settings.tagCodePage = LegacyText::kAutoUtf8;
    file.SaveSettings(settings);
    QCOMPARE(TestFiles::read(iniPath(dir)), four + "codepage=auto\r\nid3v2=1\r\n");
    QCOMPARE(file.LoadSettings().tagCodePage, LegacyText::kAutoUtf8);
    settings.tagCodePage = LegacyText::kSystemCodePage;
    settings.readId3v2 = false;
    file.SaveSettings(settings);
    QCOMPARE(TestFiles::read(iniPath(dir)), four);
}

void TestSettings::dataFolders_data() {
    QTest::addColumn<QString>("installed"); // "program": the program's own folder
    QTest::addColumn<bool>("writable");
    QTest::addColumn<bool>("portable");
    QTest::newRow("writable, not installed") << u"/usr/bin"_s << true << true;
    QTest::newRow("nothing installed") << QString() << true << true;
    QTest::newRow("installed here") << u"program"_s << true << false;
    QTest::newRow("read-only") << u"/usr/bin"_s << false << false;
}

void TestSettings::dataFolders() {
    QFETCH(QString, installed);
    QFETCH(bool, writable);
    QTemporaryDir program;
    QVERIFY(QDir(program.path()).mkdir(u"bin"_s));
    // The same folder written another way still counts as the installed one.
    const QString bin = program.filePath(u"bin"_s);
    if (installed == u"program"_s)
        installed = program.filePath(u"bin/../bin/"_s);
    const DataFolders folders = chooseDataFolders(bin, installed, writable, u"/home/u/.config/t"_s);
    QCOMPARE(folders.programDirectory, bin + QDir::separator());
    QTEST(folders.isPortable(), "portable");
    if (!folders.isPortable())
        QCOMPARE(folders.dataDirectory, TestFiles::native(u"/home/u/.config/t/"_s));
}

// Away from the program, its own rename.ini is read until the first save, which goes to the
// configuration folder, made then, and keeps the hand-written filter lines.
void TestSettings::configFolderStartsFromTheProgramsFile() {
    QTemporaryDir program;
    QTemporaryDir home;
    const QString config = home.filePath(u"config/tunemark"_s);
    const DataFolders folders{program.path() + u'/', config + u'/'};
    const QByteArray beside = "[setup]\r\nformat=%2\r\n[filter]\r\nmp3\r\n"_ba;
    QVERIFY(TestFiles::write(iniPath(program), beside));

    Settings settings = SettingsFile(folders).LoadSettings();
    QCOMPARE(settings.nameTemplate, u"%2"_s);
    settings.nameTemplate = u"%1"_s;
    SettingsFile(folders).SaveSettings(settings);
    QCOMPARE(TestFiles::read(iniPath(program)), beside);
    QCOMPARE(TestFiles::read(config + u"/rename.ini"_s),
             "[setup]\r\nformat=%1\r\nm3u=0\r\nm3upath=\r\nhistory=0\r\n[filter]\r\nmp3\r\n"_ba);
    QCOMPARE(SettingsFile(folders).LoadSettings().nameTemplate, u"%1"_s);
}

// A program folder whose name is not UTF-8: rename.ini and elanguage.dat
// there are read, and saving writes rename.ini. The test program copies itself into such a
// folder and runs this test there, where it checks the program directory it finds.
void TestSettings::programFolderThatIsNotUtf8() {
#ifndef Q_OS_LINUX
    QSKIP("the program folder is held open through /proc on Linux only");
#else
    if (qEnvironmentVariableIsSet("TUNEMARK_IN_GBK_FOLDER")) {
        const QString dir = Paths::programDirectory();
        QVERIFY2(dir.startsWith(u"/proc/self/fd/"_s), qPrintable(dir));
        Settings settings = SettingsFile(dir).LoadSettings();
        QCOMPARE(settings.nameTemplate, u"%2"_s);
        settings.history = OptionState::Checked;
        SettingsFile(dir).SaveSettings(settings);
        QCOMPARE(LoadLanguage(DataFolders::portable(dir)).buttons, QStringList{u"加"_s});
        return;
    }
    QTemporaryDir tmp;
    const QByteArray folder = QFile::encodeName(tmp.path()) + "/\xB8\xE8"; // 歌 in GBK
    QCOMPARE(mkdir(folder.constData(), 0755), 0);
    const QString copy = tmp.filePath(u"copy"_s);
    QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), copy));
    QCOMPARE(::rename(QFile::encodeName(copy).constData(), (folder + "/tst_settings").constData()),
             0);
    const auto write = [](const QByteArray &path, const QByteArray &content) {
        QFile file;
        const int fd = open(path.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        QVERIFY(fd >= 0 && file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle));
        QCOMPARE(file.write(content), content.size());
    };
    write(folder + "/rename.ini", "[setup]\r\nformat=%2\r\n");
    write(folder + "/elanguage.dat", "[button]\r\n\xBC\xD3\r\n"); // 加 in GBK

    // The shell takes the folder's bytes from printf's octal escapes.
    QString escaped;
    for (const char c : folder)
        escaped += u"\\%1"_s.arg(uint(uchar(c)), 3, 8, QChar(u'0'));
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"TUNEMARK_IN_GBK_FOLDER"_s, u"1"_s);
    child.setProcessEnvironment(env);
    child.start(u"sh"_s, {u"-c"_s, u"cd \"$(printf '%1')\" && exec ./tst_settings "
                                   "programFolderThatIsNotUtf8"_s.arg(escaped)});
    QVERIFY(child.waitForFinished(120000));
    QCOMPARE(child.exitCode(), 0);

    QFile ini;
    const int fd = open((folder + "/rename.ini").constData(), O_RDONLY);
    QVERIFY(fd >= 0 && ini.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle));
    QCOMPARE(ini.readAll(), "[setup]\r\nformat=%2\r\nm3u=0\r\nm3upath=\r\nhistory=1\r\n"_ba);
    ini.close();
    // A name QTemporaryDir can remove.
    QCOMPARE(::rename(folder.constData(), QFile::encodeName(tmp.filePath(u"gbk"_s)).constData()),
             0);
#endif
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
