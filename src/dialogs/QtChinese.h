#pragma once

class QTranslator;

// Qt's own texts (message-box buttons, the file and folder dialogs and their warnings) in
// Simplified Chinese, from the translations that come with Qt. The program's own texts are
// Chinese already. Returns false, installing nothing, where the translation is missing.
bool installQtChinese(QTranslator &translator);

// Tells Qt that the program's texts are Simplified Chinese: the locale, and the font families
// in the order that gives Han characters their Chinese forms under any desktop language (a
// Japanese family would otherwise come first for them where the desktop is not Chinese).
// Call once the application object exists.
void useChineseForms();
