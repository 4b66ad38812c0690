#include "dialogs/QtChinese.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QFontDatabase>
#include <QGlyphRun>
#include <QLocale>
#include <QRawFont>
#include <QTest>
#include <QTextLayout>

using namespace Qt::Literals::StringLiterals;

// Run under several desktop languages (LANG, set by ctest): Han characters take the Simplified
// Chinese family whatever the language, where one is installed.
class TestChineseForms : public QObject {
    Q_OBJECT
private slots:
    void hanTextTakesChineseForms();
};

void TestChineseForms::hanTextTakesChineseForms() {
    useChineseForms();
    QCOMPARE(QLocale().language(), QLocale::Chinese);
    // The first Simplified Chinese family the program asks for.
#ifdef Q_OS_WIN
    const QString chinese = u"Microsoft YaHei UI"_s;
#else
    const QString chinese = u"Noto Sans CJK SC"_s;
#endif
    if (!QFontDatabase::families().contains(chinese))
        SKIP_TEST("no Simplified Chinese font of the program's choice is installed");
    QTextLayout layout(u"汉字直骨"_s, QApplication::font());
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    const QList<QGlyphRun> runs = layout.glyphRuns();
    QVERIFY(!runs.isEmpty());
    for (const QGlyphRun &run : runs)
        QCOMPARE(run.rawFont().familyName(), chinese);
}

QTEST_MAIN(TestChineseForms)
#include "tst_chineseforms.moc"
