#pragma once

#include <QGroupBox>

// Frame1(3), the about page: the picture Picture1.
class AboutPage : public QGroupBox {
    Q_OBJECT
public:
    explicit AboutPage(QWidget *parent);
};
