#include "AppIdentity.h"

#include <QCoreApplication>

namespace AppIdentity {

QString applicationName()
{
    return QStringLiteral("tarnbus-tester");
}

QString desktopId()
{
    return QStringLiteral("org.tarnbus.tester");
}

QString version()
{
    return QStringLiteral(TARNBUS_VERSION);
}

void apply()
{
    QCoreApplication::setApplicationName(applicationName());
    QCoreApplication::setOrganizationName(QStringLiteral("TarnBUS"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("tarnbus.org"));
    QCoreApplication::setApplicationVersion(version());
}

} // namespace AppIdentity
