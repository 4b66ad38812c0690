#include "app/Captions.h"

#include "app/Controls.h"

#include <QAbstractItemModel>
#include <QGroupBox>
#include <QPushButton>
#include <QTabBar>

using Controls::indexed;

void applyCaptions(QWidget &window, const CaptionSet &captions, QAbstractItemModel &columns) {
    for (int i = 0; i < captions.buttons.size(); ++i) {
        if (auto *button = window.findChild<QPushButton *>(indexed("Command1", i)))
            button->setText(captions.buttons[i]);
    }
    for (int i = 0; i < captions.frames.size(); ++i) {
        if (auto *frame = window.findChild<QGroupBox *>(indexed("Frame1", i)))
            frame->setTitle(captions.frames[i]);
    }
    if (auto *tabs = window.findChild<QTabBar *>(QStringLiteral("TabStrip1"))) {
        for (int i = 0; i < captions.tabs.size(); ++i)
            tabs->setTabText(i, captions.tabs[i]);
    }
    for (int i = 0; i < captions.columns.size(); ++i)
        columns.setHeaderData(i, Qt::Horizontal, captions.columns[i]);
}
