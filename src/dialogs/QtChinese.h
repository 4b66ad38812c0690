#pragma once

class QTranslator;

// Qt's own texts (message-box buttons, the file and folder dialogs and their warnings) in
// Simplified Chinese, from the translations that come with Qt. The program's own texts are
// Chinese already. Returns false, installing nothing, where the translation is missing.
bool installQtChinese(QTranslator &translator);
