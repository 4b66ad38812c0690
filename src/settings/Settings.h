#pragma once

#include <QByteArray>
#include <QString>

// The window's controls that hold the settings.
class SettingsControls {
public:
    virtual ~SettingsControls() = default;
    virtual int playlistState() const = 0; // Check1(0): 0 unchecked, 1 checked, 2 grayed
    virtual void setPlaylistState(int state) = 0;
    virtual int historyState() const = 0; // Check1(1)
    virtual void setHistoryState(int state) = 0;
    virtual QString nameTemplate() const = 0; // Text3
    virtual void setNameTemplate(const QString &text) = 0;
    virtual void setFilterText(const QString &text) = 0; // Combo1's edit text
    virtual void addFilterItem(const QString &text) = 0; // appended to Combo1's list
};

// Fills the filter box from a section text whose lines are each followed by a NUL: the first
// line becomes its text, the following ones its list; the part after the last NUL is dropped.
void FillComboList(SettingsControls &combo, const QString &text);

// rename.ini in the program directory.
class SettingsStore {
public:
    explicit SettingsStore(const QString &programDirectory);

    QString IniPath() const { return m_iniPath; }
    QString M3uPath() const { return m_m3uPath; }

    // Reads rename.ini into the controls; absent values give the defaults, and a check box
    // value other than "0", "1" or "2" leaves the box unchecked.
    void LoadSettings(SettingsControls &controls);
    // Writes m3u, m3upath, history and format into section setup; everything else in the file
    // stays as it was. Failures are silent and leave the old file whole.
    void SaveSettings(const SettingsControls &controls);
    // Writes key=value into section setup.
    void WriteSetting(const QString &key, const QString &value);

private:
    QString m_iniPath;
    QString m_m3uPath;
    QByteArray m_m3uPathBytes; // m3upath as read, written back unchanged
};
