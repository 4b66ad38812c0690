#include "app/OpenMenu.h"

OpenMenu::OpenMenu(QWidget *parent)
    : QMenu(QStringLiteral("open"), parent) {
    setObjectName(QStringLiteral("OpenMenu"));
    QAction *addDirectory = addAction(QStringLiteral("添加文件夹"));
    addDirectory->setObjectName(QStringLiteral("AddDirectory"));
    connect(addDirectory, &QAction::triggered, this, &OpenMenu::addDirectoryRequested);
    QAction *addFile = addAction(QStringLiteral("添加文件"));
    addFile->setObjectName(QStringLiteral("AddFile"));
    connect(addFile, &QAction::triggered, this, &OpenMenu::addFileRequested);
    QAction *openList = addAction(QStringLiteral("打开列表"));
    openList->setObjectName(QStringLiteral("Openlist"));
    openList->setVisible(false);
}
