#pragma once

#include "settings/Settings.h"

#include <QGroupBox>

class QCheckBox;
class QLineEdit;

// Frame1(2), the settings page: the name template Text3, the options Check1(0) (playlist),
// Check1(1) (history) and Check1(2) (read ID3v2 tags), and the button Command1(3) (save).
class SettingsPage : public QGroupBox {
    Q_OBJECT
public:
    explicit SettingsPage(QWidget *parent);

    QString nameTemplate() const;
    // Shows the template and the two options of settings.
    void showSettings(const Settings &settings);
    // settings with the template and the two options as the page shows them.
    Settings withShownValues(Settings settings) const;

signals:
    // The user turned reading ID3v2 tags on or off.
    void id3v2Toggled();

private:
    QLineEdit *m_nameTemplate;
    QCheckBox *m_playlist;
    QCheckBox *m_history;
    QCheckBox *m_id3v2;
};
