// Configuration writes change the module they address, and are refused
// (offset 3 with bit 7 set, module untouched) where an adapter must refuse.

#include "SimTestSupport.h"

using namespace simtest;

namespace {

QByteArray word(int start, int channels)
{
    const int value = start << 7 | channels;
    return QByteArray(1, char(value & 0xFF)) + QByteArray(1, char(value >> 8));
}

const QByteArray kParams = hex("5001e80300000000000000ab");

// 0x46 01 00: the 32-byte configuration record of the tool's parameter editor.
QByteArray stationRecord(int current, int next, const QByteArray &in, const QByteArray &out,
                         const QByteArray &params = kParams)
{
    QByteArray record = QByteArray(1, char(current)) + QByteArray(1, char(next)) + in + out + params;
    return TBProtocol::writeSlaveConfig(record.leftJustified(32, '\0'));
}

// 0x47 00 02: the 64-byte address assignment record.
QByteArray assignment(const QByteArray &uid, int current, int next, const QByteArray &in, const QByteArray &out,
                      const QByteArray &params = QByteArray(12, '\0'))
{
    QByteArray record = uid + QByteArray(1, char(current)) + QByteArray(1, char(next)) + in + out + params;
    return TBProtocol::writeAddressAssignment(record.leftJustified(64, '\0'));
}

// 0x46 00 02: a configuration block of the offline download.
QByteArray block(int station, const QByteArray &in, const QByteArray &out, quint8 filter, quint16 substitute)
{
    QByteArray record = QByteArray(1, char(station)) + QByteArray(1, char(station)) + in + out;
    record += QByteArray(1, char(filter)) + QByteArray(1, '\0');
    record += QByteArray(1, char(substitute & 0xFF)) + QByteArray(1, char(substitute >> 8));
    return TBProtocol::downloadConfiguration(record.leftJustified(64, '\0'));
}

QString describe(const tbsim::Module &m)
{
    return QStringLiteral("station %1 in %2/%3 out %4/%5 params %6")
        .arg(m.station).arg(m.inStart).arg(m.inChannels).arg(m.outStart).arg(m.outChannels)
        .arg(QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(m.params.data()), 12).toHex()));
}

} // namespace

class SimConfigTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { useShortLinkTiming(); }
    void init() { loadTestBus(); }
    void cleanup() { QVERIFY(tbsim::bus().violations().empty()); }

    void configurationWrite_data();
    void configurationWrite();
};

void SimConfigTest::configurationWrite_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QString>("uid");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QString>("expected"); // the module afterwards; empty when refused

    const QByteArray none = word(0, 0);
    const QString di8 = "DI8000000001";

    QTest::newRow("station record moves and re-addresses")
        << stationRecord(1, 9, word(40, 8), none) << di8 << false << "station 9 in 40/8 out 0/0 params 5001e80300000000000000ab";
    QTest::newRow("station record keeps the station")
        << stationRecord(1, 1, word(8, 4), none) << di8 << false << "station 1 in 8/4 out 0/0 params 5001e80300000000000000ab";
    QTest::newRow("analog area ending at bit 512")
        << stationRecord(3, 3, none, word(448, 4)) << "AO4000000003" << false << "station 3 in 0/0 out 448/4 params 5001e80300000000000000ab";
    QTest::newRow("local module keeps station 0")
        << stationRecord(0, 0, word(16, 8), word(16, 8)) << "LOCAL0000000" << false << "station 0 in 16/8 out 16/8 params 5001e80300000000000000ab";
    QTest::newRow("station record: no module there") << stationRecord(50, 9, word(40, 8), none) << di8 << true << "";
    QTest::newRow("station record: new station 0") << stationRecord(1, 0, word(8, 8), none) << di8 << true << "";
    QTest::newRow("station record: new station 129") << stationRecord(1, 129, word(8, 8), none) << di8 << true << "";
    QTest::newRow("station record: station taken") << stationRecord(1, 2, word(8, 8), none) << di8 << true << "";
    QTest::newRow("station record: inputs beyond bit 511") << stationRecord(1, 1, word(505, 8), none) << di8 << true << "";
    QTest::newRow("station record: more channels than the module has") << stationRecord(1, 1, word(8, 9), none) << di8 << true << "";
    QTest::newRow("station record: outputs on an input module") << stationRecord(1, 1, word(8, 8), word(0, 1)) << di8 << true << "";
    QTest::newRow("station record: analog area one bit too far")
        << stationRecord(3, 3, none, word(449, 4)) << "AO4000000003" << true << "";
    QTest::newRow("station record: local module to a bus station")
        << stationRecord(0, 5, word(0, 8), word(0, 8)) << "LOCAL0000000" << true << "";

    QTest::newRow("assignment places a module without station")
        << assignment("NOSTATION005", 0, 10, word(100, 16), none) << "NOSTATION005" << false << "station 10 in 100/16 out 0/0 params 000000000000000000000000";
    QTest::newRow("assignment accepts a repeated station")
        << assignment("SHARED000007", 6, 2, none, word(108, 8)) << "SHARED000007" << false << "station 2 in 0/0 out 108/8 params 000000000000000000000000";
    QTest::newRow("assignment clears a module")
        << assignment("DI8000000001", 1, 0, none, none) << di8 << false << "station 0 in 0/0 out 0/0 params 000000000000000000000000";
    QTest::newRow("assignment with parameters")
        << assignment("DI8000000001", 1, 1, word(8, 8), none, kParams) << di8 << false << "station 1 in 8/8 out 0/0 params 5001e80300000000000000ab";
    QTest::newRow("assignment: unknown uid") << assignment("NOSUCHMODULE", 1, 1, word(8, 8), none) << di8 << true << "";
    QTest::newRow("assignment: station above 128") << assignment("DI8000000001", 1, 129, word(8, 8), none) << di8 << true << "";
    QTest::newRow("assignment: beyond 512 bits")
        << assignment("AO4000000003", 3, 3, none, word(460, 4)) << "AO4000000003" << true << "";

    QTest::newRow("configuration block")
        << block(2, none, word(40, 8), 0x31, 0x1234) << "DO8000000002" << false << "station 2 in 0/0 out 40/8 params 310034120000000000000000";
    QTest::newRow("configuration block keeps other parameters")
        << block(1, word(8, 8), none, 0x21, 0) << di8 << false << "station 1 in 8/8 out 0/0 params 210a000000000000000000cd";
    QTest::newRow("configuration block: no module there") << block(50, none, word(40, 8), 0x31, 0) << di8 << true << "";
}

void SimConfigTest::configurationWrite()
{
    QFETCH(QByteArray, request);
    QFETCH(QString, uid);
    QFETCH(bool, refused);
    QFETCH(QString, expected);

    const std::string moduleUid = uid.toStdString();
    const QString before = describe(*adapter().module(moduleUid));
    Link link;
    QByteArray reply;
    QCOMPARE(link.send(request, &reply), refused ? COMM_REFUSED : COMM_OK);
    QCOMPARE(quint8(reply[3]), quint8(quint8(request[3]) | (refused ? 0x80 : 0x00)));
    QCOMPARE(describe(*adapter().module(moduleUid)), refused ? before : expected);

    const tbsim::TrafficEntry logged = adapter().traffic().back();
    QCOMPARE(toQ(logged.data), request.mid(6, 64));
    QCOMPARE(logged.outcome, refused ? tbsim::TrafficEntry::Refused : tbsim::TrafficEntry::Replied);
    QCOMPARE(logged.note.empty(), !refused);
}

QTEST_GUILESS_MAIN(SimConfigTest)
#include "tst_sim_config.moc"
