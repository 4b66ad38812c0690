#pragma once

#include <QSize>

class QWidget;

// Where every control of the main window lies, from one table of positions in twips
// (1/1440 inch) relative to each control's container; the window works at 15 twips per
// logical pixel.
namespace Layout {

int pixels(int twips);

// The window's documented size, its smallest.
QSize documentedSize();

// Gives the window its documented size as its smallest and places each of its controls found
// by name.
void apply(QWidget *window);

// Places the controls for the window at size: past the documented size the tab strip, the
// pages and the lists grow, and what lies below or right of them moves along.
void follow(QWidget *window, const QSize &size);

} // namespace Layout
