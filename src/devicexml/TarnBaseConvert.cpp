#include "TarnBaseConvert.h"

#include <QHash>

namespace TarnBase {

namespace {

int lookup(const QHash<QString, int> &table, const QString &text, int fallback)
{
    return table.value(text, fallback);
}

} // namespace

int TarnBaseConvert::dataTypeCode(const QString &text)
{
    static const QHash<QString, int> table = {
        {QStringLiteral("BOOL"), DataBool},
        {QStringLiteral("Bits"), DataBits},
        {QStringLiteral("CHAR"), DataChar},
        {QStringLiteral("INT"), DataInt},
        {QStringLiteral("UINT"), DataUInt},
        {QStringLiteral("DINT"), DataDInt},
        {QStringLiteral("UDINT"), DataUDInt},
        {QStringLiteral("STRING"), DataString},
        {QStringLiteral("STRING_SN"), DataStringSn},
    };
    return lookup(table, text, DataNone);
}

int TarnBaseConvert::paramTypeCode(const QString &text)
{
    static const QHash<QString, int> table = {
        {QStringLiteral("DI"), ParamDI},
        {QStringLiteral("DO"), ParamDO},
        {QStringLiteral("AI"), ParamAI},
        {QStringLiteral("AO"), ParamAO},
        {QStringLiteral("Filter"), ParamFilter},
        {QStringLiteral("Enable"), ParamEnable},
        {QStringLiteral("Substitute"), ParamSubstitute},
        {QStringLiteral("Speedgear"), ParamSpeedGear},
        {QStringLiteral("Direction"), ParamDirection},
        {QStringLiteral("Speedacc"), ParamSpeedAcc},
        {QStringLiteral("Brake"), ParamBrake},
        {QStringLiteral("CCW"), ParamCcw},
        {QStringLiteral("Hall"), ParamHall},
        {QStringLiteral("Learn"), ParamLearn},
        {QStringLiteral("ACC"), ParamAcc},
        {QStringLiteral("DEC"), ParamDec},
        {QStringLiteral("RPM"), ParamRpm},
        {QStringLiteral("VOLT"), ParamVolt},
        {QStringLiteral("POWER"), ParamPower},
        {QStringLiteral("MAX_RPM"), ParamMaxRpm},
        {QStringLiteral("HALL"), ParamHallPhase},
        {QStringLiteral("Fault"), ParamFault},
    };
    return lookup(table, text, ParamStation);
}

int TarnBaseConvert::styleCode(const QString &text, int fallback)
{
    static const QHash<QString, int> table = {
        {QStringLiteral("Label"), StyleLabel},
        {QStringLiteral("LineEdit"), StyleLineEdit},
        {QStringLiteral("CheckBox"), StyleCheckBox},
        {QStringLiteral("ComboBox"), StyleComboBox},
        {QStringLiteral("ComboBox_Lalbe"), StyleComboBoxLabel},
        {QStringLiteral("CirleBtn"), StyleCircleButton},
    };
    return lookup(table, text, fallback);
}

int TarnBaseConvert::indexCode(const QString &text)
{
    // The four fixed objects must match exactly; the process-data objects
    // carry sub-entries after the index, hence the looser test.
    if (text == QLatin1String("#x8000"))
        return IndexConfig;
    if (text == QLatin1String("#xF800"))
        return IndexF800;
    if (text == QLatin1String("#xF900"))
        return IndexF900;
    if (text == QLatin1String("#x4000"))
        return IndexLittleEndian;
    if (text.contains(QLatin1String("#x1600")))
        return IndexOutputs;
    if (text.contains(QLatin1String("#x1a00")))
        return IndexInputs;
    return IndexOther;
}

int TarnBaseConvert::moduleTypeCode(const QString &moduleClass)
{
    static const QHash<QString, int> table = {
        {QStringLiteral("DI"), ModuleDI},
        {QStringLiteral("DO"), ModuleDO},
        {QStringLiteral("DIO"), ModuleDIO},
        {QStringLiteral("DIDO"), ModuleDIDO},
        {QStringLiteral("AI"), ModuleAI},
        {QStringLiteral("AO"), ModuleAO},
        {QStringLiteral("AIO"), ModuleAIO},
        {QStringLiteral("AIAO"), ModuleAIAO},
    };
    return lookup(table, moduleClass, ModuleUndefined);
}

} // namespace TarnBase
