#include "dialogs/SysDlg32.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace Qt::Literals::StringLiterals;

namespace {

const QChar kNul;

QString nul(const QString &s) {
    QString out = s;
    return out.replace(u'|', kNul);
}

// Runs act on the file dialog as soon as it is shown modally.
void whenDialogShows(std::function<void(QFileDialog *)> act) {
    auto *timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget())) {
            timer->deleteLater();
            timer->stop();
            act(dialog);
        }
    });
    timer->start(10);
}

} // namespace

class TestSysDlg32 : public QObject {
    Q_OBJECT
private slots:
    void nameFilters_data();
    void nameFilters();
    void packSelection_data();
    void packSelection();
    void folderResult_data();
    void folderResult();
    void openFileDialog_data();
    void openFileDialog();
    void startFolder();
    void folderDialog();
};

void TestSysDlg32::nameFilters_data() {
    QTest::addColumn<QString>("packed");
    QTest::addColumn<QStringList>("filters");
    QTest::newRow("adding files")
        << nul(u"ALL(*.mp3;*.rm)|*.mp3;*.rm|mp3 (*.mp3)|*.mp3|rm (*.rm)|*.rm"_s)
        << QStringList{u"ALL(*.mp3;*.rm) (*.mp3 *.rm)"_s, u"mp3 (*.mp3) (*.mp3)"_s,
                       u"rm (*.rm) (*.rm)"_s};
    QTest::newRow("none") << QString() << QStringList();
    QTest::newRow("display without patterns")
        << nul(u"Text|*.txt|Lone"_s) << QStringList{u"Text (*.txt)"_s};
    QTest::newRow("empty and spaced patterns")
        << nul(u"All||Some| *.a ;;*.b"_s) << QStringList{u"All (*)"_s, u"Some (*.a *.b)"_s};
}

void TestSysDlg32::nameFilters() {
    QFETCH(QString, packed);
    QFETCH(QStringList, filters);
    QCOMPARE(SysDlg32::nameFilters(packed), filters);
}

void TestSysDlg32::packSelection_data() {
    QTest::addColumn<QStringList>("paths");
    QTest::addColumn<QString>("packed");
    QTest::newRow("none") << QStringList() << QString();
    QTest::newRow("one") << QStringList{u"/m/a.mp3"_s} << nul(u"/m/a.mp3||"_s);
    QTest::newRow("three") << QStringList{u"/m/a.mp3"_s, u"/m/b.rm"_s, u"/m/c.mp3"_s}
                           << nul(u"/m|a.mp3|b.rm|c.mp3||"_s);
    QTest::newRow("root") << QStringList{u"/a.mp3"_s, u"/b.rm"_s} << nul(u"/|a.mp3|b.rm||"_s);
    QTest::newRow("two folders") << QStringList{u"/m/a.mp3"_s, u"/n/b.rm"_s}
                                 << nul(u"/m/a.mp3||"_s);
}

void TestSysDlg32::packSelection() {
    QFETCH(QStringList, paths);
    QFETCH(QString, packed);
    QCOMPARE(SysDlg32::packSelection(paths), QDir::toNativeSeparators(packed));
}

void TestSysDlg32::folderResult_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("result");
    QTest::newRow("cancel") << QString() << QString();
    QTest::newRow("root") << u"/"_s << u"/"_s;
    QTest::newRow("folder") << u"/home/x"_s << u"/home/x"_s;
    QTest::newRow("trailing separator") << u"/home/x/"_s << u"/home/x"_s;
}

void TestSysDlg32::folderResult() {
    QFETCH(QString, chosen);
    QFETCH(QString, result);
    QCOMPARE(SysDlg32::folderResult(chosen), QDir::toNativeSeparators(result));
}

void TestSysDlg32::openFileDialog_data() {
    QTest::addColumn<QString>("typed"); // empty: cancel
    QTest::addColumn<QString>("packed");
    QTest::newRow("cancel") << QString() << QString();
    QTest::newRow("one") << u"b.rm"_s << u"~/b.rm||"_s;
    QTest::newRow("several") << u"\"a.mp3\" \"c.mp3\""_s << u"~|a.mp3|c.mp3||"_s;
}

void TestSysDlg32::openFileDialog() {
    QFETCH(QString, typed);
    QFETCH(QString, packed);
    QTemporaryDir dir;
    for (const QString &name : {u"a.mp3"_s, u"b.rm"_s, u"c.mp3"_s}) {
        QFile f(dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    QString title, directory, filter;
    whenDialogShows([&](QFileDialog *dialog) {
        title = dialog->windowTitle();
        directory = dialog->directory().absolutePath();
        // The dialog shows the display text and filters by the patterns.
        filter = dialog->selectedNameFilter() + u'|' +
                 dialog->findChild<QFileSystemModel *>()->nameFilters().join(u' ');
        if (typed.isEmpty())
            return dialog->reject();
        dialog->findChild<QLineEdit *>(u"fileNameEdit"_s)->setText(typed);
        static_cast<QDialog *>(dialog)->accept(); // QFileDialog checks the choice
    });
    const QString result = GetDlgSelectFileInfo(
        nullptr, u"打开"_s, nul(u"ALL(*.mp3;*.rm)|*.mp3;*.rm|rm (*.rm)|*.rm"_s), QString(),
        QDir::toNativeSeparators(dir.path()), 524800);

    QCOMPARE(result, nul(packed.replace(u'~', QDir::toNativeSeparators(dir.path()))));
    QCOMPARE(title, u"打开"_s);
    QCOMPARE(directory, QDir(dir.path()).absolutePath());
    QCOMPARE(filter, u"ALL(*.mp3;*.rm)|*.mp3 *.rm"_s);
}

void TestSysDlg32::startFolder() {
    QString directory;
    whenDialogShows([&](QFileDialog *dialog) {
        directory = dialog->directory().absolutePath();
        dialog->reject();
    });
    QCOMPARE(GetDlgSelectFileInfo(nullptr, u"打开"_s, QString(), QString(), QString(), 0),
             QString());
    QCOMPARE(directory, QDir::currentPath());
    // A start folder that does not exist leaves the dialog where it opens by default.
    whenDialogShows([](QFileDialog *dialog) { dialog->reject(); });
    QCOMPARE(
        GetDlgSelectFileInfo(nullptr, u"打开"_s, QString(), QString(), u"d:\\temp\\rm"_s, 524800),
        QString());
}

void TestSysDlg32::folderDialog() {
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(u"sub"_s));
    whenDialogShows([&](QFileDialog *dialog) {
        dialog->setDirectory(dir.filePath(u"sub"_s));
        static_cast<QDialog *>(dialog)->accept(); // QFileDialog checks the choice
    });
    QCOMPARE(GetDlgSelectFolder(nullptr, u"Tunemark"_s),
             QDir::toNativeSeparators(dir.filePath(u"sub"_s)));
    whenDialogShows([](QFileDialog *dialog) { dialog->reject(); });
    QCOMPARE(GetDlgSelectFolder(nullptr, u"Tunemark"_s), QString());
}

QTEST_MAIN(TestSysDlg32)
#include "tst_sysdlg32.moc"
