#include "settings/Settings.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

// The window's settings controls as the window starts with them.
class FakeControls : public SettingsControls {
public:
    int playlist = 0;
    int history = 0;
    QString nameTemplateText = u"%1-%2"_s;
    QString filterText = u"Combo1"_s;
    QStringList filterItems;

    int playlistState() const override { return playlist; }
    void setPlaylistState(int state) override { playlist = state; }
    int historyState() const override { return history; }
    void setHistoryState(int state) override { history = state; }
    QString nameTemplate() const override { return nameTemplateText; }
    void setNameTemplate(const QString &text) override { nameTemplateText = text; }
    void setFilterText(const QString &text) override { filterText = text; }
    void addFilterItem(const QString &text) override { filterItems << text; }
};

} // namespace

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void iniPathHasOneSeparator();
    void noFileGivesDefaultsAndSaveWritesThem();
    void load_data();
    void load();
    void longTemplateWrittenWholeReadBackCut();
    void saveKeepsEverythingElseAndTwiceEqualsOnce();
    void m3uPathCarriedUnchanged();
    void failedSaveIsSilent();
    void fillComboList();
};

void TestSettings::iniPathHasOneSeparator() {
    const QString dir = QDir::rootPath();
    QCOMPARE(SettingsStore(dir).IniPath(), dir + u"rename.ini"_s);
    QCOMPARE(SettingsStore(u"/opt/app"_s).IniPath(),
             u"/opt/app"_s + QDir::separator() + u"rename.ini"_s);
}

void TestSettings::noFileGivesDefaultsAndSaveWritesThem() {
    QTemporaryDir dir;
    SettingsStore store(dir.path());
    FakeControls controls;
    controls.playlist = 1;
    controls.nameTemplateText = u"typed"_s;
    store.LoadSettings(controls);
    QCOMPARE(controls.playlist, 0);
    QCOMPARE(controls.history, 0);
    QCOMPARE(controls.nameTemplateText, u"%1-%2"_s);
    QCOMPARE(controls.filterText, QString());
    QVERIFY(controls.filterItems.isEmpty());
    QCOMPARE(store.M3uPath(), QString());

    store.SaveSettings(controls);
    QCOMPARE(TestFiles::read(store.IniPath()),
             "[setup]\r\nm3u=0\r\nm3upath=\r\nhistory=0\r\nformat=%1-%2\r\n"_ba);
    // No temporary file is left beside it.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"rename.ini"_s});
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
    QTest::newRow("filter") << "[filter]\r\nmp3\r\nrm\r\ntxt\r\n"_ba << 0 << 0 << u"%1-%2"_s
                            << u"mp3"_s << QStringList{u"rm"_s, u"txt"_s};
    QTest::newRow("filter cut") << "[filter]\r\n" + "ext-1234\r\n"_ba.repeated(10) + "last\r\n"
                                << 0 << 0 << u"%1-%2"_s << u"ext-1234"_s
                                << QStringList(9, u"ext-1234"_s) + QStringList{u"last"_s};
    // Eleven lines of nine bytes with separators take 99 bytes, but with one more line the
    // whole is cut to 98 and the eleventh separator falls outside.
    QTest::newRow("filter one too many")
        << "[filter]\r\n" + "ext-1234\r\n"_ba.repeated(11) + "last\r\n"
        << 0 << 0 << u"%1-%2"_s << u"ext-1234"_s << QStringList(9, u"ext-1234"_s);
    QTest::newRow("gbk") << "[setup]\r\nformat=%1-\xB8\xE8\xCA\xD6\r\n[filter]\r\n\xD2\xF4\r\n"_ba
                         << 0 << 0 << u"%1-歌手"_s << u"音"_s << QStringList();
    // A first line too long for the buffer is still the box's text, cut on a whole character.
    QTest::newRow("long first filter line")
        << "[filter]\r\n" + QByteArray(97, 'a') + "\xB8\xE8\xB8\xE8\r\nmp3\r\n"
        << 0 << 0 << u"%1-%2"_s << QString(97, u'a') << QStringList();
}

void TestSettings::load() {
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    SettingsStore store(dir.path());
    QVERIFY(TestFiles::write(store.IniPath(), content));
    FakeControls controls;
    store.LoadSettings(controls);
    QTEST(controls.playlist, "playlist");
    QTEST(controls.history, "history");
    QTEST(controls.nameTemplateText, "nameTemplate");
    QTEST(controls.filterText, "filterText");
    QTEST(controls.filterItems, "filterItems");
}

void TestSettings::longTemplateWrittenWholeReadBackCut() {
    QTemporaryDir dir;
    SettingsStore store(dir.path());
    FakeControls controls;
    store.LoadSettings(controls);
    // 60 two-byte characters: 120 bytes, of which 99 cannot be taken without halving one.
    controls.nameTemplateText = u"歌"_s.repeated(60);
    store.SaveSettings(controls);
    QVERIFY(
        TestFiles::read(store.IniPath()).contains("format=" + "\xB8\xE8"_ba.repeated(60) + "\r\n"));

    FakeControls next;
    SettingsStore(dir.path()).LoadSettings(next);
    QCOMPARE(next.nameTemplateText, u"歌"_s.repeated(49));

    controls.nameTemplateText = QString(120, u'a');
    store.SaveSettings(controls);
    SettingsStore(dir.path()).LoadSettings(next);
    QCOMPARE(next.nameTemplateText, QString(99, u'a'));
}

void TestSettings::saveKeepsEverythingElseAndTwiceEqualsOnce() {
    QTemporaryDir dir;
    SettingsStore store(dir.path());
    const QByteArray before =
        "; kept\r\n[Setup]\r\n  M3U = 0 \r\nnote=\xC4\xE3\r\nformat=%1\r\n\r\n"
        "[filter]\r\nmp3\r\nformat=x\r\n[other]\nhistory=1\n"_ba;
    QVERIFY(TestFiles::write(store.IniPath(), before));
    FakeControls controls;
    store.LoadSettings(controls);
    controls.playlist = 1;
    controls.history = 2;
    controls.nameTemplateText = u"%2"_s;
    store.SaveSettings(controls);
    QCOMPARE(TestFiles::read(store.IniPath()),
             "; kept\r\n[Setup]\r\n  M3U = 1 \r\nnote=\xC4\xE3\r\nformat=%2\r\nm3upath=\r\n"
             "history=2\r\n\r\n[filter]\r\nmp3\r\nformat=x\r\n[other]\nhistory=1\n"_ba);
    const QByteArray once = TestFiles::read(store.IniPath());
    store.SaveSettings(controls);
    QCOMPARE(TestFiles::read(store.IniPath()), once);
}

void TestSettings::m3uPathCarriedUnchanged() {
    QTemporaryDir dir;
    SettingsStore store(dir.path());
    // Bytes that are no character of the code page come back as they were.
    QVERIFY(TestFiles::write(store.IniPath(), "[setup]\r\nm3upath=D:\\\xB8\xE8\x80\xFF\r\n"_ba));
    FakeControls controls;
    store.LoadSettings(controls);
    QVERIFY(store.M3uPath().startsWith(u"D:\\歌"_s));
    QVERIFY(TestFiles::write(store.IniPath(), QByteArray()));
    store.SaveSettings(controls);
    QVERIFY(TestFiles::read(store.IniPath()).contains("m3upath=D:\\\xB8\xE8\x80\xFF\r\n"));
}

void TestSettings::failedSaveIsSilent() {
    QTemporaryDir dir;
    SettingsStore store(dir.filePath(u"missing"_s));
    FakeControls controls;
    store.LoadSettings(controls);
    controls.nameTemplateText = u"%2"_s;
    store.SaveSettings(controls);
    QVERIFY(!QFileInfo::exists(store.IniPath()));
    QCOMPARE(controls.nameTemplateText, u"%2"_s);
}

void TestSettings::fillComboList() {
    FakeControls combo;
    combo.filterItems << u"old"_s;
    const QChar nul(0);
    FillComboList(combo, u"mp3"_s + nul + u"rm"_s + nul + u"cut"_s);
    QCOMPARE(combo.filterText, u"mp3"_s);
    // Appended to, never cleared; the part after the last separator is never added.
    QCOMPARE(combo.filterItems, (QStringList{u"old"_s, u"rm"_s}));
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
