#include "QtTranslations.h"

#include "AppLog.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace QtTranslations {

QLocale windowLocale()
{
    return QLocale(QLocale::Chinese, QLocale::China);
}

bool install(QCoreApplication &application, const QLocale &locale)
{
    auto *translator = new QTranslator(&application);
    // "qt_zh_CN.qm" gathers qtbase and the other modules' catalogues.
    if (!translator->load(locale, QStringLiteral("qt"), QStringLiteral("_"),
                          QLibraryInfo::location(QLibraryInfo::TranslationsPath))) {
        qCInfo(lcApp) << "Qt's translations for" << locale.name() << "not found; Qt's own texts stay in English";
        delete translator;
        return false;
    }
    return application.installTranslator(translator);
}

} // namespace QtTranslations
