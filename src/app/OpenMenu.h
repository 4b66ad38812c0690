#pragma once

#include <QMenu>

// OpenMenu, the menu the Add button pops up: "添加文件夹" (AddDirectory), "添加文件" (AddFile)
// and the hidden "打开列表" (Openlist).
class OpenMenu : public QMenu {
    Q_OBJECT
public:
    explicit OpenMenu(QWidget *parent);

signals:
    void addDirectoryRequested();
    void addFileRequested();
};
