#pragma once

#include <QTabBar>

// The tab strip TabStrip1: a tab bar that also draws the panel under its tabs, where the
// pages lie.
class TabStrip : public QTabBar {
public:
    using QTabBar::QTabBar;

protected:
    void paintEvent(QPaintEvent *event) override;
    QSize minimumSizeHint() const override { return {}; }
};
