#include "dialogs/QtChinese.h"
#include "dialogs/QtUserDialogs.h"
#include "dialogs/SysDlg32.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>

using namespace Qt::Literals::StringLiterals;

namespace {

// "|" stands for NUL, "~" for dir, "/" for the native separator.
QString packed(QString s, const QString &dir = {}) {
    return QDir::toNativeSeparators(s.replace(u'~', dir)).replace(u'|', QChar());
}

// Runs act on the dialog as soon as it is shown modally.
template <typename Dialog = QFileDialog, typename Act> void whenDialogShows(Act act) {
    auto *timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(dialog);
        }
    });
    timer->start(10);
}

} // namespace

class TestSysDlg32 : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void translations();
    void selection_data();
    void selection();
    void openFileDialog_data();
    void openFileDialog();
    void folderDialog();
    void messageBoxes();

private:
    QTranslator m_qtChinese;
};

void TestSysDlg32::initTestCase() {
    QVERIFY(installQtChinese(m_qtChinese));
    // Qt's own dialogs, which a test can look into; on Windows the program shows the system's.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
}

void TestSysDlg32::translations() {
    QCOMPARE(
        SysDlg32::nameFilters(packed(u"ALL(*.mp3;*.rm)|*.mp3;*.rm|All||Some| *.a ;;*.b|Lone"_s)),
        QStringList({u"ALL(*.mp3;*.rm) (*.mp3 *.rm)"_s, u"All (*)"_s, u"Some (*.a *.b)"_s}));
    QCOMPARE(SysDlg32::nameFilters(QString()), QStringList());

    // The packed form holds one folder.
    QCOMPARE(SysDlg32::packSelection({u"/m/a.mp3"_s, u"/n/b.rm"_s}), packed(u"/m/a.mp3||"_s));

    QCOMPARE(SysDlg32::folderResult(u"/"_s), packed(u"/"_s));
    QCOMPARE(SysDlg32::folderResult(u"/home/x/"_s), packed(u"/home/x"_s));
    QCOMPARE(SysDlg32::folderResult(QString()), QString());
}

void TestSysDlg32::selection_data() {
    QTest::addColumn<QString>("selection"); // as for packed()
    QTest::addColumn<QStringList>("paths");
    QTest::newRow("none") << QString() << QStringList();
    QTest::newRow("one file") << u"/m/a.mp3||"_s << QStringList{u"/m/a.mp3"_s};
    QTest::newRow("one file in root") << u"/a.mp3||"_s << QStringList{u"/a.mp3"_s};
    QTest::newRow("three files") << u"/m|a.mp3|b.rm|c.mp3||"_s
                                 << QStringList{u"/m/a.mp3"_s, u"/m/b.rm"_s, u"/m/c.mp3"_s};
    QTest::newRow("several in root") << u"/|x.mp3|y.rm||"_s << QStringList{u"/x.mp3"_s, u"/y.rm"_s};
    // Malformed: these unpack to nothing.
    QTest::newRow("two segments") << u"/m/a.mp3|"_s << QStringList();
    QTest::newRow("bare name") << u"a.mp3||"_s << QStringList();
}

void TestSysDlg32::selection() {
    QFETCH(QString, selection);
    QFETCH(QStringList, paths);
    const QString text = packed(selection);
    for (QString &path : paths)
        path = QDir::toNativeSeparators(path);
    QCOMPARE(SysDlg32::unpackSelection(text), paths);
    // Each well-formed selection is what packing its paths gives.
    if (!paths.isEmpty() || text.isEmpty())
        QCOMPARE(SysDlg32::packSelection(paths), text);
}

void TestSysDlg32::openFileDialog_data() {
    QTest::addColumn<QString>("typed"); // empty: cancel
    QTest::addColumn<QStringList>("result");
    QTest::newRow("cancel") << QString() << QStringList();
    QTest::newRow("one") << u"b.rm"_s << QStringList{u"~/b.rm||"_s};
    QTest::newRow("several") << u"\"a.mp3\" \"c.mp3\""_s << QStringList{u"~|a.mp3|c.mp3||"_s};
    QTest::newRow("two folders") << u"\"c.mp3\" \"sub/d.rm\" \"a.mp3\""_s
                                 << QStringList{u"~/c.mp3||"_s, u"~/sub/d.rm||"_s, u"~/a.mp3||"_s};
}

void TestSysDlg32::openFileDialog() {
    QFETCH(QString, typed);
    QFETCH(QStringList, result);
    QTemporaryDir dir;
    for (QString &r : result)
        r = packed(r, dir.path());
    QVERIFY(QDir(dir.path()).mkdir(u"sub"_s));
    QVERIFY(QFile(dir.filePath(u"sub/d.rm"_s)).open(QIODevice::WriteOnly));
    for (const QString &name : {u"a.mp3"_s, u"b.rm"_s, u"c.mp3"_s}) {
        QFile f(dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    QString seen;
    whenDialogShows([&](QFileDialog *dialog) {
        // The display text is shown, the patterns filter.
        seen = QStringList{dialog->windowTitle(),
                           dialog->directory().absolutePath(),
                           dialog->selectedNameFilter(),
                           dialog->findChild<QFileSystemModel *>()->nameFilters().join(u' '),
                           dialog->labelText(QFileDialog::Accept),
                           dialog->labelText(QFileDialog::Reject),
                           dialog->labelText(QFileDialog::FileName)}
                   .join(u'|');
        if (typed.isEmpty())
            return dialog->reject();
        dialog->findChild<QLineEdit *>(u"fileNameEdit"_s)->setText(typed);
        static_cast<QDialog *>(dialog)->accept(); // QFileDialog checks the choice
    });
    QCOMPARE(GetDlgSelectFileInfo(nullptr, u"打开"_s,
                                  packed(u"ALL(*.mp3;*.rm)|*.mp3;*.rm|rm|*.rm"_s), QString(),
                                  QDir::toNativeSeparators(dir.path()), 524800),
             result);
    QCOMPARE(seen, u"打开|"_s + dir.path() +
                       u"|ALL(*.mp3;*.rm)|*.mp3 *.rm|打开(&O)|取消|文件名称(&N)："_s);
}

void TestSysDlg32::folderDialog() {
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(u"sub"_s));
    whenDialogShows([&](QFileDialog *dialog) {
        dialog->setDirectory(dir.filePath(u"sub"_s));
        static_cast<QDialog *>(dialog)->accept();
    });
    QCOMPARE(GetDlgSelectFolder(nullptr, u"Tunemark"_s), packed(u"~/sub"_s, dir.path()));
    whenDialogShows([](QFileDialog *dialog) { dialog->reject(); });
    QCOMPARE(GetDlgSelectFolder(nullptr, u"Tunemark"_s), QString());
}

// Every message and question carries the program's title; the question's buttons answer it.
void TestSysDlg32::messageBoxes() {
    QtUserDialogs dialogs;
    QStringList seen;
    const auto press = [&](QMessageBox::StandardButton button) {
        whenDialogShows<QMessageBox>([&seen, button](QMessageBox *box) {
            // Wide enough for its title whole, however short its text.
            if (box->width() < box->fontMetrics().horizontalAdvance(box->windowTitle()) * 2)
                seen << u"narrow"_s;
            seen << box->windowTitle() + u'|' + box->text();
            for (QAbstractButton *b : box->buttons())
                seen.last() += u'|' + b->text();
            box->button(button)->click();
        });
    };
    press(QMessageBox::Ok);
    dialogs.showMessage(u"自动改名完成"_s);
    press(QMessageBox::No);
    QVERIFY(!dialogs.askYesNo(u"把所有文件改名吗？"_s));
    press(QMessageBox::Yes);
    QVERIFY(dialogs.askYesNo(u"把所有文件改名吗？"_s));
    press(QMessageBox::Ok);
    dialogs.showMessage(u"好"_s);
    // Qt's own texts read in Chinese.
    QCOMPARE(seen,
             QStringList({u"Tunemark|自动改名完成|确定"_s,
                          u"Tunemark|把所有文件改名吗？|是(&Y)|否(&N)"_s,
                          u"Tunemark|把所有文件改名吗？|是(&Y)|否(&N)"_s, u"Tunemark|好|确定"_s}));
}

QTEST_MAIN(TestSysDlg32)
#include "tst_sysdlg32.moc"
