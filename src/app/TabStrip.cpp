#include "app/TabStrip.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionTabWidgetFrame>

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
