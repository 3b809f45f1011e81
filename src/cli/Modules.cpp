#include "Modules.h"
#include "Texts.h"

#include "TarnBaseConvert.h"

#include <QJsonArray>

namespace modules {

namespace {
constexpr int kMaxSelectorDigits = 3;
constexpr int kMaxStation = 128;
constexpr int kFaultBits = 6;
const QString kAbnormal = QStringLiteral("abnormal");

bool printable(const QByteArray &bytes)
{
    for (char c : bytes) {
        if (c < 0x21 || c > 0x7E)
            return false;
    }
    return !bytes.isEmpty();
}

bool isStationNumber(const QString &text)
{
    if (text.isEmpty() || text.size() > kMaxSelectorDigits)
        return false;
    for (const QChar c : text) {
        if (!c.isDigit())
            return false;
    }
    return true;
}

QJsonValue areaJson(int start, int bits)
{
    if (bits == 0)
        return QJsonValue::Null;
    return QJsonObject{{QStringLiteral("start"), start}, {QStringLiteral("bits"), bits}};
}
} // namespace

QString uid(const SlaveState &slave)
{
    return printable(slave.uuid) ? QString::fromLatin1(slave.uuid) : QString::fromLatin1(slave.uuid.toHex().toUpper());
}

QString station(const SlaveState &slave)
{
    if (slave.recordCarriesStation)
        return Texts::tr("local");
    return slave.stationId == 0 ? QStringLiteral("-") : QString::number(slave.stationId);
}

QString describe(const SlaveState &slave)
{
    const QString where = slave.recordCarriesStation ? Texts::tr("local module")
                          : slave.stationId == 0    ? Texts::tr("module without station")
                                                    : Texts::tr("station %1").arg(slave.stationId);
    return QStringLiteral("%1 (%2, %3)").arg(where, slave.typeName, uid(slave));
}

QString area(int start, int bits)
{
    return bits == 0 ? QStringLiteral("-") : QStringLiteral("%1..%2").arg(start).arg(start + bits - 1);
}

int faultByte(const SlaveState &slave)
{
    const int bits[kFaultBits] = {slave.faultBit0, slave.faultBit1, slave.faultBit2,
                                  slave.faultBit3, slave.faultBit4, slave.faultBit5};
    int byte = 0;
    for (int i = 0; i < kFaultBits; ++i)
        byte |= (bits[i] ? 1 : 0) << i;
    return byte;
}

QStringList faults(const SlaveState &slave)
{
    QStringList names;
    const ItemGroupState *info = slave.group(Slave::kBasicInfo);
    if (!info)
        return names;
    for (int i = Slave::kBasicInfoFlagsStart; i < info->items.size(); ++i) {
        const ItemState &item = info->items.at(i);
        if (item.value.toText() == kAbnormal)
            names << item.name;
    }
    return names;
}

QString className(const SlaveState &slave)
{
    // A module without a kind of its own shows its fallback description's class otherwise.
    return slave.typeCode == TarnBase::ModuleUndefined || slave.moduleClass.isEmpty() ? QStringLiteral("?") : slave.moduleClass;
}

QStringList tableHeader()
{
    return {Texts::tr("STATION"), Texts::tr("TYPE"),    Texts::tr("CLASS"), Texts::tr("UID"),
            Texts::tr("INPUTS"),  Texts::tr("OUTPUTS"), Texts::tr("STATE"), Texts::tr("FAULTS")};
}

QStringList tableRow(const SlaveState &slave)
{
    const Slave::IoWindow w = slave.ioWindow;
    const QStringList faultList = faults(slave);
    const QString state = QStringLiteral("%1 0x%2")
                              .arg(slave.statusRun ? Texts::tr("run") : Texts::tr("stop"))
                              .arg(slave.lastStatusByte, 2, 16, QLatin1Char('0'));
    return {station(slave),
            slave.typeName,
            className(slave),
            uid(slave),
            area(w.inputStart, w.inputBits),
            area(w.outputStart, w.outputBits),
            state,
            faultList.isEmpty() ? QStringLiteral("-") : faultList.join(QLatin1Char(','))};
}

QJsonObject json(const SlaveState &slave)
{
    const Slave::IoWindow w = slave.ioWindow;
    QJsonObject object;
    object.insert(QStringLiteral("station"), slave.stationId);
    object.insert(QStringLiteral("local"), slave.recordCarriesStation);
    object.insert(QStringLiteral("type"), slave.typeName);
    object.insert(QStringLiteral("class"), className(slave));
    object.insert(QStringLiteral("moduleIdent"), slave.moduleIdent);
    object.insert(QStringLiteral("uid"), uid(slave));
    object.insert(QStringLiteral("inputs"), areaJson(w.inputStart, w.inputBits));
    object.insert(QStringLiteral("outputs"), areaJson(w.outputStart, w.outputBits));
    object.insert(QStringLiteral("state"), slave.lastStatusByte);
    object.insert(QStringLiteral("running"), slave.statusRun != 0);
    object.insert(QStringLiteral("faultBits"), faultByte(slave));
    object.insert(QStringLiteral("faults"), QJsonArray::fromStringList(faults(slave)));
    return object;
}

std::variant<SlaveSnapshot, CliError> find(const SlaveList &slaves, const QString &selector)
{
    const QString text = selector.trimmed();
    if (isStationNumber(text)) {
        const int number = text.toInt();
        if (number < 1 || number > kMaxStation)
            return CliError::usage(Texts::tr("station %1 is outside 1..128").arg(text));
        SlaveList found;
        for (const SlaveSnapshot &slave : slaves) {
            if (slave->stationId == number && !slave->recordCarriesStation)
                found << slave;
        }
        if (found.isEmpty())
            return CliError::usage(Texts::tr("no module at station %1").arg(number));
        if (found.size() > 1) {
            QStringList names;
            for (const SlaveSnapshot &slave : found)
                names << uid(*slave);
            return CliError::usage(Texts::tr("station %1 is shared by %2 modules (%3); name the module by its UID")
                                       .arg(number)
                                       .arg(found.size())
                                       .arg(names.join(QLatin1String(", "))));
        }
        return found.first();
    }
    for (const QChar c : text) {
        if (!c.isLetterOrNumber() || c.unicode() > 0x7F)
            return CliError::usage(QStringLiteral("\"%1\" is neither a station number nor a UID").arg(selector));
    }
    for (const SlaveSnapshot &slave : slaves) {
        if (QString::fromLatin1(slave->uuid).compare(text, Qt::CaseInsensitive) == 0
            || QString::fromLatin1(slave->uuid.toHex()).compare(text, Qt::CaseInsensitive) == 0)
            return slave;
    }
    return CliError::usage(Texts::tr("no module with UID %1").arg(text));
}

} // namespace modules
