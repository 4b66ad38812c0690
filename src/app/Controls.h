#pragma once

#include <QLabel>
#include <QString>
#include <QWidget>

// Helpers for building the window's controls, each named as the classic form names it.
namespace Controls {

// "Command1(4)": the name of a control of an array.
inline QString indexed(const char *name, int index) {
    return QString::fromLatin1(name) + u'(' + QString::number(index) + u')';
}

template <typename W> W *make(QWidget *parent, const QString &name) {
    auto *w = new W(parent);
    w->setObjectName(name);
    return w;
}

inline QLabel *label(QWidget *parent, const QString &name, const QString &text) {
    auto *l = make<QLabel>(parent, name);
    l->setText(text);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop); // captions sit at the top, as drawn
    return l;
}

} // namespace Controls
