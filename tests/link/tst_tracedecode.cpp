// Frames to decoded trace lines: the decoder fed report by report, as the
// link records them, and the lines of the text export.

#include "CommStatus.h"
#include "FrameTrace.h"
#include "TBProtocol.h"
#include "TraceDecode.h"
#include "UsbGlobal.h"

#include <QtTest>

using namespace tarnbus::trace;

namespace {

constexpr int kFrame = 72;

// A frame with its checksum, as the adapter closes it.
QByteArray frame(quint8 code, quint8 p1, quint8 p2, const QByteArray &data = QByteArray(), quint8 byte2 = 0xFE)
{
    QByteArray f(kFrame, '\0');
    f[0] = 0x01;
    f[2] = char(byte2);
    f[3] = char(code);
    f[4] = char(p1);
    f[5] = char(p2);
    for (int i = 0; i < data.size() && i < 64; ++i)
        f[6 + i] = data.at(i);
    const quint16 crc = UsbGlobal::crc16(reinterpret_cast<const quint8 *>(f.constData()), 70, 0);
    f[70] = char(crc & 0xFF);
    f[71] = char(crc >> 8);
    return f;
}

QByteArray firstReport(const QByteArray &f)
{
    return QByteArray("\xEC\x3E", 2) + f.left(62);
}

QByteArray secondReport(const QByteArray &f)
{
    return (QByteArray("\xEE\x0A", 2) + f.mid(62, 10)).leftJustified(64, '\0');
}

QByteArray errorReport()
{
    return QByteArray(1, '\x1E').leftJustified(64, '\0');
}

QByteArray upgrade(quint8 code, const QByteArray &arguments)
{
    return (QByteArray(1, '\x5A') + char(code) + arguments).leftJustified(64, '\0');
}

struct Report {
    Direction direction;
    Channel channel;
    QByteArray bytes;
};
using Reports = QList<Report>;

Report out(const QByteArray &bytes)
{
    return {Direction::Out, Channel::Adapter, bytes};
}
Report in(const QByteArray &bytes)
{
    return {Direction::In, Channel::Adapter, bytes};
}

// The trace's line without its time stamp.
QString lineOf(const Entry &entry)
{
    const QString line = textLine(entry, entry.timeNs);
    return line.mid(line.indexOf(QLatin1String(" | ")) + 3);
}

} // namespace

Q_DECLARE_METATYPE(Reports)
Q_DECLARE_METATYPE(tarnbus::trace::Direction)

class TestTraceDecode : public QObject
{
    Q_OBJECT

private slots:
    // Each row: the reports of an exchange, then the line of the last one,
    // the result of the exchange being given after it (as the link does).
    void decodedLines_data()
    {
        QTest::addColumn<Reports>("reports");
        QTest::addColumn<int>("exchangeResult");
        QTest::addColumn<QString>("line");

        const QByteArray handshake = TBProtocol::handshake();
        const QByteArray ready = frame(0x48, 0, 0);
        QTest::newRow("request, first half") << Reports{out(firstReport(handshake))} << int(COMM_OK)
                                             << "out | request 1/2 | 48 00 EC | handshake | station - | result ok";
        QTest::newRow("request, second half checks") << Reports{out(firstReport(handshake)), out(secondReport(handshake))} << int(COMM_OK)
                                                     << "out | request 2/2 | 48 00 EC | handshake | station - | result ok | crc ok";
        QTest::newRow("reply, whole")
            << Reports{out(firstReport(handshake)), out(secondReport(handshake)), in(firstReport(ready)), in(secondReport(ready))}
            << int(COMM_OK) << "in  | reply 2/2 | 48 00 EC | handshake | station - | result ok | crc ok";

        const QByteArray info = TBProtocol::readSlaveInfo(5);
        QTest::newRow("slave info names its station")
            << Reports{out(firstReport(info))} << int(COMM_OK) << "out | request 1/2 | 25 05 02 | read slave info | station 5 | result ok";

        const QByteArray store = TBProtocol::storeConfiguration();
        const QByteArray refusal = frame(0x46 | 0x80, 0x34, 0x12);
        QTest::newRow("refused")
            << Reports{out(firstReport(store)), out(secondReport(store)), in(firstReport(refusal))} << int(COMM_REFUSED)
            << "in  | reply 1/2 | 46 34 12 | store configuration | station - | result refused | refused";

        QByteArray corrupted = frame(0x21, 24, 36);
        corrupted[70] = char(quint8(corrupted.at(70)) ^ 0xFF);
        const QByteArray power = TBProtocol::readPower();
        QTest::newRow("bad checksum")
            << Reports{out(firstReport(power)), out(secondReport(power)), in(firstReport(corrupted)), in(secondReport(corrupted))}
            << int(COMM_CRC_ERROR) << "in  | reply 2/2 | 21 00 00 | read power | station - | result checksum error | crc bad";

        QTest::newRow("error report")
            << Reports{out(firstReport(power)), out(secondReport(power)), in(errorReport())} << int(COMM_REPLY_ERROR)
            << "in  | error report | 21 00 00 | read power | station - | result error report";

        QTest::newRow("time-out marks the request")
            << Reports{out(firstReport(power)), out(secondReport(power))} << int(COMM_TIMEOUT)
            << "out | request 2/2 | 21 00 00 | read power | station - | result time-out | crc ok";

        const QByteArray cycle = TBProtocol::exchangeProcessData(QByteArray(64, '\0'));
        const QByteArray inputs = frame(0x49, 0, 0, QByteArray(), 7);
        QTest::newRow("process data names the station of its inputs")
            << Reports{out(firstReport(cycle)), out(secondReport(cycle)), in(firstReport(inputs))} << int(COMM_OK)
            << "in  | reply 1/2 | 49 FE 00 | process data | station 7 | result ok";

        QTest::newRow("upgrade request")
            << Reports{{Direction::Out, Channel::Upgrade, upgrade(0xA2, QByteArray("\x08\x00\x40\x00", 4))}} << int(COMM_OK)
            << "out | upgrade request | A2 | announce block | station - | result ok";
        QTest::newRow("upgrade refused")
            << Reports{{Direction::Out, Channel::Upgrade, upgrade(0xA0, {})},
                       {Direction::In, Channel::Upgrade, upgrade(0xA0, QByteArray("\x00\xFF", 2))}}
            << int(COMM_REFUSED) << "in  | upgrade reply | A0 | enter upgrade mode | station - | result refused | refused";
        QTest::newRow("upgrade accepted")
            << Reports{{Direction::Out, Channel::Upgrade, upgrade(0xA7, {})},
                       {Direction::In, Channel::Upgrade, upgrade(0xA7, QByteArray("\xFF\x00\x08\x00\x40\x00", 6))}}
            << int(COMM_OK) << "in  | upgrade reply | A7 | start burning | station - | result ok";
    }

    void decodedLines()
    {
        QFETCH(Reports, reports);
        QFETCH(int, exchangeResult);
        QFETCH(QString, line);

        FrameTrace trace;
        trace.setOn(true);
        const quint64 first = trace.nextSequence();
        for (const Report &r : reports)
            trace.record(r.direction, r.channel, reinterpret_cast<const quint8 *>(r.bytes.constData()), r.bytes.size());
        trace.finish(first, exchangeResult);
        const QVector<Entry> entries = trace.entries();
        QCOMPARE(entries.size(), reports.size());
        QCOMPARE(lineOf(entries.last()), line);
        QCOMPARE(entries.last().report(), reports.last().bytes);
    }

    void fieldsMarkTheFrame()
    {
        FrameTrace trace;
        trace.setOn(true);
        const QByteArray request = TBProtocol::readSlaveInfo(3);
        const QByteArray first = firstReport(request);
        const QByteArray second = secondReport(request);
        trace.record(Direction::Out, Channel::Adapter, reinterpret_cast<const quint8 *>(first.constData()), first.size());
        trace.record(Direction::Out, Channel::Adapter, reinterpret_cast<const quint8 *>(second.constData()), second.size());
        const QVector<Entry> entries = trace.entries();
        QStringList firstFields;
        for (const FieldRange &f : fieldsOf(entries.at(0)))
            firstFields << QStringLiteral("%1 %2-%3").arg(fieldName(f.field)).arg(f.begin).arg(f.end);
        QCOMPARE(firstFields, (QStringList{"marker 0-1", "length 1-2", "header 2-5", "command 5-6", "parameters 6-8", "data 8-64"}));
        QStringList secondFields;
        for (const FieldRange &f : fieldsOf(entries.at(1)))
            secondFields << QStringLiteral("%1 %2-%3").arg(fieldName(f.field)).arg(f.begin).arg(f.end);
        QCOMPARE(secondFields, (QStringList{"marker 0-1", "length 1-2", "data 2-10", "CRC 10-12", "padding 12-64"}));
        QCOMPARE(entries.at(1).meaning.crc, Crc::Good);
    }

    // The ring keeps the newest kCapacity reports, oldest first, and nothing
    // is recorded while the trace is off.
    void ringKeepsTheLatest()
    {
        FrameTrace trace;
        const QByteArray report = firstReport(TBProtocol::handshake());
        const auto *bytes = reinterpret_cast<const quint8 *>(report.constData());
        QCOMPARE(trace.record(Direction::Out, Channel::Adapter, bytes, report.size()), quint64(0));
        QCOMPARE(trace.size(), 0);
        trace.setOn(true);
        for (int i = 0; i < FrameTrace::kCapacity + 25; ++i)
            trace.record(Direction::Out, Channel::Adapter, bytes, report.size());
        const QVector<Entry> entries = trace.entries();
        QCOMPARE(entries.size(), FrameTrace::kCapacity);
        QCOMPARE(entries.first().sequence, quint64(26));
        QCOMPARE(entries.last().sequence, quint64(FrameTrace::kCapacity + 25));
        for (int i = 1; i < entries.size(); ++i)
            QVERIFY(entries.at(i).timeNs >= entries.at(i - 1).timeNs);
        trace.setOn(false);
        trace.record(Direction::Out, Channel::Adapter, bytes, report.size());
        QCOMPARE(trace.size(), FrameTrace::kCapacity); // kept for viewing, not added to
        trace.clear();
        QCOMPARE(trace.size(), 0);
    }
};

QTEST_GUILESS_MAIN(TestTraceDecode)
#include "tst_tracedecode.moc"
