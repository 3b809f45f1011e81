#include "ReadBack.h"

#include "TarnBaseConvert.h"

#include <QCoreApplication>
#include <QHash>
#include <QSet>

#include <iterator>

namespace appcore::ReadBack {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("ReadBack", text);
}

// The names and options of the settings are the Adapter's own texts.
QString adapterText(const char *text)
{
    return QCoreApplication::translate("Adapter", text);
}

struct SwitchText {
    const char *name;
    const char *off;
    const char *on;
};

constexpr SwitchText kSwitches[] = {
    {QT_TRANSLATE_NOOP("Adapter", "DI滤波使能"), QT_TRANSLATE_NOOP("Adapter", "关闭"), QT_TRANSLATE_NOOP("Adapter", "开启")},
    {QT_TRANSLATE_NOOP("Adapter", "从站自动复位"), QT_TRANSLATE_NOOP("Adapter", "关闭"), QT_TRANSLATE_NOOP("Adapter", "开启")},
    {QT_TRANSLATE_NOOP("Adapter", "现场总线输出错误"), QT_TRANSLATE_NOOP("Adapter", "清零"), QT_TRANSLATE_NOOP("Adapter", "保持")},
    {QT_TRANSLATE_NOOP("Adapter", "站号分配模式"), QT_TRANSLATE_NOOP("Adapter", "严格组态"), QT_TRANSLATE_NOOP("Adapter", "自由组态")},
};

QString difference(const QString &what, const QString &written, const QString &read)
{
    return tr("%1: 写入 %2, 读回 %3").arg(what, written, read);
}

QString moduleName(const SlaveState &slave)
{
    QString where;
    if (slave.recordCarriesStation)
        where = tr("本地模块");
    else if (slave.stationId == 0)
        where = tr("未设定站号");
    else
        where = tr("站号%1").arg(slave.stationId);
    return tr("%1 %2 (%3)").arg(where, slave.typeName, QString::fromLatin1(slave.uuid));
}

QString areaText(int start, int bits)
{
    return bits <= 0 ? QStringLiteral("-") : QStringLiteral("%1..%2").arg(start).arg(start + bits - 1);
}

// The parameters of a module by name, as value texts.
QList<QPair<QString, QString>> parameters(const SlaveState &slave)
{
    QList<QPair<QString, QString>> out;
    const ItemGroupState *config = slave.group(Slave::kConfigData);
    if (!config)
        return out;
    for (const ItemState &item : config->items) {
        if (item.paramType < TarnBase::ParamFilter)
            continue;
        const int value = item.value.toInt();
        const QString name = item.enumTexts.value(value);
        out.append({item.name, name.isEmpty() ? QString::number(value) : name});
    }
    return out;
}

void compareModule(const SlaveState &stored, const SlaveState &read, QStringList &out)
{
    const QString name = moduleName(stored);
    if (stored.stationId != read.stationId)
        out << difference(tr("%1 站号").arg(name), QString::number(stored.stationId), QString::number(read.stationId));
    const Slave::IoWindow &a = stored.ioWindow;
    const Slave::IoWindow &b = read.ioWindow;
    if (a.inputStart != b.inputStart || a.inputBits != b.inputBits)
        out << difference(tr("%1 输入区").arg(name), areaText(a.inputStart, a.inputBits), areaText(b.inputStart, b.inputBits));
    if (a.outputStart != b.outputStart || a.outputBits != b.outputBits)
        out << difference(tr("%1 输出区").arg(name), areaText(a.outputStart, a.outputBits), areaText(b.outputStart, b.outputBits));
    const auto storedParameters = parameters(stored);
    const auto readParameters = parameters(read);
    for (int i = 0; i < storedParameters.size() && i < readParameters.size(); ++i) {
        if (storedParameters.at(i).second != readParameters.at(i).second)
            out << difference(tr("%1 %2").arg(name, storedParameters.at(i).first), storedParameters.at(i).second,
                              readParameters.at(i).second);
    }
}

} // namespace

QStringList settingsDifferences(const SettingsReadBack &readBack)
{
    if (!readBack.known)
        return {tr("适配器重启后参数未能读回")};
    QStringList out;
    for (int bit = 0; bit < int(std::size(kSwitches)); ++bit) {
        const int written = (readBack.writtenByte >> bit) & 0x01;
        const int read = (readBack.readByte >> bit) & 0x01;
        if (written == read)
            continue;
        const SwitchText &s = kSwitches[bit];
        out << difference(adapterText(s.name), adapterText(written ? s.on : s.off), adapterText(read ? s.on : s.off));
    }
    if (readBack.thresholdChanged && readBack.writtenThreshold != readBack.readThreshold)
        out << difference(adapterText(QT_TRANSLATE_NOOP("Adapter", "阈值(201-2999)")), QString::number(readBack.writtenThreshold),
                          QString::number(readBack.readThreshold));
    return out;
}

QStringList busDifferences(const SlaveList &stored, const SlaveList &reloaded)
{
    QStringList out;
    QHash<QByteArray, SlaveSnapshot> byUid;
    for (const SlaveSnapshot &slave : reloaded) {
        if (!slave->uuid.isEmpty())
            byUid.insert(slave->uuid, slave);
    }
    QSet<QByteArray> seen;
    for (const SlaveSnapshot &slave : stored) {
        if (slave->uuid.isEmpty())
            continue;
        seen.insert(slave->uuid);
        const SlaveSnapshot read = byUid.value(slave->uuid);
        if (!read)
            out << tr("%1 重启后不在总线上").arg(moduleName(*slave));
        else
            compareModule(*slave, *read, out);
    }
    for (const SlaveSnapshot &slave : reloaded) {
        if (!slave->uuid.isEmpty() && !seen.contains(slave->uuid))
            out << tr("%1 保存时不在总线上").arg(moduleName(*slave));
    }
    return out;
}

namespace {

// A warning that lists the differences: the box the first lines (the
// message list keeps them all), logged as an error.
ResultMessage differencesWarning(const QString &heading, const QStringList &lines)
{
    constexpr int kBoxLines = 12;
    constexpr int kBoxWidth = 300;
    QStringList shown = lines.mid(0, kBoxLines);
    if (lines.size() > kBoxLines)
        shown << tr("……另有%1处不同").arg(lines.size() - kBoxLines);
    ResultMessage m;
    m.boxTitle = QCoreApplication::translate("AdapterManage", "警告");
    m.icon = MessageIcon::Warning;
    m.boxWidth = kBoxWidth;
    m.boxText = heading + QLatin1Char(':') + QLatin1Char('\n') + shown.join(QLatin1Char('\n'));
    m.logText = heading + QLatin1String(": ") + lines.join(QLatin1String("; "));
    m.level = MessageLevel::Error;
    return m;
}

} // namespace

ResultMessage settingsMessage(const SettingsReadBack &readBack)
{
    if (readBack.matches())
        return ResultMessage();
    return differencesWarning(tr("适配器参数写入后读回不一致"), settingsDifferences(readBack));
}

ResultMessage storeMessage(const QStringList &differences)
{
    if (!differences.isEmpty())
        return differencesWarning(tr("保存后读回的组态与保存的不一致"), differences);
    ResultMessage m;
    m.logText = tr("组态已读回,与保存的一致。");
    m.level = MessageLevel::Inform;
    return m;
}

} // namespace appcore::ReadBack
