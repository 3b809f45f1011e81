#pragma once

#include <QObject>
#include <QString>

namespace TarnBase {

// Data type codes of item values (text of BaseType / Type / DataType).
enum DataTypeCode {
    DataBool = 0,
    DataBits = 1,
    DataChar = 2,
    DataInt = 3,
    DataUInt = 4,
    DataDInt = 5,
    DataUDInt = 6,
    DataString = 7,
    DataStringSn = 8,
    DataNone = 10,
};

// Parameter type of an item: which field of a slave's configuration it is.
enum XML_ItemParamType {
    ParamStation = 0,
    ParamDI = 1,
    ParamDO = 2,
    ParamAI = 3,
    ParamAO = 4,
    ParamFilter = 5,
    ParamEnable = 6,
    ParamSubstitute = 7,
    ParamSpeedGear = 8,
    ParamDirection = 9,
    ParamSpeedAcc = 10,
    ParamBrake = 11,
    ParamCcw = 12,
    ParamHall = 13,
    ParamLearn = 14,
    ParamAcc = 15,
    ParamDec = 16,
    ParamRpm = 17,
    ParamVolt = 18,
    ParamPower = 19,
    ParamMaxRpm = 20,
    ParamHallPhase = 21,
    ParamFault = 22,
};

// How a view shows an item.
enum StyleCode {
    StyleLabel = 0,
    StyleLineEdit = 1,
    StyleCheckBox = 2,
    StyleComboBox = 3,
    StyleComboBoxLabel = 4,
    StyleCircleButton = 5,
};

// Object index codes of item groups and values.
enum IndexCode {
    IndexConfig = 0x8000,
    IndexF800 = 0xF800,
    IndexF900 = 0xF900,
    IndexLittleEndian = 0x4000, // 32-bit values stored least significant byte first
    IndexOutputs = 0x1600,
    IndexInputs = 0x1A00,
    IndexOther = 0x1A01,
};

// Module type codes; the kind of slave a module becomes.
enum ModuleTypeCode {
    ModuleDI = 0,
    ModuleDO = 1,
    ModuleDIO = 2,
    ModuleDIDO = 3,
    ModuleAI = 4,
    ModuleAO = 5,
    ModuleAIO = 6,
    ModuleAIAO = 7,
    ModuleUndefined = 8,
};

// Text → code conversions used while reading descriptions and building items.
// Keywords are compared exactly and case-sensitively; anything unknown maps
// to the "other" code of its table.
class TarnBaseConvert : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    static int dataTypeCode(const QString &text);
    static int paramTypeCode(const QString &text);
    // The style code of text, or fallback when the text names no style.
    static int styleCode(const QString &text, int fallback);
    static int indexCode(const QString &text);
    static int moduleTypeCode(const QString &moduleClass);
};

} // namespace TarnBase
