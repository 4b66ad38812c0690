#include "app/AllFilesPage.h"

#include "app/Controls.h"
#include "app/FileBoxes.h"
#include "dialogs/UserDialogs.h"
#include "platform/Folders.h"
#include "platform/Paths.h"

#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>

using namespace Controls;

AllFilesPage::AllFilesPage(UserDialogs &dialogs, QWidget *parent)
    : QGroupBox(parent)
    , m_dialogs(dialogs) {
    setObjectName(indexed("Frame1", 1));

    m_drive = make<DriveListBox>(this, QStringLiteral("Drive1"));
    m_directory = make<DirListBox>(this, QStringLiteral("Dir1"));
    m_files = make<FileListBox>(this, QStringLiteral("File1"));
    connect(m_drive, &DriveListBox::driveChanged, this, &AllFilesPage::driveChanged);
    connect(m_drive, &DriveListBox::driveRejected, this, [this](const QString &drive) {
        m_dialogs.showMessage(QStringLiteral("驱动器 %1 无法读取，请检查后再试。").arg(drive));
    });
    connect(m_directory, &DirListBox::pathChanged, this, &AllFilesPage::directoryChanged);
    connect(m_directory, &DirListBox::pathRejected, this, [this](const QString &path) {
        m_dialogs.showMessage(QStringLiteral("无法读取文件夹：%1").arg(path));
    });

    label(this, indexed("Label2", 0), QStringLiteral("*."));
    m_filter = make<QComboBox>(this, QStringLiteral("Combo1"));
    m_filter->setEditable(true);
    m_filter->setInsertPolicy(QComboBox::NoInsert);
    m_filter->setCompleter(nullptr); // a typed key stays as typed, Enter applies just that
    m_filter->setEditText(QStringLiteral("Combo1"));
    connect(m_filter, &QComboBox::activated, this, &AllFilesPage::filterChosen);
    m_filter->installEventFilter(this);

    label(this, indexed("Label1", 0), QStringLiteral("前缀"));
    label(this, indexed("Label1", 1), QStringLiteral("起始编号"));
    label(this, indexed("Label1", 4), QStringLiteral("扩展名"));
    label(this, indexed("Label2", 1), QStringLiteral("*."));
    m_prefix = make<QLineEdit>(this, indexed("Text1", 0));
    m_prefix->setText(QStringLiteral("Rename"));
    m_startNumber = make<QLineEdit>(this, indexed("Text1", 1));
    m_startNumber->setText(QStringLiteral("0"));
    m_extension = make<QLineEdit>(this, indexed("Text1", 2));
}

void AllFilesPage::showStartFolder() {
    // Drive e: is the customary place; without it the page shows the start folder's drive.
    if (!m_drive->setDrive(QStringLiteral("e:")))
        m_drive->setDrive(Folders::driveOf(Folders::startFolder()));
}

void AllFilesPage::followDrive() {
    // The drive's current directory: the start folder when it lies on that drive.
    const QString current = Folders::startFolder();
    const QString drive = m_drive->drive();
    m_directory->setPath(Folders::driveOf(current) == drive ? current
                                                            : Paths::withTrailingSeparator(drive));
}

void AllFilesPage::followDirectory() {
    m_files->setPath(m_directory->folder());
}

void AllFilesPage::applyFilter() {
    // A new pattern makes the file box read its folder; an unchanged one is read again here,
    // so the folder is read once either way.
    const QString pattern = QStringLiteral("*.") + m_filter->currentText();
    if (pattern == m_files->pattern())
        m_files->refresh();
    else
        m_files->setPattern(pattern);
    m_extension->setText(m_filter->currentText());
}

void AllFilesPage::setFilterList(const QString &text, const QStringList &items) {
    m_filter->setEditText(text);
    for (const QString &item : items) {
        // Adding to an empty list would make the new item current and replace the edit text.
        m_filter->addItem(item);
        m_filter->setCurrentIndex(-1);
        m_filter->setEditText(text);
    }
}

void AllFilesPage::refreshFiles() {
    m_files->refresh();
}

void AllFilesPage::renameClicked() {
    emit renameRequested({m_directory->folder(),
                          m_files->files(),
                          m_prefix->text(),
                          m_startNumber->text(),
                          m_extension->text(),
                          {},
                          {}});
}

bool AllFilesPage::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_filter && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            emit filterKeyPressed(13);
    }
    return QGroupBox::eventFilter(watched, event);
}
