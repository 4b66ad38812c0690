#pragma once

class QWidget;

// Where every control of the main window lies, from one table of positions in twips
// (1/1440 inch) relative to each control's container; the window works at 15 twips per
// logical pixel.
namespace Layout {

int pixels(int twips);

// Sizes the window and places each of its controls found by name.
void apply(QWidget *window);

} // namespace Layout
