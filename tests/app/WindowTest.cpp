#include "WindowTest.h"

void WindowTest::init() {
    m_programDir = std::make_unique<QTemporaryDir>();
    m_work = std::make_unique<QTemporaryDir>();
    m_dialogs = std::make_unique<WatchingDialogs>();
    // Page 2 starts in the home folder (there is no music folder in it), never in the working
    // directory; on Windows in the working directory, the drive's current one.
    qputenv("HOME", QFile::encodeName(m_work->path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_work->filePath(u".config"_s)));
#ifdef Q_OS_WIN
    QDir::setCurrent(m_work->path());
#else
    QDir::setCurrent(m_programDir->path());
#endif
    // A user's rename.ini with the four documented keys: what the documented behaviour starts
    // from. Tests of a first start remove it.
    QVERIFY(TestFiles::write(m_programDir->filePath(u"rename.ini"_s), kFourKeys));
    m_form = std::make_unique<Form1>(*m_dialogs, DataFolders::portable(m_programDir->path()));
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

void WindowTest::cleanup() {
    m_form.reset();
    QDir::setCurrent(QDir::tempPath());
    m_work.reset();
    m_programDir.reset();
    m_dialogs.reset();
}

void WindowTest::clickTab(int index) {
    auto *tabs = child<QTabBar>(u"TabStrip1"_s);
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(index).center());
}

void WindowTest::clickThroughWindow(QWidget *widget, QPoint at) {
    if (at.isNull())
        at = widget->rect().center();
    QTest::mouseClick(m_form->windowHandle(), Qt::LeftButton, {}, widget->mapTo(m_form.get(), at));
}

QProgressDialog *WindowTest::shownProgress() const {
    auto *progress = m_form->findChild<QProgressDialog *>();
    return progress && progress->isVisible() ? progress : nullptr;
}

void WindowTest::addEntries(const QStringList &names) {
    EntryTable &table = m_form->entryList().table();
    for (const QString &n : names) {
        QVERIFY(TestFiles::write(m_work->filePath(n), n.toUtf8()));
        table.append({m_work->path() + u'/', n, u"new-"_s + n, u"T"_s + n, u"S"_s});
    }
    m_form->entryList().RefreshEntryList();
}
