#include "dialogs/QtChinese.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

bool installQtChinese(QTranslator &translator) {
    if (!translator.load(QStringLiteral("qtbase_zh_CN"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    return QCoreApplication::installTranslator(&translator);
}
