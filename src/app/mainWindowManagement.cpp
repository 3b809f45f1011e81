#include "mainWindowManagement.h"

mainWindowManagement *mainWindowManagement::instance()
{
    static mainWindowManagement registry;
    return &registry;
}
