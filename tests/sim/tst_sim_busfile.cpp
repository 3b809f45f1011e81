// The bus files: the shipped ones load and describe the buses they promise;
// a wrong one is refused with a message that names the place.

#include "SimTestSupport.h"

#include <set>

using namespace simtest;

namespace {

// Bits of one direction claimed by more than one module.
int overlappingBits(const std::vector<tbsim::Module> &modules, bool input)
{
    std::vector<int> claims(tbsim::kImageBits, 0);
    for (const tbsim::Module &m : modules) {
        const int start = input ? m.inStart : m.outStart;
        const int bits = input ? m.inBits() : m.outBits();
        for (int bit = start; bit < start + bits; ++bit)
            ++claims[size_t(bit)];
    }
    return int(std::count_if(claims.begin(), claims.end(), [](int n) { return n > 1; }));
}

int totalBits(const std::vector<tbsim::Module> &modules, bool input)
{
    int total = 0;
    for (const tbsim::Module &m : modules)
        total += input ? m.inBits() : m.outBits();
    return total;
}

} // namespace

class SimBusFileTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { useShortLinkTiming(); }
    void init() { tbsim::bus().reset(); }
    void cleanup() { QVERIFY(tbsim::bus().violations().empty()); }

    void demoBus();
    void fullBus();
    void malformed_data();
    void malformed();
    void missingFile();
};

void SimBusFileTest::demoBus()
{
    QCOMPARE(tbsim::bus().loadFile("sim/buses/demo.json"), std::string());
    QCOMPARE(tbsim::bus().serials(), std::vector<std::string>({"3C2E0A000001"}));
    const std::vector<tbsim::Module> modules = tbsim::bus().adapter("3C2E0A000001").modules();

    std::set<uint16_t> types;
    std::map<int, int> perStation;
    int locals = 0;
    int unset = 0;
    for (const tbsim::Module &m : modules) {
        types.insert(m.typeCode);
        locals += m.local;
        unset += !m.local && m.station == 0;
        if (m.station > 0)
            ++perStation[m.station];
    }
    QCOMPARE(locals, 1);
    QCOMPARE(unset, 1);
    QCOMPARE(int(std::count_if(perStation.begin(), perStation.end(), [](const auto &s) { return s.second == 2; })), 1);
    QVERIFY(types.count(0x7E57));
    for (uint16_t type : {0x1101, 0x1102, 0x1103, 0x1201, 0x1202, 0x1301, 0x1302, 0x1401, 0x2101, 0x2102, 0x2201, 0x2301, 0x2401})
        QVERIFY2(types.count(type), qPrintable(QString::number(type, 16)));

    // The wired pairs show up in an IO test: a DO drives a DI, the AO an AI.
    Link link("3C2E0A000001");
    QByteArray image(64, '\0');
    image[1] = char(0x3C);            // the DO16 at output bit 8
    image.replace(8, 2, hex("d204")); // the AO4 at output bit 64
    QCOMPARE(link.send(TBProtocol::enterForceMode()), COMM_OK);
    QByteArray reply;
    QCOMPARE(link.send(TBProtocol::exchangeProcessData(image), &reply), COMM_OK);
    QCOMPARE(reply.mid(6 + 1, 1).toHex(), QByteArray("3c")); // the DI16 at input bit 8
    QCOMPARE(reply.mid(6 + 12, 2).toHex(), QByteArray("d204")); // the AI4 at input bit 96
    QCOMPARE(reply.mid(6 + 20, 4).toHex(), QByteArray("0000e803")); // the AI8's constant values at bit 160
    QCOMPARE(reply.mid(6, 1).toHex(), QByteArray("ff"));           // the local module's toggling inputs...
    QCOMPARE(link.send(TBProtocol::exchangeProcessData(image), &reply), COMM_OK);
    QCOMPARE(reply.mid(6, 1).toHex(), QByteArray("00"));           // ...change every exchange
}

void SimBusFileTest::fullBus()
{
    QCOMPARE(tbsim::bus().loadFile("sim/buses/full128.json"), std::string());
    const std::vector<tbsim::Module> modules = tbsim::bus().adapter("3C2E0A000128").modules();
    QCOMPARE(modules.size(), size_t(128));
    std::set<int> stations;
    for (const tbsim::Module &m : modules)
        stations.insert(m.station);
    QCOMPARE(stations.size(), size_t(128));
    QCOMPARE(*stations.begin(), 1);
    QCOMPARE(*stations.rbegin(), 128);
    QCOMPARE(totalBits(modules, true), 512);
    QCOMPARE(totalBits(modules, false), 512);
    QCOMPARE(overlappingBits(modules, true), 0);
    QCOMPARE(overlappingBits(modules, false), 0);

    Link link("3C2E0A000128");
    QByteArray reply;
    do {
        QCOMPARE(link.send(TBProtocol::readBusStatus(), &reply), COMM_OK);
    } while (quint8(reply[1]) & 0x20);
    QCOMPARE(quint8(reply[6]), quint8(128));
    QCOMPARE(reply.mid(7, 16), QByteArray(16, char(0xFF)));
}

void SimBusFileTest::malformed_data()
{
    QTest::addColumn<QString>("json");
    QTest::addColumn<QString>("message");

    const auto bus = [](const char *module) {
        return QStringLiteral(R"({ "adapters": [ { "serial": "X1", "modules": [ %1 ] } ] })").arg(QLatin1String(module));
    };
    QTest::newRow("not JSON") << "{ \"adapters\": [ }" << "not valid JSON at line 1";
    QTest::newRow("unknown top key") << "{ \"adapter\": [] }" << "bus: unknown key \"adapter\"";
    QTest::newRow("no serial") << "{ \"adapters\": [ {} ] }" << "adapters[0]: an adapter needs a \"serial\"";
    QTest::newRow("unknown adapter key") << "{ \"adapters\": [ { \"serial\": \"X\", \"restartMS\": 5 } ] }"
                                         << "adapters[0]: unknown key \"restartMS\"";
    QTest::newRow("threshold out of range") << "{ \"adapters\": [ { \"serial\": \"X\", \"threshold\": 100 } ] }"
                                            << "adapters[0].threshold: 100 outside 201..2999";
    QTest::newRow("same serial twice") << "{ \"adapters\": [ { \"serial\": \"X\" }, { \"serial\": \"X\" } ] }"
                                       << "adapters[1]: serial X is used twice";
    QTest::newRow("unknown module key") << bus(R"({ "typeCode": 4353, "uid": "DA01B2C3D401", "statoin": 1 })")
                                        << "adapters[0].modules[0]: unknown key \"statoin\"";
    QTest::newRow("station 129") << bus(R"({ "typeCode": 4353, "uid": "DA01B2C3D401", "station": 129 })")
                                 << "adapters[0].modules[0].station: 129 outside 0..128";
    QTest::newRow("type code as text") << bus(R"({ "typeCode": "0x11G1", "uid": "DA01B2C3D401" })")
                                       << "adapters[0].modules[0].typeCode: \"0x11G1\" is not a number";
    QTest::newRow("numbers as text are decimal") << bus(R"({ "typeCode": "4353", "uid": "DA01B2C3D401", "station": "0129" })")
                                                 << "adapters[0].modules[0].station: 129 outside 0..128";
    QTest::newRow("short uid") << bus(R"({ "typeCode": 4353, "uid": "DA01" })") << "module DA01: the uid must have 12 characters";
    QTest::newRow("uid twice") << bus(R"({ "typeCode": 4353, "uid": "DA01B2C3D401", "station": 1 },
                                         { "typeCode": 4353, "uid": "DA01B2C3D401", "station": 2 })")
                               << "the uid is used twice";
    QTest::newRow("two local modules") << bus(R"({ "typeCode": 4353, "uid": "DA01B2C3D401", "local": true },
                                                 { "typeCode": 4353, "uid": "DA01B2C3D402", "local": true })")
                                       << "more than one local module";
    QTest::newRow("area beyond 512") << bus(R"({ "typeCode": 4353, "uid": "DA01B2C3D401", "inStart": 510 })")
                                     << "input area beyond bit 511";
    QTest::newRow("more channels than the type") << bus(R"({ "typeCode": 4353, "uid": "DA01B2C3D401", "inChannels": 9 })")
                                                 << "more channels than the module has";
    QTest::newRow("params too short") << bus(R"({ "typeCode": 4353, "uid": "DA01B2C3D401", "params": "0011" })")
                                      << "adapters[0].modules[0].params: expected 12 bytes";
    QTest::newRow("wire from nowhere") << bus(R"({ "typeCode": 4353, "uid": "DA01B2C3D401",
                                                  "inputs": { "source": "wire", "from": "NOSUCHMODULE" } })")
                                       << "inputs wired from NOSUCHMODULE, which is not on the bus";
    QTest::newRow("wire of another width") << bus(R"({ "typeCode": 4353, "uid": "DA01B2C3D401",
                                                      "inputs": { "source": "wire", "from": "DA01B2C3D402" } },
                                                    { "typeCode": 8705, "uid": "DA01B2C3D402" })")
                                           << "whose channels have another bit width";
    QTest::newRow("unknown input source") << bus(R"({ "typeCode": 4353, "uid": "DA01B2C3D401", "inputs": { "source": "random" } })")
                                          << "adapters[0].modules[0].inputs.source: \"random\" is none of none, constant, toggle, wire, count";
    QTest::newRow("unknown fault kind") << "{ \"adapters\": [ { \"serial\": \"X\", \"faults\": [ { \"kind\": \"explode\" } ] } ] }"
                                        << "adapters[0].faults[0].kind: unknown fault kind \"explode\"";
}

void SimBusFileTest::malformed()
{
    QFETCH(QString, json);
    QFETCH(QString, message);

    QCOMPARE(tbsim::bus().loadJson(kTestBus), std::string());
    const std::string error = tbsim::bus().loadJson(json.toStdString());
    QVERIFY2(QString::fromStdString(error).contains(message), error.c_str());
    QCOMPARE(tbsim::bus().serials(), std::vector<std::string>({kSerial})); // the bus before stays
}

void SimBusFileTest::missingFile()
{
    const std::string error = tbsim::bus().loadFile("sim/buses/no-such-bus.json");
    QVERIFY2(QString::fromStdString(error).startsWith("sim/buses/no-such-bus.json: "), error.c_str());
}

QTEST_GUILESS_MAIN(SimBusFileTest)
#include "tst_sim_busfile.moc"
