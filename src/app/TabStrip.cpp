#include "app/TabStrip.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionTabWidgetFrame>

TabStrip::TabStrip(QWidget *parent)
    : QTabBar(parent) {
    setObjectName(QStringLiteral("TabStrip1"));
    setExpanding(false);
    setDrawBase(false);
    for (const char *caption : {"音频文件", "所有文件", "设置", "关于"})
        addTab(QString::fromUtf8(caption));
}

void TabStrip::paintEvent(QPaintEvent *event) {
    QPainter painter(this);
    QStyleOptionTabWidgetFrame panel;
    panel.initFrom(this);
    const int tabHeight = tabRect(0).height();
    panel.rect = rect().adjusted(0, tabHeight - 1, 0, 0);
    style()->drawPrimitive(QStyle::PE_FrameTabWidget, &panel, &painter, this);
    painter.end();
    QTabBar::paintEvent(event);
}
