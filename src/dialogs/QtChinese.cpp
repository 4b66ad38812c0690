#include "dialogs/QtChinese.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

bool installQtChinese(QTranslator &translator) {
    if (!translator.load(QStringLiteral("qtbase_zh_CN"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    return QCoreApplication::installTranslator(&translator);
}

void useChineseForms() {
    QLocale::setDefault(
        QLocale(QLocale::Chinese, QLocale::SimplifiedChineseScript, QLocale::China));
    QFont font = QApplication::font();
    QStringList families{
#ifdef Q_OS_WIN
        QStringLiteral("Microsoft YaHei UI"),
        QStringLiteral("Microsoft YaHei"),
        QStringLiteral("SimSun"),
#else
        QStringLiteral("Noto Sans CJK SC"),
        QStringLiteral("Source Han Sans SC"),
        QStringLiteral("WenQuanYi Micro Hei"),
        QStringLiteral("WenQuanYi Zen Hei"),
#endif
    };
    // The desktop's own family first, for Latin text; the Chinese ones then serve Han text.
    families.prepend(font.family());
    font.setFamilies(families);
    QApplication::setFont(font);
}
