#pragma once

#include <QStringView>

// The start number of the sequential rename, read from the text the user typed.
//
// Blanks, tabs and line feeds are ignored wherever they stand. Then an optional sign, digits,
// an optional "." with more digits and an optional exponent ("e" or "E", optional sign,
// digits) are read up to the first character that does not fit; text that does not begin
// with a number gives 0. Text beginning with &H or &O (either letter case) is a hexadecimal or
// octal whole number, read as far as its digits go. Only ASCII digits count.
double readLeadingNumber(QStringView text);

// The nearest whole number, an exact half going to the even neighbour. Infinities stay.
double roundHalfToEven(double value);

// readLeadingNumber rounded: the start number before any range check. It may lie outside
// -32768..32767, and is infinite when the text's number is too large for a double.
double readStartNumber(QStringView text);
