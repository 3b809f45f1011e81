#include "TarnBusResources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE declares the registration function of resources.qrc, which has to
// happen outside any namespace.
static bool registerImages()
{
    Q_INIT_RESOURCE(resources);
    return true;
}

void initTarnBusResources()
{
    static const bool registered = registerImages();
    Q_UNUSED(registered)
}
