#include "ItemTexts.h"

#include <TarnBaseConvert.h>

namespace itemtexts {

QString address(const ItemFields &item)
{
    if (!item.hasAddress())
        return QStringLiteral("-");
    const int start = item.startAddress;
    if (item.bitLength <= 1)
        return QStringLiteral("%1 (%2.%3)").arg(start).arg(start / 8).arg(start % 8);
    return QStringLiteral("%1..%2").arg(start).arg(start + item.bitLength - 1);
}

QString valueText(const ItemState &item, bool live)
{
    return item.hasAddress() && live ? item.value.toText() : QStringLiteral("-");
}

QString ioType(const ItemFields &item)
{
    switch (item.paramType) {
    case TarnBase::ParamDI:
        return QStringLiteral("DI");
    case TarnBase::ParamDO:
        return QStringLiteral("DO");
    case TarnBase::ParamAI:
        return QStringLiteral("AI");
    case TarnBase::ParamAO:
        return QStringLiteral("AO");
    default:
        return QString();
    }
}

QColor valueColor(const QString &text)
{
    return text == QLatin1String("TRUE") ? QColor(0x36, 0x96, 0x5D) : QColor(0x33, 0x33, 0x33);
}

} // namespace itemtexts
