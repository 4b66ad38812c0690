#pragma once

#include "settings/Language.h"

class QAbstractItemModel;
class QWidget;

// Puts captions on the window's controls, found by their names as language files know them:
// Command1(0) to Command1(4), Frame1(0) to Frame1(3), the tabs of TabStrip1, and the columns
// of ListView1 (columns, its model). Controls the captions do not reach keep theirs.
void applyCaptions(QWidget &window, const CaptionSet &captions, QAbstractItemModel &columns);
