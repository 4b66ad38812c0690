#include "app/AboutPage.h"

#include "app/Controls.h"

#include <QLabel>
#include <QPixmap>

AboutPage::AboutPage(const QString &dataDirectory, QWidget *parent)
    : QGroupBox(parent) {
    setObjectName(Controls::indexed("Frame1", 3));
    auto *picture = Controls::make<QLabel>(this, QStringLiteral("Picture1"));
    picture->setPixmap(QPixmap(QStringLiteral(":/tunemark/about.jpg")));
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picture->setToolTip(dataDirectory.isEmpty()
                            ? QStringLiteral("没有可写的文件夹保存设置和记录")
                            : QStringLiteral("设置和记录保存在：%1").arg(dataDirectory));
}
