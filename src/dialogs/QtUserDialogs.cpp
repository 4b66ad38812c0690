#include "dialogs/QtUserDialogs.h"

#include "dialogs/SysDlg32.h"

#include <QAbstractButton>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>

namespace {

// The box at least as wide as its title and the title bar's buttons need: a short text would
// otherwise make a box whose title the window system cuts.
void keepTitleWhole(QMessageBox &box) {
    auto *grid = qobject_cast<QGridLayout *>(box.layout());
    if (!grid)
        return;
    const int width = box.fontMetrics().horizontalAdvance(box.windowTitle()) * 2 + 160;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

} // namespace

void QtUserDialogs::showMessage(const QString &text) {
    QMessageBox box(QMessageBox::NoIcon, kAppTitle, text, QMessageBox::Ok, m_owner);
    keepTitleWhole(box);
    box.exec();
}

bool QtUserDialogs::askYesNo(const QString &text) {
    QMessageBox box(QMessageBox::NoIcon, kAppTitle, text, QMessageBox::Yes | QMessageBox::No,
                    m_owner);
    keepTitleWhole(box);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

int QtUserDialogs::askChoice(const QString &text, const QStringList &choices) {
    QMessageBox box(QMessageBox::NoIcon, kAppTitle, text, QMessageBox::NoButton, m_owner);
    keepTitleWhole(box);
    QList<QAbstractButton *> buttons;
    for (const QString &choice : choices)
        buttons << box.addButton(choice, QMessageBox::AcceptRole);
    if (buttons.isEmpty())
        return -1;
    box.setDefaultButton(qobject_cast<QPushButton *>(buttons.first()));
    box.setEscapeButton(buttons.last());
    box.exec();
    const qsizetype chosen = buttons.indexOf(box.clickedButton());
    return int(chosen < 0 ? buttons.size() - 1 : chosen);
}

QString QtUserDialogs::GetDlgSelectFolder(const QString &title) {
    return ::GetDlgSelectFolder(m_owner, title);
}

QStringList QtUserDialogs::GetDlgSelectFileInfo(const QString &title, const QString &filter,
                                                const QString &initialName,
                                                const QString &initialDirectory, quint32 flags) {
    QStringList paths;
    for (const QString &selection :
         ::GetDlgSelectFileInfo(m_owner, title, filter, initialName, initialDirectory, flags))
        paths << SysDlg32::unpackSelection(selection);
    return paths;
}
