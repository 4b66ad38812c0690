#include "app/Form1.h"

#include "app/FileBoxes.h"
#include "dialogs/UserDialogs.h"
#include "platform/Paths.h"
#include "rename/BatchRename.h"
#include "rename/SequentialRename.h"
#include "tags/NameTemplate.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QCursor>
#include <QDir>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QProgressDialog>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>
#include <QTreeView>

#include <cmath>

namespace {

// Positions are given in twips; the window works at 15 twips per logical pixel.
constexpr int kTwipsPerPixel = 15;

int px(int twips) {
    return static_cast<int>(std::lround(double(twips) / kTwipsPerPixel));
}

void place(QWidget *w, int left, int top, int width, int height) {
    w->setGeometry(px(left), px(top), px(width), px(height));
}

QString indexed(const char *name, int index) {
    return QString::fromLatin1(name) + u'(' + QString::number(index) + u')';
}

template <typename W> W *make(QWidget *parent, const QString &name) {
    auto *w = new W(parent);
    w->setObjectName(name);
    return w;
}

QLabel *label(QWidget *parent, const QString &name, const QString &text) {
    auto *l = make<QLabel>(parent, name);
    l->setText(text);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop); // captions sit at the top, as drawn
    return l;
}

// The check-box states as stored: 0 unchecked, 1 checked, 2 grayed.
int storedState(const QCheckBox *box) {
    switch (box->checkState()) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    default:
        return 0;
    }
}

void setStoredState(QCheckBox *box, int state) {
    box->setCheckState(state == 1   ? Qt::Checked
                       : state == 2 ? Qt::PartiallyChecked
                                    : Qt::Unchecked);
}

// A tab strip that also draws the panel under its tabs, where the pages lie.
class TabStrip : public QTabBar {
public:
    using QTabBar::QTabBar;

protected:
    void paintEvent(QPaintEvent *event) override {
        QPainter painter(this);
        QStyleOptionTabWidgetFrame panel;
        panel.initFrom(this);
        const int tabHeight = tabRect(0).height();
        panel.rect = rect().adjusted(0, tabHeight - 1, 0, 0);
        style()->drawPrimitive(QStyle::PE_FrameTabWidget, &panel, &painter, this);
        painter.end();
        QTabBar::paintEvent(event);
    }
    QSize minimumSizeHint() const override { return {}; }
};

} // namespace

// The artwork lives in the GUI library's resources, which a static library must register.
static void initResources() {
    Q_INIT_RESOURCE(tunemark);
}

// While a long operation runs: after about half a second a modal progress dialog appears, so
// the user sees what is happening and no other handler of the window can run.
class Form1::Busy {
public:
    Busy(Form1 &form, bool cancellable)
        : m_form(form)
        , m_cancellable(cancellable) {
        m_form.m_busy = true;
    }
    ~Busy() {
        delete m_dialog;
        m_form.m_busy = false;
    }
    Busy(const Busy &) = delete;
    Busy &operator=(const Busy &) = delete;

    // Returns false once the user has cancelled.
    bool update(int done, int total, const QString &text) {
        if (!m_clock.isValid()) {
            m_clock.start();
            return true;
        }
        if (!m_dialog) {
            if (m_clock.elapsed() < 500)
                return true;
            m_dialog = new QProgressDialog(&m_form);
            m_dialog->setWindowTitle(UserDialogs::kAppTitle);
            m_dialog->setWindowModality(Qt::ApplicationModal);
            m_dialog->setMinimumDuration(0);
            m_dialog->setAutoClose(false);
            m_dialog->setAutoReset(false);
            if (m_cancellable)
                m_dialog->setCancelButtonText(QStringLiteral("取消"));
            else
                m_dialog->setCancelButton(nullptr);
            m_dialog->setMinimumWidth(360);
            m_dialog->show();
            m_lastPaint.start();
        } else if (m_lastPaint.elapsed() < 50) {
            return !m_dialog->wasCanceled();
        }
        m_lastPaint.restart();
        m_dialog->setRange(0, total);
        if (total > 0)
            m_dialog->setValue(done);
        m_dialog->setLabelText(text);
        QCoreApplication::processEvents();
        return !m_dialog->wasCanceled();
    }

private:
    Form1 &m_form;
    const bool m_cancellable;
    QElapsedTimer m_clock;
    QElapsedTimer m_lastPaint;
    QProgressDialog *m_dialog = nullptr;
};

Form1::Form1(UserDialogs &dialogs, const QString &programDirectory, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
    , m_dialogs(dialogs)
    , m_programDirectory(programDirectory)
    , m_list(m_table)
    , m_settings(programDirectory)
    , m_adder(m_list, dialogs, [this] { return m_text3->text(); }) {
    buildWindow();
    Form_Load();
}

Form1::~Form1() = default;

void Form1::buildWindow() {
    initResources();
    setObjectName(QStringLiteral("Form1"));
    setFixedSize(px(7170), px(4770));
    setWindowIcon(QIcon(QStringLiteral(":/tunemark/icon.png")));

    m_tabStrip = new TabStrip(this);
    m_tabStrip->setObjectName(QStringLiteral("TabStrip1"));
    m_tabStrip->setExpanding(false);
    m_tabStrip->setDrawBase(false);
    for (const char *caption : {"音频文件", "所有文件", "设置", "关于"})
        m_tabStrip->addTab(QString::fromUtf8(caption));
    place(m_tabStrip, 0, 0, 7095, 4095);
    connect(m_tabStrip, &QTabBar::currentChanged, this, &Form1::TabStrip1_Click);
    connect(m_tabStrip, &QTabBar::tabBarClicked, this, [this](int index) {
        if (index == m_tabStrip->currentIndex())
            TabStrip1_Click(); // a click on the selected tab changes nothing, but is a click
    });

    // Created last to first: page 1 lies over page 4, which it covers at start-up.
    for (int i = 3; i >= 0; --i) {
        m_frames[i] = make<QGroupBox>(this, indexed("Frame1", i));
        m_frames[i]->setAutoFillBackground(true); // pages are opaque: page 1 hides page 4
        place(m_frames[i], 120, 360, 6855, i == 3 ? 3495 : 3615);
    }
    buildAudioPage(m_frames[0]);
    buildAllFilesPage(m_frames[1]);
    buildSettingsPage(m_frames[2]);
    buildAboutPage(m_frames[3]);

    m_commands[4] = make<QPushButton>(this, indexed("Command1", 4));
    m_commands[4]->setText(QStringLiteral("改名"));
    place(m_commands[4], 120, 4200, 1095, 495);

    m_command2 = make<QPushButton>(this, QStringLiteral("Command2"));
    m_command2->setText(QStringLiteral("Command2"));
    m_command2->setToolTip(QStringLiteral("从 elanguage.dat 载入界面文字"));
    place(m_command2, 3600, 4200, 1335, 540);
    connect(m_command2, &QPushButton::clicked, this, &Form1::Command2_Click);

    for (int i = 0; i < int(m_commands.size()); ++i)
        connect(m_commands[i], &QPushButton::clicked, this, [this, i] { Command1_Click(i); });

    buildMenu();
}

void Form1::buildAudioPage(QGroupBox *page) {
    m_listView = make<QTreeView>(page, QStringLiteral("ListView1"));
    place(m_listView, 120, 240, 6615, 2655);
    m_listView->setModel(m_list.model());
    m_listView->setSelectionModel(m_list.selectionModel());
    m_listView->setRootIsDecorated(false);
    m_listView->setUniformRowHeights(true);
    m_listView->setItemsExpandable(false);
    m_listView->setAllColumnsShowFocus(true);
    m_listView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_listView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_listView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_listView->header()->setStretchLastSection(false);
    for (int c = 0; c < 4; ++c)
        m_listView->setColumnWidth(c, px(1440));
    connect(m_listView, &QAbstractItemView::clicked, this, &Form1::ListView1_Click);
    connect(&m_list, &EntryList::focusRequested, this, [this] {
        if (m_listView->isVisible())
            m_listView->setFocus();
    });

    const char *captions[] = {"添加", "删除", "清除"};
    for (int i = 0; i < 3; ++i) {
        m_commands[i] = make<QPushButton>(page, indexed("Command1", i));
        m_commands[i]->setText(QString::fromUtf8(captions[i]));
        place(m_commands[i], 120 + 1200 * i, 3000, 975, 495);
    }

    m_counter = label(page, QStringLiteral("Coun"), m_list.counterText());
    place(m_counter, 5280, 3120, 1455, 375);
    connect(&m_list, &EntryList::counterTextChanged, m_counter, &QLabel::setText);
}

void Form1::buildAllFilesPage(QGroupBox *page) {
    m_drive = make<DriveListBox>(page, QStringLiteral("Drive1"));
    place(m_drive, 120, 240, 1935, 300);
    m_dir = make<DirListBox>(page, QStringLiteral("Dir1"));
    place(m_dir, 120, 600, 1935, 2610);
    m_files = make<FileListBox>(page, QStringLiteral("File1"));
    place(m_files, 2160, 240, 2295, 2610);

    connect(m_drive, &DriveListBox::driveChanged, this, &Form1::Drive1_Change);
    connect(m_drive, &DriveListBox::driveRejected, this, [this](const QString &drive) {
        m_dialogs.showMessage(QStringLiteral("驱动器 %1 无法读取，请检查后再试。").arg(drive),
                              UserDialogs::kAppTitle);
    });
    connect(m_dir, &DirListBox::pathChanged, this, &Form1::Dir1_Change);
    connect(m_dir, &DirListBox::pathRejected, this, [this](const QString &path) {
        m_dialogs.showMessage(QStringLiteral("无法读取文件夹：%1").arg(path),
                              UserDialogs::kAppTitle);
    });

    place(label(page, QStringLiteral("Label2(0)"), QStringLiteral("*.")), 2160, 2920, 255, 255);
    m_combo = make<QComboBox>(page, QStringLiteral("Combo1"));
    m_combo->setEditable(true);
    m_combo->setInsertPolicy(QComboBox::NoInsert);
    m_combo->setEditText(QStringLiteral("Combo1"));
    place(m_combo, 2400, 2880, 2055, 300);
    connect(m_combo, &QComboBox::activated, this, &Form1::Combo1_Click);
    m_combo->installEventFilter(this);

    place(label(page, QStringLiteral("Label1(0)"), QStringLiteral("前缀")), 4680, 360, 1335, 375);
    place(label(page, QStringLiteral("Label1(1)"), QStringLiteral("起始编号")), 4680, 1200, 1335,
          375);
    place(label(page, QStringLiteral("Label1(4)"), QStringLiteral("扩展名")), 4680, 1920, 1335,
          375);
    place(label(page, QStringLiteral("Label2(1)"), QStringLiteral("*.")), 4680, 2270, 255, 255);

    const char *texts[] = {"Rename", "0", ""};
    const int tops[] = {720, 1440, 2160};
    for (int i = 0; i < 3; ++i) {
        m_text1[i] = make<QLineEdit>(page, indexed("Text1", i));
        m_text1[i]->setText(QString::fromUtf8(texts[i]));
    }
    place(m_text1[0], 4680, tops[0], 1215, 375);
    place(m_text1[1], 4680, tops[1], 1215, 375);
    place(m_text1[2], 4920, tops[2], 975, 375);
}

void Form1::buildSettingsPage(QGroupBox *page) {
    place(label(page, QStringLiteral("Label1(2)"), QStringLiteral("新文件名格式：")), 240, 480,
          1335, 375);
    m_text3 = make<QLineEdit>(page, QStringLiteral("Text3"));
    m_text3->setText(QStringLiteral("%1-%2"));
    place(m_text3, 1800, 360, 2175, 375);
    place(label(page, QStringLiteral("Label1(3)"), QStringLiteral("%1=歌名；%2=歌手")), 240, 840,
          3735, 375);

    m_check[0] = make<QCheckBox>(page, QStringLiteral("Check1(0)"));
    m_check[0]->setText(QStringLiteral("生成播放列表"));
    place(m_check[0], 480, 1440, 2655, 375);
    m_check[1] = make<QCheckBox>(page, QStringLiteral("Check1(1)"));
    m_check[1]->setText(QStringLiteral("历史记录"));
    place(m_check[1], 480, 1920, 2535, 375);

    m_commands[3] = make<QPushButton>(page, indexed("Command1", 3));
    m_commands[3]->setText(QStringLiteral("保存"));
    place(m_commands[3], 5760, 2760, 975, 495);
}

void Form1::buildAboutPage(QGroupBox *page) {
    auto *picture = make<QLabel>(page, QStringLiteral("Picture1"));
    picture->setPixmap(QPixmap(QStringLiteral(":/tunemark/about.jpg")));
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    place(picture, 1080, 240, 4695, 3135);
}

void Form1::buildMenu() {
    m_openMenu = new QMenu(QStringLiteral("open"), this);
    m_openMenu->setObjectName(QStringLiteral("OpenMenu"));
    QAction *addDirectory = m_openMenu->addAction(QStringLiteral("添加文件夹"));
    addDirectory->setObjectName(QStringLiteral("AddDirectory"));
    connect(addDirectory, &QAction::triggered, this, &Form1::AddDirectory_Click);
    QAction *addFile = m_openMenu->addAction(QStringLiteral("添加文件"));
    addFile->setObjectName(QStringLiteral("AddFile"));
    connect(addFile, &QAction::triggered, this, &Form1::AddFile_Click);
    QAction *openList = m_openMenu->addAction(QStringLiteral("打开列表"));
    openList->setObjectName(QStringLiteral("Openlist"));
    openList->setVisible(false);
}

void Form1::Form_Load() {
    m_counter->setText(QStringLiteral("0/0"));
    m_frames[0]->setVisible(true);
    m_frames[1]->setVisible(false);
    m_frames[2]->setVisible(false);
    m_settings.LoadSettings(*this);
    // Drive e: is the customary place; without it the page shows the current directory.
    if (!m_drive->setDrive(QStringLiteral("e:")))
        m_drive->setDrive(DriveListBox::driveOf(QDir::currentPath()));
    m_table.setNextEntryRow(1);
    setWindowTitle(QStringLiteral("Tunemark VER 3.0 FOR FREE"));
}

void Form1::Form_Unload() {
    if (m_unloaded)
        return;
    m_unloaded = true;
    m_settings.SaveSettings(*this);
}

void Form1::closeEvent(QCloseEvent *event) {
    if (m_busy) {
        event->ignore(); // a scan or rename is running; it ends first
        return;
    }
    Form_Unload();
    event->accept();
}

void Form1::TabStrip1_Click() {
    const int k = m_tabStrip->currentIndex() + 1;
    if (k < 1 || k > 4)
        return;
    for (int i = 0; i < 4; ++i)
        m_frames[i]->setVisible(i == k - 1);
}

void Form1::Command1_Click(int index) {
    switch (index) {
    case 0:
        m_openMenu->exec(QCursor::pos());
        break;
    case 1:
        m_list.DeleteCurrentEntry();
        break;
    case 2:
        m_list.ClearEntries();
        break;
    case 3:
        ReformatNewNames(m_list, m_text3->text());
        m_settings.SaveSettings(*this);
        break;
    case 4:
        switch (m_tabStrip->currentIndex() + 1) {
        case 1: {
            Busy busy(*this, false);
            RenameListedFiles(m_list, m_dialogs, m_programDirectory,
                              {playlistState(), historyState()}, [&](int done, int total) {
                                  busy.update(
                                      done, total,
                                      QStringLiteral("正在改名：%1 / %2").arg(done).arg(total));
                              });
            break;
        }
        case 2:
            if (m_dialogs.askYesNo(QStringLiteral("把所有文件改名吗？"), UserDialogs::kAppTitle)) {
                const SequenceInput input{m_dir->path(), m_files->fileNames(), m_text1[0]->text(),
                                          m_text1[1]->text(), m_text1[2]->text()};
                Busy busy(*this, false);
                const bool ran = RenameFilesInSequence(input, m_dialogs, [&](int done, int total) {
                    busy.update(done, total,
                                QStringLiteral("正在改名：%1 / %2").arg(done).arg(total));
                });
                if (ran)
                    m_files->refresh();
            }
            break;
        default:
            break;
        }
        break;
    default:
        break;
    }
}

void Form1::Command2_Click() {
    LoadLanguage(m_programDirectory, *this);
}

void Form1::Combo1_Click() {
    applyFilter();
}

void Form1::Combo1_KeyPress(int keyAscii) {
    if (keyAscii == 13)
        applyFilter();
}

void Form1::applyFilter() {
    // A new pattern makes the file box read its folder; an unchanged one is read again here,
    // so the folder is read once either way.
    const QString pattern = QStringLiteral("*.") + m_combo->currentText();
    if (pattern == m_files->pattern())
        m_files->refresh();
    else
        m_files->setPattern(pattern);
    m_text1[2]->setText(m_combo->currentText());
}

bool Form1::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_combo && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            Combo1_KeyPress(13);
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::Drive1_Change() {
    // The drive's current directory: the process's own when it lies on that drive.
    const QString current = Paths::toNative(QDir::currentPath());
    const QString drive = m_drive->drive();
    m_dir->setPath(DriveListBox::driveOf(current) == drive ? current
                                                           : Paths::withTrailingSeparator(drive));
}

void Form1::Dir1_Change() {
    m_files->setPath(m_dir->path());
}

void Form1::ListView1_Click() {
    if (m_list.lineCount() >= 1)
        m_list.ShowCurrentPosition();
}

void Form1::AddDirectory_Click() {
    addWithProgress(&FileAdder::AddDirectory);
}

void Form1::AddFile_Click() {
    addWithProgress(&FileAdder::AddFilesFromDialog);
}

void Form1::addWithProgress(void (FileAdder::*add)()) {
    Busy busy(*this, true);
    m_adder.setProgress([&](int files, const QString &folder) {
        return busy.update(0, 0, QStringLiteral("已添加 %1 个文件\n%2").arg(files).arg(folder));
    });
    (m_adder.*add)();
    m_adder.setProgress({});
}

int Form1::playlistState() const {
    return storedState(m_check[0]);
}

void Form1::setPlaylistState(int state) {
    setStoredState(m_check[0], state);
}

int Form1::historyState() const {
    return storedState(m_check[1]);
}

void Form1::setHistoryState(int state) {
    setStoredState(m_check[1], state);
}

QString Form1::nameTemplate() const {
    return m_text3->text();
}

void Form1::setNameTemplate(const QString &text) {
    m_text3->setText(text);
}

void Form1::setFilterText(const QString &text) {
    m_combo->setEditText(text);
}

void Form1::addFilterItem(const QString &text) {
    // Adding to an empty list would make the new item current and replace the edit text.
    const QString editText = m_combo->currentText();
    m_combo->addItem(text);
    m_combo->setCurrentIndex(-1);
    m_combo->setEditText(editText);
}

void Form1::setButtonCaption(int index, const QString &text) {
    if (index >= 0 && index < int(m_commands.size()))
        m_commands[index]->setText(text);
}

void Form1::setFrameCaption(int index, const QString &text) {
    if (index >= 0 && index < int(m_frames.size()))
        m_frames[index]->setTitle(text);
}

void Form1::setTabCaption(int index, const QString &text) {
    if (index >= 0 && index < m_tabStrip->count())
        m_tabStrip->setTabText(index, text);
}

void Form1::setColumnCaption(int index, const QString &text) {
    m_list.model()->setHeaderData(index, Qt::Horizontal, text);
}
