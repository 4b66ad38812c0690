#pragma once

#include "settings/Settings.h"

#include <QGroupBox>

class QCheckBox;
class QComboBox;
class QLineEdit;

// Frame1(2), the settings page: the name template Text3 with its labels Label1(3) and
// Label1(6), the options Check1(0) (playlist), Check1(1) (history), Check1(2) (read ID3v2 tags),
// Check1(3) (other music formats) and Check1(4) (safe names), the tag encoding Combo2 under its
// label Label1(5), and the button Command1(3) (save).
class SettingsPage : public QGroupBox {
    Q_OBJECT
public:
    explicit SettingsPage(QWidget *parent);

    // Shows the template and the options of settings; the values the page sends are settings
    // with the page's own changed.
    void showSettings(const Settings &settings);

signals:
    // The user changed the template or an option.
    void settingsEdited(const Settings &settings);
    // The user turned reading ID3v2 tags on or off, or chose another tag encoding: the tags
    // are to be read again. Comes after settingsEdited.
    void tagReadingChanged(const Settings &settings);
    // Command1(3), "保存".
    void saveRequested(const Settings &settings);

private:
    // The settings shown, with the template and the options as the page shows them now.
    Settings shownValues() const;

    Settings m_shown;
    bool m_showing = false;
    QLineEdit *m_nameTemplate;
    QCheckBox *m_playlist;
    QCheckBox *m_history;
    QCheckBox *m_id3v2;
    QCheckBox *m_allFormats;
    QCheckBox *m_safeNames;
    QComboBox *m_tagEncoding; // each item's data is its code page
    int m_shownEncoding = 0;  // the item chosen last: choosing it again reads nothing again
};
