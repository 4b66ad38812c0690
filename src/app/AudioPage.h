#pragma once

#include <QGroupBox>

class EntryList;
class QLabel;
class QTreeView;

// Frame1(0), the audio-file page: the list ListView1, the buttons Command1(0) to Command1(2)
// (add, delete, clear) and the position counter Coun.
class AudioPage : public QGroupBox {
    Q_OBJECT
public:
    AudioPage(EntryList &list, QWidget *parent);

    void setCounterText(const QString &text);

signals:
    // A line of the list was clicked.
    void listClicked();
    // Command1(0), Command1(1), Command1(2).
    void addRequested();
    void deleteRequested();
    void clearRequested();

protected:
    void changeEvent(QEvent *event) override;

private:
    bool m_focusWhenEnabled = false;
    QTreeView *m_listView;
    QLabel *m_counter;
};
