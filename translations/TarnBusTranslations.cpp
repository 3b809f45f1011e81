#include "TarnBusTranslations.h"

#include <QtGlobal>

static void registerTranslations()
{
    Q_INIT_RESOURCE(translations);
}

void initTarnBusTranslations()
{
    static const bool done = (registerTranslations(), true);
    Q_UNUSED(done)
}
