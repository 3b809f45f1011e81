// The slave's row of the configuration CSV file.
//
// Columns: device type, station, alignment, input begin (address divided by
// the alignment), input channels, output begin, output channels, filter
// level, substitute enable, substitute value, device id, [UID], then up to
// twelve values of the remaining configuration items in item order.

#include "RecordLayout.h"
#include "Slave.h"
#include "SlaveLog.h"

#include <TarnBaseConvert.h>

#include <QStringList>

#include <array>

using namespace TarnBase;

namespace {

constexpr int kFurtherValues = 12;
constexpr int kColStation = 1;
constexpr int kColAlignment = 2;
constexpr int kColInputBegin = 3;
constexpr int kColInputChannels = 4;
constexpr int kColOutputBegin = 5;
constexpr int kColOutputChannels = 6;
constexpr int kColFilter = 7;
constexpr int kColEnable = 8;
constexpr int kColSubstitute = 9;
constexpr int kColUid = 11;
constexpr int kFirstFurtherPlain = 11;
constexpr int kFirstFurtherWithUid = 12;
constexpr int kMinUidLength = 6; // shorter texts in the UID column are no UID
constexpr int kMaxStation = 128;
constexpr int kMaxChannels = 0x7F;

// A text field must not break the line apart.
QString field(QString text)
{
    for (QChar &c : text) {
        if (c == QLatin1Char(',') || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            c = QLatin1Char(' ');
    }
    return text;
}

QString joined(const quint32 *values, int count)
{
    QStringList parts;
    parts.reserve(count);
    for (int i = 0; i < count; ++i)
        parts.append(QString::number(values[i]));
    return parts.join(QLatin1Char(','));
}

quint32 unsignedOf(int value)
{
    return quint32(qMax(0, value));
}

} // namespace

QString Slave::toCsvLine() const
{
    return csvLine(false);
}

QString Slave::toCsvLineWithUid() const
{
    return csvLine(true);
}

bool Slave::applyCsvLine(const QString &line)
{
    return applyCsv(line, false);
}

bool Slave::applyCsvLineWithUid(const QString &line)
{
    return applyCsv(line, true);
}

QString Slave::csvLine(bool withUid) const
{
    const ItemsInfo *config = group(kConfigData);
    if (!config)
        return QString();

    // station, alignment, input begin, input channels, output begin, output
    // channels, filter level, substitute enable, substitute value
    std::array<quint32, 9> nine{};
    std::array<quint32, kFurtherValues> further{};
    nine[0] = stationId;
    if (config->items.size() >= 2) {
        // Begin addresses are written in units of the alignment. An area
        // placed by bits that the alignment does not divide (placed in bit
        // alignment, then switched to bytes) is written with alignment 1
        // and its exact bit address, so that reading the line back puts it
        // where it is.
        int unit = qMax(1, alignment);
        for (const ItemInfo *item : config->items) {
            if ((item->isInputChannels() || item->isOutputChannels()) && item->startAddress % unit != 0)
                unit = 1;
        }
        nine[1] = unsignedOf(unit == 1 ? 1 : alignment);
        int furtherCount = 0;
        for (const ItemInfo *item : config->items) {
            if (item->isStation())
                continue;
            if (item->isInputChannels()) {
                nine[2] = unsignedOf(item->startAddress / unit);
                nine[3] = unsignedOf(item->channels);
            } else if (item->isOutputChannels()) {
                nine[4] = unsignedOf(item->startAddress / unit);
                nine[5] = unsignedOf(item->channels);
            } else if (item->paramType == ParamFilter) {
                nine[6] = item->value.toUnsigned();
            } else if (item->paramType == ParamEnable) {
                nine[7] = item->value.toUnsigned();
            } else if (item->paramType == ParamSubstitute) {
                nine[8] = item->value.toUnsigned();
            } else if (furtherCount < kFurtherValues) {
                further[size_t(furtherCount++)] = item->value.toUnsigned();
            }
        }
    }

    QString line = withUid ? field(typeName) : QLatin1Char('*') + field(typeName);
    line += QLatin1Char(',') + joined(nine.data(), int(nine.size()));
    line += QLatin1Char(',') + field(moduleIdent);
    if (withUid)
        line += QLatin1Char(',') + QString::fromLatin1(uuid.toHex().toUpper());
    line += QLatin1Char(',') + joined(further.data(), int(further.size()));
    line += QLatin1Char('\n');
    return line;
}

bool Slave::applyCsv(const QString &line, bool withUid)
{
    ItemsInfo *config = group(kConfigData);
    if (!config)
        return false;
    // Lines written by spreadsheet programs end in "\r\n".
    const QStringList columns = line.trimmed().split(QLatin1Char(','), Qt::KeepEmptyParts);
    const int firstFurther = withUid ? kFirstFurtherWithUid : kFirstFurtherPlain;
    if (columns.size() < firstFurther) {
        qCWarning(lcSlave) << "CSV line has too few columns:" << line;
        return false;
    }

    // Check everything before changing anything: a bad line changes nothing.
    std::array<quint32, kColSubstitute + 1> number{};
    for (int col = kColStation; col <= kColSubstitute; ++col) {
        bool ok = false;
        number[size_t(col)] = columns.at(col).trimmed().toUInt(&ok, 10);
        if (!ok) {
            qCWarning(lcSlave) << "CSV column" << col << "is not a number:" << line;
            return false;
        }
    }
    QList<quint32> further;
    for (int col = firstFurther; col < columns.size(); ++col) {
        bool ok = false;
        further.append(columns.at(col).trimmed().toUInt(&ok, 10));
        if (!ok) {
            qCWarning(lcSlave) << "CSV column" << col << "is not a number:" << line;
            return false;
        }
    }
    const quint32 station = number[kColStation];
    const quint64 inputStart = quint64(number[kColInputBegin]) * number[kColAlignment];
    const quint64 outputStart = quint64(number[kColOutputBegin]) * number[kColAlignment];
    if (station > kMaxStation || inputStart > quint64(RecordLayout::kMaxAddress)
        || outputStart > quint64(RecordLayout::kMaxAddress) || number[kColInputChannels] > kMaxChannels
        || number[kColOutputChannels] > kMaxChannels) {
        qCWarning(lcSlave) << "CSV line out of range:" << line;
        return false;
    }

    // A count of 0 is a module that holds no area (what the tool writes for
    // one): it keeps none, whatever channels its description offers.
    const auto channelsOf = [this](quint32 lineChannels) {
        return lineChannels == 0 ? 0 : suportChangeableChannel ? int(lineChannels) : channelCount;
    };
    stationId = newStationId = quint8(station);
    int next = 0;
    for (ItemInfo *item : qAsConst(config->items)) {
        if (item->isStation()) {
            item->station = qint16(station);
        } else if (item->isInputChannels()) {
            item->startAddress = qint16(inputStart);
            item->channels = qint16(channelsOf(number[kColInputChannels]));
        } else if (item->isOutputChannels()) {
            item->startAddress = qint16(outputStart);
            item->channels = qint16(channelsOf(number[kColOutputChannels]));
        } else if (item->paramType == ParamFilter) {
            item->value.setValue(int(number[kColFilter]));
        } else if (item->paramType == ParamEnable) {
            item->value.setValue(int(number[kColEnable]));
        } else if (item->paramType == ParamSubstitute) {
            item->value.setValue(int(number[kColSubstitute]));
        } else if (next < further.size()) {
            item->value.setValue(int(further.at(next++)));
        }
    }

    // A configuration built from a file keeps the module's id, so that a
    // later download can find the module by it.
    if (withUid && uuid.isEmpty()) {
        const QString uid = columns.at(kColUid).trimmed();
        const QByteArray bytes = QByteArray::fromHex(uid.toLatin1());
        if (uid.size() >= kMinUidLength && uid.size() % 2 == 0
            && QString::fromLatin1(bytes.toHex()).compare(uid, Qt::CaseInsensitive) == 0)
            setUuid(bytes);
    }
    return true;
}
