// Renders the main window on each of its four pages to PNG files, with a few sample entries
// listed, and page 2 once more with the question its Rename button asks, so the window can be
// looked at without running the program:
//   QT_QPA_PLATFORM=offscreen tunemark_screens <output folder>
#include "app/Form1.h"
#include "dialogs/QtChinese.h"
#include "dialogs/QtUserDialogs.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <QTranslator>

namespace {

// Nothing is shown while rendering but the question, in the program's own box.
class SilentDialogs : public UserDialogs {
public:
    QtUserDialogs questions;

    void showMessage(const QString &) override {}
    bool askYesNo(const QString &text) override { return questions.askYesNo(text); }
    int askChoice(const QString &, const QStringList &) override { return 0; }
    QString GetDlgSelectFolder(const QString &) override { return {}; }
    QStringList GetDlgSelectFileInfo(const QString &, const QString &, const QString &,
                                     const QString &, quint32) override {
        return {};
    }
};

} // namespace

// The window with the question box drawn over it where it stands; the box is then answered No.
bool saveWithQuestion(QWidget &form, const QString &file) {
    bool saved = false;
    QTimer::singleShot(0, &form, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        QApplication::processEvents();
        QImage shot = form.grab().toImage();
        QPainter painter(&shot);
        painter.drawPixmap(box->frameGeometry().topLeft() - form.frameGeometry().topLeft(),
                           box->grab());
        painter.end();
        saved = shot.save(file);
        box->button(QMessageBox::No)->click();
    });
    QMetaObject::invokeMethod(form.findChild<QPushButton *>(QStringLiteral("Command1(4)")),
                              &QPushButton::click);
    return saved;
}

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QTranslator qtChinese;
    installQtChinese(qtChinese);
    useChineseForms();
    const QString out =
        QDir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".")).absolutePath();
    // A settings file with a filter list, and a small music folder for the all-files page.
    QTemporaryDir programDir;
    QFile ini(programDir.filePath(QStringLiteral("rename.ini")));
    if (ini.open(QIODevice::WriteOnly))
        ini.write("[setup]\r\nformat=%1-%2\r\n[filter]\r\nmp3\r\nrm\r\ntxt\r\n");
    ini.close();
    QTemporaryDir sampleRoot;
    QDir music(sampleRoot.path());
    music.mkpath(QStringLiteral("音乐/老歌"));
    music.cd(QStringLiteral("音乐"));
    for (const char *name : {"01.mp3", "02.mp3", "03.rm", "封面.jpg", "歌词.txt"}) {
        QFile f(music.filePath(QString::fromUtf8(name)));
        if (f.open(QIODevice::WriteOnly))
            f.write("x");
    }
    // Page 2 starts in the home folder.
    qputenv("HOME", QFile::encodeName(music.path()));
    QDir::setCurrent(music.path());
    SilentDialogs dialogs;
    Form1 form(dialogs, DataFolders::portable(programDir.path()));
    dialogs.questions.setOwner(&form);

    EntryTable &table = form.entryList().table();
    const QString dir = QStringLiteral("/music/");
    table.append({dir, QStringLiteral("track01.mp3"), QStringLiteral("春天的小路-林小雨.mp3"),
                  QStringLiteral("春天的小路"), QStringLiteral("林小雨")});
    table.append({dir, QStringLiteral("track02.mp3"), QStringLiteral("Blue Night-Alice.mp3"),
                  QStringLiteral("Blue Night"), QStringLiteral("Alice")});
    table.append({dir, QStringLiteral("clip.rm"), QStringLiteral("茉莉花-民歌合唱团.rm"),
                  QStringLiteral("茉莉花"), QStringLiteral("民歌合唱团")});
    table.append({dir, QStringLiteral("untagged.mp3"), QStringLiteral("untagged.mp3"), QString(),
                  QString()});
    form.entryList().RefreshEntryList();

    form.show();
    auto *tabs = form.findChild<QTabBar *>(QStringLiteral("TabStrip1"));
    bool ok = tabs != nullptr;
    for (int page = 0; ok && page < 4; ++page) {
        tabs->setCurrentIndex(page);
        QApplication::processEvents();
        const QString file = QDir(out).filePath(QStringLiteral("page%1.png").arg(page + 1));
        ok = form.grab().save(file);
        QTextStream(stderr) << file << "\n";
    }
    if (ok) {
        tabs->setCurrentIndex(1);
        QApplication::processEvents();
        const QString file = QDir(out).filePath(QStringLiteral("page2-question.png"));
        ok = saveWithQuestion(form, file);
        QTextStream(stderr) << file << "\n";
    }
    // The window grown, as on a larger screen.
    if (ok) {
        tabs->setCurrentIndex(0);
        form.resize(1000, 700);
        QApplication::processEvents();
        const QString file = QDir(out).filePath(QStringLiteral("page1-1000x700.png"));
        ok = form.grab().save(file);
        QTextStream(stderr) << file << "\n";
    }
    form.close();
    return ok ? 0 : 1;
}
