#pragma once

#include <QGroupBox>

// Frame1(3), the about page: the picture Picture1, whose tooltip names the folder where the
// program keeps its files.
class AboutPage : public QGroupBox {
    Q_OBJECT
public:
    AboutPage(const QString &dataDirectory, QWidget *parent);
};
