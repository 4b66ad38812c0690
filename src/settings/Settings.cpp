#include "settings/Settings.h"

#include "platform/Paths.h"

void FillComboList(SettingsControls &combo, const QString &text) {
    Q_UNUSED(combo);
    Q_UNUSED(text);
}

SettingsStore::SettingsStore(const QString &programDirectory)
    : m_iniPath(Paths::withTrailingSeparator(programDirectory) + QStringLiteral("rename.ini")) {}

void SettingsStore::LoadSettings(SettingsControls &controls) {
    controls.setNameTemplate(QStringLiteral("%1-%2"));
}

void SettingsStore::SaveSettings(const SettingsControls &controls) {
    Q_UNUSED(controls);
}

void SettingsStore::WriteSetting(const QString &key, const QString &value) {
    Q_UNUSED(key);
    Q_UNUSED(value);
}
