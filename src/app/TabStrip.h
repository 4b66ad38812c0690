#pragma once

#include <QTabBar>

// The tab strip TabStrip1: a tab bar that also draws the panel under its tabs, where the
// pages lie.
class TabStrip : public QTabBar {
public:
    // The four tabs, "音频文件", "所有文件", "设置" and "关于".
    explicit TabStrip(QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;
    QSize minimumSizeHint() const override { return {}; }
};
