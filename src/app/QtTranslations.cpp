#include "QtTranslations.h"

#include "AppLog.h"
#include "Language.h"

namespace QtTranslations {

QLocale windowLocale()
{
    return Language::locale(Language::current());
}

bool install(QCoreApplication &application, const QLocale &locale)
{
    if (Language::installQtTranslations(application, locale))
        return true;
    qCInfo(lcApp) << "Qt's translations for" << locale.name() << "not found; Qt's own texts stay in English";
    return false;
}

} // namespace QtTranslations
