#include "ReadBack.h"

#include "ConfigCompare.h"

#include <QCoreApplication>

#include <iterator>

namespace appcore::ReadBack {

namespace {

// tr() of the context "ReadBack", so that lupdate files the texts there.
struct Texts
{
    Q_DECLARE_TR_FUNCTIONS(ReadBack)
};

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
    return Texts::tr("%1: 写入 %2, 读回 %3").arg(what, written, read);
}

QString moduleName(const Compare::Module &module)
{
    QString where;
    if (module.local)
        where = Texts::tr("本地模块");
    else if (module.station == 0)
        where = Texts::tr("未设定站号");
    else
        where = Texts::tr("站号%1").arg(module.station);
    return Texts::tr("%1 %2 (%3)").arg(where, module.typeName, QString::fromLatin1(module.uid));
}

// The lines of one module stored and read back: its station, its areas as
// ranges and its parameters.
void moduleDifferences(const Compare::Result &result, const Compare::Row &row, QStringList &out)
{
    using Compare::Field;
    const Compare::Module &stored = result.configuredModule(row);
    const Compare::Module &read = result.busModule(row);
    const QString name = moduleName(stored);
    const auto differs = [&row](Field field) {
        const Compare::FieldValue *v = row.field(field);
        return v && v->differs;
    };
    if (differs(Field::Type))
        out << difference(Texts::tr("%1 类型").arg(name), stored.typeName, read.typeName);
    if (differs(Field::Station))
        out << difference(Texts::tr("%1 站号").arg(name), QString::number(stored.station), QString::number(read.station));
    if (differs(Field::InputStart) || differs(Field::InputChannels))
        out << difference(Texts::tr("%1 输入区").arg(name), Compare::areaText(stored.inputs), Compare::areaText(read.inputs));
    if (differs(Field::OutputStart) || differs(Field::OutputChannels))
        out << difference(Texts::tr("%1 输出区").arg(name), Compare::areaText(stored.outputs), Compare::areaText(read.outputs));
    for (const Compare::FieldValue &v : row.fields) {
        if (v.field == Field::Parameter && v.differs)
            out << difference(Texts::tr("%1 %2").arg(name, v.name), v.configured, v.bus);
    }
}

} // namespace

QStringList settingsDifferences(const SettingsReadBack &readBack)
{
    if (!readBack.known)
        return {Texts::tr("适配器重启后参数未能读回")};
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
    const Compare::Result result = Compare::compare(Compare::sideOf(stored), Compare::sideOf(reloaded));
    QStringList out;
    for (const Compare::Row &row : result.rows) {
        switch (row.kind) {
        case Compare::Kind::Same:
            break;
        case Compare::Kind::Missing:
            out << Texts::tr("%1 重启后不在总线上").arg(moduleName(result.configuredModule(row)));
            break;
        case Compare::Kind::Extra:
            out << Texts::tr("%1 保存时不在总线上").arg(moduleName(result.busModule(row)));
            break;
        case Compare::Kind::Ambiguous:
            for (int i = 0; i < row.configured.size(); ++i)
                out << Texts::tr("%1 重启后无法对应: %2").arg(moduleName(result.configuredModule(row, i)), Compare::ambiguityText(row, result));
            break;
        case Compare::Kind::Differs:
        case Compare::Kind::TypeMismatch:
            moduleDifferences(result, row, out);
            break;
        }
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
        shown << Texts::tr("……另有%1处不同").arg(lines.size() - kBoxLines);
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
    return differencesWarning(Texts::tr("适配器参数写入后读回不一致"), settingsDifferences(readBack));
}

ResultMessage storeMessage(const QStringList &differences)
{
    if (!differences.isEmpty())
        return differencesWarning(Texts::tr("保存后读回的组态与保存的不一致"), differences);
    ResultMessage m;
    m.logText = Texts::tr("组态已读回,与保存的一致。");
    m.level = MessageLevel::Inform;
    return m;
}

} // namespace appcore::ReadBack
