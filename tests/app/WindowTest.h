#pragma once

#include "app/FileBoxes.h"
#include "app/Form1.h"
#include "platform/Folders.h"
#include "support/FakeDialogs.h"
#include "support/FileTree.h"
#include "support/TagBytes.h"
#include "support/TestFiles.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <memory>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace Qt::Literals::StringLiterals;

// Notes, with each message, whether a progress dialog was still on screen.
class WatchingDialogs : public FakeDialogs {
public:
    int messagesOverProgress = 0;
    void showMessage(const QString &text) override {
        for (const QWidget *w : QApplication::topLevelWidgets()) {
            if (qobject_cast<const QProgressDialog *>(w) && w->isVisible())
                ++messagesOverProgress;
        }
        FakeDialogs::showMessage(text);
    }
};

// rename.ini as the documented program writes it from its defaults.
inline const QByteArray kFourKeys = "[setup]\r\nm3u=0\r\nm3upath=\r\nhistory=0\r\nformat=%1-%2\r\n";

// What every window test starts from: the window on a program folder holding kFourKeys and a
// work folder of its own, the prompts answered by WatchingDialogs.
class WindowTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

protected:
    template <typename T> T *child(const QString &name) {
        auto *w = m_form->findChild<T *>(name);
        if (!w)
            qFatal("missing control %s", qPrintable(name));
        return w;
    }
    void clickTab(int index);
    // A click delivered through the window system, as a user's would be.
    void clickThroughWindow(QWidget *widget, QPoint at = {});
    QProgressDialog *shownProgress() const;
    void addEntries(const QStringList &names);

    std::unique_ptr<QTemporaryDir> m_programDir;
    std::unique_ptr<QTemporaryDir> m_work;
    std::unique_ptr<WatchingDialogs> m_dialogs;
    std::unique_ptr<Form1> m_form;
};
