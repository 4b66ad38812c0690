#include "app/AudioPage.h"

#include "app/Controls.h"
#include "list/EntryList.h"

#include <QEvent>
#include <QHeaderView>
#include <QHelpEvent>
#include <QPushButton>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QToolTip>
#include <QTreeView>

using namespace Controls;

namespace {

// Lines whose rename would be refused for their new name stand out before the rename, and so
// do lines whose tag text looks wrongly decoded.
class ConflictDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (!index.data(EntryListModel::ConflictRole).toString().isEmpty())
            option->backgroundBrush = QColor(0xFF, 0xD8, 0xD8);
        else if (index.data(EntryListModel::UndecodedRole).toBool())
            option->backgroundBrush = QColor(0xFF, 0xF0, 0xB8);
    }

    // A cell whose text is cut shows it whole in its tooltip, before what the line has to say.
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override {
        if (event->type() == QEvent::ToolTip && index.isValid()) {
            QStyleOptionViewItem shown = option;
            initStyleOption(&shown, index);
            const QString text = index.data().toString();
            const int room =
                view->style()->subElementRect(QStyle::SE_ItemViewItemText, &shown, view).width();
            if (!text.isEmpty() && shown.fontMetrics.horizontalAdvance(text) > room) {
                const QString tip = index.data(Qt::ToolTipRole).toString();
                QToolTip::showText(event->globalPos(), tip.isEmpty() ? text : text + u'\n' + tip,
                                   view);
                return true;
            }
        }
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    }
};

} // namespace

AudioPage::AudioPage(EntryList &list, QWidget *parent)
    : QGroupBox(parent) {
    setObjectName(indexed("Frame1", 0));

    m_listView = make<QTreeView>(this, QStringLiteral("ListView1"));
    m_listView->setModel(list.model());
    m_listView->setSelectionModel(list.selectionModel());
    m_listView->setRootIsDecorated(false);
    m_listView->setUniformRowHeights(true);
    m_listView->setItemsExpandable(false);
    m_listView->setAllColumnsShowFocus(true);
    m_listView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_listView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_listView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_listView->header()->setStretchLastSection(false);
    m_listView->setItemDelegate(new ConflictDelegate(m_listView));
    connect(m_listView, &QAbstractItemView::clicked, this, &AudioPage::listClicked);
    connect(&list, &EntryList::focusRequested, this, [this] {
        if (!m_listView->isVisible())
            return;
        // While the window is held still the list cannot take the focus yet.
        m_focusWhenEnabled = !m_listView->isEnabled();
        m_listView->setFocus();
    });

    const std::pair<const char *, void (AudioPage::*)()> buttons[] = {
        {"添加", &AudioPage::addRequested},
        {"删除", &AudioPage::deleteRequested},
        {"清除", &AudioPage::clearRequested},
    };
    for (int i = 0; i < 3; ++i) {
        auto *button = make<QPushButton>(this, indexed("Command1", i));
        button->setText(QString::fromUtf8(buttons[i].first));
        connect(button, &QPushButton::clicked, this, buttons[i].second);
    }

    m_counter = label(this, QStringLiteral("Coun"), list.counterText());
    connect(&list, &EntryList::counterTextChanged, m_counter, &QLabel::setText);
}

void AudioPage::changeEvent(QEvent *event) {
    QGroupBox::changeEvent(event);
    if (event->type() == QEvent::EnabledChange && isEnabled() && m_focusWhenEnabled) {
        m_focusWhenEnabled = false;
        m_listView->setFocus();
    }
}

void AudioPage::setCounterText(const QString &text) {
    m_counter->setText(text);
}
