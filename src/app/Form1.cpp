#include "app/Form1.h"

Form1::Form1(QWidget *parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Tunemark VER 3.0 FOR FREE"));
    resize(478, 318);
}
