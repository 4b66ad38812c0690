#include "settings/Language.h"

void LoadLanguage(const QString &programDirectory, LanguageTargets &targets) {
    Q_UNUSED(programDirectory);
    Q_UNUSED(targets);
}
