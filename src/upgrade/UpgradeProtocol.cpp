#include "UpgradeProtocol.h"

#include <QRegularExpression>
#include <QtEndian>

#include <algorithm>

namespace upgradeprotocol {

namespace {

constexpr int kCommandOffset = 2; // in an output report, after id and marker
constexpr int kArgumentOffset = 3;
constexpr quint8 kSearchRestartArguments[] = {0x08, 0x00, 0x40};

// Device information reply.
constexpr int kHardwareOffset = 4;
constexpr int kBootOffset = 6;
constexpr int kAppOffset = 10;
constexpr int kTypeOffset = 14;

quint8 byteAt(const QByteArray &bytes, int index)
{
    return index < bytes.size() ? quint8(bytes.at(index)) : 0;
}

bool hasResult(const QByteArray &reply, quint8 command, quint8 first, quint8 second)
{
    return reply.size() >= 4 && matches(reply, command) && byteAt(reply, 2) == first && byteAt(reply, 3) == second;
}

QString versionText(const QByteArray &reply, int offset)
{
    const char letter = char(byteAt(reply, offset));
    QString text = letter ? QString(QLatin1Char(letter)) : QString();
    for (int i = 1; i <= 3; ++i) {
        text += QString::number(qint8(byteAt(reply, offset + i)));
        if (i < 3)
            text += QLatin1Char('.');
    }
    return text;
}

// Orders two version parts: as numbers when both are numbers, else as text.
int compareParts(const QString &a, const QString &b)
{
    bool aNumber = false;
    bool bNumber = false;
    const qlonglong x = a.toLongLong(&aNumber);
    const qlonglong y = b.toLongLong(&bNumber);
    if (aNumber && bNumber)
        return x < y ? -1 : (x > y ? 1 : 0);
    if (a.isEmpty() != b.isEmpty()) // a missing part counts as 0
        return compareParts(a.isEmpty() ? QStringLiteral("0") : a, b.isEmpty() ? QStringLiteral("0") : b);
    return a.compare(b);
}

} // namespace

QByteArray report(quint8 command, const QByteArray &arguments)
{
    QByteArray bytes(kReportSize, '\0');
    bytes[1] = char(kMarker);
    bytes[kCommandOffset] = char(command);
    bytes.replace(kArgumentOffset, qMin(arguments.size(), kReportSize - kArgumentOffset), arguments);
    return bytes.left(kReportSize);
}

QByteArray announceBlock(quint32 address)
{
    char bytes[4];
    qToBigEndian(address, bytes);
    return report(CmdAnnounceBlock, QByteArray(bytes, 4));
}

QByteArray blockData(const char *data, int length)
{
    QByteArray arguments;
    arguments.append('\0').append(char(length)).append(data, length);
    return report(CmdBlockData, arguments);
}

QByteArray searchRestart()
{
    return report(CmdRestart, QByteArray(reinterpret_cast<const char *>(kSearchRestartArguments), 3));
}

bool matches(const QByteArray &reply, quint8 command)
{
    return byteAt(reply, 0) == kMarker && byteAt(reply, 1) == command;
}

bool succeeded(const QByteArray &reply, quint8 command)
{
    return hasResult(reply, command, 0xFF, 0x00);
}

bool refused(const QByteArray &reply, quint8 command)
{
    return hasResult(reply, command, 0x00, 0xFF);
}

quint32 startAddress(const QByteArray &reply)
{
    return quint32(byteAt(reply, 4)) << 24 | quint32(byteAt(reply, 5)) << 16 | quint32(byteAt(reply, 6)) << 8
        | byteAt(reply, 7);
}

DeviceInfo decodeDeviceInfo(const QByteArray &reply)
{
    DeviceInfo info;
    info.hardware = byteAt(reply, kHardwareOffset) << 8 | byteAt(reply, kHardwareOffset + 1);
    info.bootVersion = versionText(reply, kBootOffset);
    info.appVersion = versionText(reply, kAppOffset);
    const QByteArray type = reply.mid(kTypeOffset);
    const int end = type.indexOf('\0');
    info.type = QString::fromLatin1(end < 0 ? type : type.left(end));
    return info;
}

bool categoryFits(const QString &category, const QString &deviceType)
{
    const QString wanted = category.trimmed();
    if (wanted.isEmpty())
        return true;
    const QStringList words = deviceType.split(QRegularExpression(QStringLiteral("[\\s()]+")), Qt::SkipEmptyParts);
    return std::any_of(words.cbegin(), words.cend(),
                       [&wanted](const QString &word) { return word.compare(wanted, Qt::CaseInsensitive) == 0; });
}

VersionOrder compareVersions(const QString &packageVersion, const QString &appVersion)
{
    const QLatin1Char separator(appVersion.contains(QLatin1Char('V')) ? 'V' : 'T');
    if (!appVersion.contains(separator))
        return VersionOrder::Unreadable;
    const QStringList device = appVersion.split(separator).value(1).split(QLatin1Char('.'));
    const QStringList package = packageVersion.split(QLatin1Char('.'));
    // Part by part, as numbers: "10" is above "9", and a lower minor or
    // patch number is a downgrade as much as a lower major one.
    for (int i = 0; i < qMax(device.size(), package.size()); ++i) {
        const int order = compareParts(package.value(i), device.value(i));
        if (order != 0)
            return order < 0 ? VersionOrder::PackageLower : VersionOrder::PackageHigher;
    }
    return VersionOrder::Equal;
}

bool isPackageVersion(const QString &appVersion, const QString &packageVersion)
{
    const QLatin1Char separator(appVersion.contains(QLatin1Char('V')) ? 'V' : 'T');
    if (!appVersion.contains(separator))
        return false;
    const QStringList device = appVersion.split(separator).value(1).split(QLatin1Char('.'));
    const QStringList package = packageVersion.split(QLatin1Char('.'));
    if (device.size() != kDeviceVersionParts)
        return false;
    for (int i = 0; i < kDeviceVersionParts; ++i) {
        bool shownIsNumber = false;
        bool wantedIsNumber = true;
        const int shown = device.at(i).toInt(&shownIsNumber);
        const QString part = package.value(i);
        const qlonglong wanted = part.isEmpty() ? 0 : part.toLongLong(&wantedIsNumber);
        if (!shownIsNumber || !wantedIsNumber || wanted < 0 || int(qint8(quint8(wanted))) != shown)
            return false;
    }
    return true;
}

} // namespace upgradeprotocol
