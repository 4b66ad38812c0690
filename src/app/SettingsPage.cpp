#include "app/SettingsPage.h"

#include "app/Controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

using namespace Controls;

namespace {

// A check box that toggles on a click anywhere in its rectangle, not only on its box and
// caption.
class CheckBox : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    bool hitButton(const QPoint &pos) const override { return rect().contains(pos); }
};

Qt::CheckState checkState(OptionState state) {
    switch (state) {
    case OptionState::Checked:
        return Qt::Checked;
    case OptionState::Grayed:
        return Qt::PartiallyChecked;
    case OptionState::Unchecked:
        break;
    }
    return Qt::Unchecked;
}

OptionState optionState(const QCheckBox *box) {
    switch (box->checkState()) {
    case Qt::Checked:
        return OptionState::Checked;
    case Qt::PartiallyChecked:
        return OptionState::Grayed;
    case Qt::Unchecked:
        break;
    }
    return OptionState::Unchecked;
}

} // namespace

SettingsPage::SettingsPage(QWidget *parent)
    : QGroupBox(parent) {
    setObjectName(indexed("Frame1", 2));
    label(this, indexed("Label1", 2), QStringLiteral("新文件名格式："));
    m_nameTemplate = make<QLineEdit>(this, QStringLiteral("Text3"));
    m_nameTemplate->setText(QStringLiteral("%1-%2"));
    label(this, indexed("Label1", 3), QStringLiteral("%1=歌名；%2=歌手"));
    label(this, indexed("Label1", 6),
          QStringLiteral("%3=专辑；%4=音轨号；%5=年份；%6=碟号；%7=专辑歌手"));

    m_playlist = make<CheckBox>(this, indexed("Check1", 0));
    m_playlist->setText(QStringLiteral("生成播放列表"));
    m_history = make<CheckBox>(this, indexed("Check1", 1));
    m_history->setText(QStringLiteral("历史记录"));
    m_id3v2 = make<CheckBox>(this, indexed("Check1", 2));
    m_id3v2->setText(QStringLiteral("读取 ID3v2 标签"));
    m_allFormats = make<CheckBox>(this, indexed("Check1", 3));
    m_allFormats->setText(QStringLiteral("读取其他音乐格式"));
    m_safeNames = make<CheckBox>(this, indexed("Check1", 4));
    m_safeNames->setText(QStringLiteral("文件名中不能用的字符换成全角字符"));
    // Every change, the user's or a program's, reaches the window at once.
    const auto edited = [this] {
        if (!m_showing)
            emit settingsEdited(shownValues());
    };
    connect(m_nameTemplate, &QLineEdit::textChanged, this, edited);
    for (QCheckBox *box : {m_playlist, m_history, m_id3v2, m_allFormats, m_safeNames})
        connect(box, &QCheckBox::stateChanged, this, edited);
    connect(m_id3v2, &QCheckBox::clicked, this, [this] { emit tagReadingChanged(shownValues()); });

    label(this, indexed("Label1", 5), QStringLiteral("标签编码："));
    m_tagEncoding = make<QComboBox>(this, QStringLiteral("Combo2"));
    for (const LegacyText::TagEncoding &encoding : LegacyText::kTagEncodings)
        m_tagEncoding->addItem(QString::fromUtf8(encoding.shownName), encoding.codePage);
    connect(m_tagEncoding, &QComboBox::currentIndexChanged, this, edited);
    connect(m_tagEncoding, &QComboBox::activated, this, [this](int index) {
        if (index != m_shownEncoding) {
            m_shownEncoding = index;
            emit tagReadingChanged(shownValues());
        }
    });

    auto *save = make<QPushButton>(this, indexed("Command1", 3));
    save->setText(QStringLiteral("保存"));
    connect(save, &QPushButton::clicked, this, [this] { emit saveRequested(shownValues()); });
}

void SettingsPage::showSettings(const Settings &settings) {
    m_shown = settings;
    m_showing = true; // shown, not edited
    m_playlist->setCheckState(checkState(settings.playlist));
    m_history->setCheckState(checkState(settings.history));
    m_nameTemplate->setText(settings.nameTemplate);
    m_id3v2->setChecked(settings.readId3v2);
    m_allFormats->setChecked(settings.allFormats);
    m_safeNames->setChecked(settings.safeNames);
    m_shownEncoding = qMax(0, m_tagEncoding->findData(settings.tagCodePage));
    m_tagEncoding->setCurrentIndex(m_shownEncoding);
    m_showing = false;
}

Settings SettingsPage::shownValues() const {
    Settings settings = m_shown;
    settings.playlist = optionState(m_playlist);
    settings.history = optionState(m_history);
    settings.nameTemplate = m_nameTemplate->text();
    settings.readId3v2 = m_id3v2->isChecked();
    settings.allFormats = m_allFormats->isChecked();
    settings.safeNames = m_safeNames->isChecked();
    settings.tagCodePage = m_tagEncoding->currentData().toInt();
    return settings;
}
