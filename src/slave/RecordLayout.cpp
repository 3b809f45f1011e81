#include "RecordLayout.h"

namespace RecordLayout {

int startAddress(const QByteArray &record, int pos)
{
    return (byteAt(record, pos) >> 7) | (byteAt(record, pos + 1) << 1);
}

int channelCount(const QByteArray &record, int pos)
{
    return byteAt(record, pos) & kChannelMask;
}

namespace Key {
const QString FilterLevel = QStringLiteral("Filter level");
const QString FieldbusErrorWithOutput = QStringLiteral("Fieldbus error with output");
const QString MotorLearning = QStringLiteral("Motor Learning");
const QString HallMode = QStringLiteral("Hall mode");
const QString CwCcw = QStringLiteral("CW/CCW");
const QString Brake = QStringLiteral("Brake");
const QString SubstituteValue = QStringLiteral("Substitute value");
const QString SpeedGear = QStringLiteral("Speed gear");
const QString Direction = QStringLiteral("Direction");
const QString SpeedAcc = QStringLiteral("Speed acc");
const QString Power = QStringLiteral("POWER");
const QString Volt = QStringLiteral("VOLT");
const QString Rpm = QStringLiteral("RPM");
const QString Acc = QStringLiteral("ACC");
const QString Dec = QStringLiteral("DEC");
const QString MaxRpm = QStringLiteral("MAX_RPM");
const QString HallPhase = QStringLiteral("HALL phase");
const QString FaultCode = QStringLiteral("Fault code");
} // namespace Key

QMap<QString, qint16> decodeParameters(const QByteArray &record, int offset)
{
    const auto b = [&record, offset](int i) { return int(byteAt(record, offset + i)); };
    const auto w = [&record, offset](int i) { return qint16(wordAt(record, offset + i)); };

    QMap<QString, qint16> params;
    params.insert(Key::FilterLevel, qint16((b(0) >> 4) & 0x0F));
    params.insert(Key::FieldbusErrorWithOutput, qint16(b(0) & 0x01));
    params.insert(Key::MotorLearning, qint16(b(1) & 0x01));
    params.insert(Key::HallMode, qint16((b(1) >> 1) & 0x01));
    params.insert(Key::CwCcw, qint16((b(1) >> 2) & 0x01));
    params.insert(Key::Brake, qint16((b(1) >> 3) & 0x03));
    params.insert(Key::SubstituteValue, w(2));
    params.insert(Key::SpeedGear, qint16(b(4) & 0x03));
    params.insert(Key::Direction, qint16((b(4) >> 2) & 0x01));
    params.insert(Key::SpeedAcc, qint16((b(4) >> 3) & 0x07));
    params.insert(Key::Power, qint16((b(4) & 0x1F) - 2));
    params.insert(Key::Volt, qint16((b(4) >> 5) & 0x01));
    params.insert(Key::Rpm, qint16((wordAt(record, offset + 4) >> 6) & 0x0F));
    params.insert(Key::Acc, qint16((b(5) >> 2) & 0x07));
    params.insert(Key::Dec, qint16((b(5) >> 5) & 0x07));
    params.insert(Key::MaxRpm, w(6));
    params.insert(Key::HallPhase, w(8));
    params.insert(Key::FaultCode, w(10));
    return params;
}

QByteArray encodeParameters(const QMap<QString, qint16> &params)
{
    QByteArray block(kParamBlockSize, '\0');
    const auto setBits = [&](const QString &key, int byte, int shift, int mask, int bias = 0) {
        const auto it = params.constFind(key);
        if (it == params.cend())
            return;
        const int value = (int(*it) + bias) & mask;
        block[byte] = char((quint8(block.at(byte)) & ~(mask << shift)) | (value << shift));
    };
    const auto setWord = [&](const QString &key, int byte) {
        const auto it = params.constFind(key);
        if (it == params.cend())
            return;
        putWord(block, byte, quint16(*it));
    };
    setBits(Key::FilterLevel, 0, 4, 0x0F);
    setBits(Key::FieldbusErrorWithOutput, 0, 0, 0x01);
    setBits(Key::MotorLearning, 1, 0, 0x01);
    setBits(Key::HallMode, 1, 1, 0x01);
    setBits(Key::CwCcw, 1, 2, 0x01);
    setBits(Key::Brake, 1, 3, 0x03);
    setWord(Key::SubstituteValue, 2);
    setBits(Key::SpeedGear, 4, 0, 0x03);
    setBits(Key::Direction, 4, 2, 0x01);
    setBits(Key::SpeedAcc, 4, 3, 0x07);
    setBits(Key::Power, 4, 0, 0x1F, 2);
    setBits(Key::Volt, 4, 5, 0x01);
    if (const auto it = params.constFind(Key::Rpm); it != params.cend()) {
        // bits 9..6 of the little-endian word at byte 4
        const quint16 word = wordAt(block, 4);
        putWord(block, 4, quint16((word & ~(0x0F << 6)) | ((*it & 0x0F) << 6)));
    }
    setBits(Key::Acc, 5, 2, 0x07);
    setBits(Key::Dec, 5, 5, 0x07);
    setWord(Key::MaxRpm, 6);
    setWord(Key::HallPhase, 8);
    setWord(Key::FaultCode, 10);
    return block;
}

} // namespace RecordLayout
