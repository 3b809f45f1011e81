// The virtual adapter's boot loader, driven with raw upgrade reports through
// hidapi: the information reply, a whole upgrade and the image it leaves,
// every refusal of a transfer out of order or with a broken image, the
// faults of the bus file, an adapter left in its boot loader, and the
// search's restart request.

#include "BootLoader.h"
#include "BootLoaderControl.h"
#include "SimTestSupport.h"

#include <hidapi.h>

using namespace simtest;
using tbsim::Bytes;

namespace {

constexpr char kBootSerial[] = "BOOTTEST0001";
constexpr quint32 kStart = 0x08004000;
constexpr int kRestartMs = 40;

// Two adapters; the second has a boot loader of its own description.
const char kBus[] = R"({ "adapters": [
    { "serial": "BOOTTEST0001", "name": "TBC-U100", "hardware": "0102", "boot": [1, 0, 3], "app": [2, 1, 7],
      "scanReads": 0, "restartMs": 40 },
    { "serial": "BOOTTEST0002", "name": "TBC-U200", "hardware": "0A0B", "scanReads": 0, "restartMs": 40,
      "bootLoader": { "type": "TBC-U200 Coupler", "bootLetter": "T", "appLetter": "T",
                      "startAddress": "0xFFFFF800", "answersRestart": true } } ] })";

void putLittleEndian(Bytes &bytes, size_t offset, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        bytes[offset + size_t(i)] = quint8(value >> (8 * i));
}

// An upgrade file's content, built by hand with the simulator's own CRC.
Bytes makeImage(int bodySize, const std::string &version = "TBC 3.4.5", bool breakBodyCrc = false)
{
    Bytes image(96 + size_t(bodySize), 0);
    std::copy_n(version.begin(), version.size(), image.begin() + 28);
    for (int i = 0; i < bodySize; ++i)
        image[96 + size_t(i)] = quint8(i * 13 + 5);
    putLittleEndian(image, 76, tbsim::crc32(image.data() + 96, size_t(bodySize)) ^ (breakBodyCrc ? 1u : 0u));
    putLittleEndian(image, 88, quint32(bodySize));
    putLittleEndian(image, 92, tbsim::crc32(image.data(), 92));
    return image;
}

Bytes padded(Bytes image)
{
    image.resize((image.size() + 1023) / 1024 * 1024, 0xFF);
    return image;
}

class RawDevice
{
public:
    explicit RawDevice(const char *serial = kBootSerial)
    {
        const std::wstring wide = QString::fromLatin1(serial).toStdWString();
        m_dev = hid_open(tbsim::kVendorId, tbsim::kProductId, wide.c_str());
    }
    ~RawDevice()
    {
        if (m_dev)
            hid_close(m_dev);
    }
    RawDevice(const RawDevice &) = delete;
    RawDevice &operator=(const RawDevice &) = delete;

    bool isOpen() const { return m_dev != nullptr; }

    int send(quint8 command, const Bytes &arguments = {})
    {
        unsigned char report[65] = {0x00, 0x5A, command};
        std::copy(arguments.begin(), arguments.end(), report + 3);
        return hid_write(m_dev, report, sizeof report);
    }
    // The reply, empty when none came in time.
    Bytes receive(int timeoutMs = 100)
    {
        unsigned char buffer[64];
        const int n = hid_read_timeout(m_dev, buffer, sizeof buffer, timeoutMs);
        return n > 0 ? Bytes(buffer, buffer + n) : Bytes();
    }
    Bytes exchange(quint8 command, const Bytes &arguments = {})
    {
        return send(command, arguments) == 65 ? receive() : Bytes();
    }

    Bytes announce(quint32 address) { return exchange(0xA2, {quint8(address >> 24), quint8(address >> 16), quint8(address >> 8), quint8(address)}); }
    // Sends one 1024-byte block after its announcement; the last piece's reply.
    Bytes sendBlock(const Bytes &block)
    {
        for (int offset = 0; offset < 1020; offset += 60)
            sendPiece(block, offset, 60);
        return send(0xA3, piece(block, 1020, 4)) == 65 ? receive() : Bytes();
    }
    int sendPiece(const Bytes &block, int offset, int length) { return send(0xA3, piece(block, offset, length)); }

private:
    static Bytes piece(const Bytes &block, int offset, int length)
    {
        Bytes arguments{0x00, quint8(length)};
        arguments.insert(arguments.end(), block.begin() + offset, block.begin() + offset + length);
        return arguments;
    }
    hid_device *m_dev = nullptr;
};

bool succeeded(const Bytes &reply, quint8 command)
{
    return reply.size() >= 4 && reply[0] == 0x5A && reply[1] == command && reply[2] == 0xFF && reply[3] == 0x00;
}

bool refused(const Bytes &reply, quint8 command)
{
    return reply.size() >= 4 && reply[0] == 0x5A && reply[1] == command && reply[2] == 0x00 && reply[3] == 0xFF;
}

Bytes blockOf(const Bytes &image, int index)
{
    return Bytes(image.begin() + index * 1024, image.begin() + (index + 1) * 1024);
}

// Enter, burn, begin; false when one of them was not acknowledged.
bool prepare(RawDevice &dev)
{
    return succeeded(dev.exchange(0xA0), 0xA0) && succeeded(dev.exchange(0xA7), 0xA7) && succeeded(dev.exchange(0xA1), 0xA1);
}

// Every block of the image, in order.
bool transfer(RawDevice &dev, const Bytes &image, quint32 start = kStart)
{
    for (int i = 0; i < int(image.size() / 1024); ++i) {
        if (!succeeded(dev.announce(start + quint32(i) * 1024), 0xA2) || !succeeded(dev.sendBlock(blockOf(image, i)), 0xA3))
            return false;
    }
    return true;
}

tbsim::BootLoaderView view(const char *serial = kBootSerial)
{
    return tbsim::bootLoaderView(serial);
}

} // namespace

class SimBootLoaderTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { useShortLinkTiming(); }
    void init()
    {
        tbsim::bus().reset();
        const std::string error = tbsim::bus().loadJson(kBus);
        QVERIFY2(error.empty(), error.c_str());
    }
    void cleanup() { QVERIFY(tbsim::bus().violations().empty()); }

    void crcCheckValue();
    void deviceInformation_data();
    void deviceInformation();
    void wholeUpgrade();
    void addressesWrapAtTheTopOfMemory();
    void restartAnsweredBeforeGoing();
    void refusals_data();
    void refusals();
    void faultsFromTheBusFile();
    void unplugMidTransferLeavesTheBootLoader();
    void startsInItsBootLoader();
    void rollsBackToTheApplicationItHad();
    void searchRestartRequest();
    void malformedReportsAreViolations();
    void upgradeDemonstrationBus();
};

void SimBootLoaderTest::crcCheckValue()
{
    const char text[] = "123456789";
    QCOMPARE(tbsim::crc32(reinterpret_cast<const quint8 *>(text), 9), 0xCBF43926u);
}

void SimBootLoaderTest::deviceInformation_data()
{
    QTest::addColumn<QString>("serial");
    QTest::addColumn<QByteArray>("expected"); // bytes 4 to the type's NUL

    QTest::newRow("defaults") << "BOOTTEST0001" << QByteArray::fromHex("0102" "56010003" "56020107") + "TBC-U100" + '\0';
    QTest::newRow("own description") << "BOOTTEST0002" << QByteArray::fromHex("0A0B" "54010003" "54020107") + "TBC-U200 Coupler" + '\0';
}

void SimBootLoaderTest::deviceInformation()
{
    QFETCH(QString, serial);
    QFETCH(QByteArray, expected);
    RawDevice dev(serial.toLatin1().constData());
    const Bytes reply = dev.exchange(0xB0);
    QCOMPARE(int(reply.size()), 64);
    QVERIFY(succeeded(reply, 0xB0));
    QCOMPARE(toQ(reply).mid(4, expected.size()), expected);
    QVERIFY(!view(serial.toLatin1().constData()).running); // reading the information changes nothing
}

void SimBootLoaderTest::wholeUpgrade()
{
    const Bytes image = padded(makeImage(2500, "TBC 3.4.5"));
    RawDevice dev;
    QVERIFY(succeeded(dev.exchange(0xA0), 0xA0));
    const Bytes burning = dev.exchange(0xA7);
    QVERIFY(succeeded(burning, 0xA7));
    QCOMPARE(toQ(burning).mid(4, 4), QByteArray::fromHex("08004000"));
    QVERIFY(view().applicationErased);
    QVERIFY(succeeded(dev.exchange(0xA1), 0xA1));

    // Seventeen full pieces go unanswered; the block's last piece is answered.
    QVERIFY(succeeded(dev.announce(kStart), 0xA2));
    for (int offset = 0; offset < 1020; offset += 60)
        QCOMPARE(dev.sendPiece(blockOf(image, 0), offset, 60), 65);
    QVERIFY(dev.receive(0).empty());
    QCOMPARE(dev.sendPiece(blockOf(image, 0), 1020, 4), 65);
    QVERIFY(succeeded(dev.receive(), 0xA3));
    QVERIFY(transfer(dev, Bytes(image.begin() + 1024, image.end()), kStart + 1024));
    QCOMPARE(view().received, image);

    QVERIFY(succeeded(dev.exchange(0xA4), 0xA4));
    QVERIFY(succeeded(dev.exchange(0xA5), 0xA5));
    QCOMPARE(view().flashed, image);
    QCOMPARE(view().app, (std::array<uint8_t, 3>{3, 4, 5}));

    // The restart: gone at once without a reply, off USB for the restart
    // time, back with the application, which gives its new version over the
    // adapter protocol.
    QCOMPARE(dev.send(0xA6), 65);
    QVERIFY(!tbsim::bus().adapter(kBootSerial).isPlugged());
    QVERIFY(dev.receive().empty());
    QTRY_VERIFY(tbsim::bus().adapter(kBootSerial).isPlugged());
    const tbsim::BootLoaderView after = view();
    QVERIFY(!after.running);
    QVERIFY(!after.applicationErased);
    QCOMPARE(after.upgradesCompleted, 1);
    Link link(QString::fromLatin1(kBootSerial));
    QByteArray identity;
    QCOMPARE(link.send(TBProtocol::readIdentity(), &identity), COMM_OK);
    QCOMPARE(identity.mid(61, 3), QByteArray::fromHex("030405"));
}

void SimBootLoaderTest::addressesWrapAtTheTopOfMemory()
{
    const Bytes image = padded(makeImage(3000));
    RawDevice dev("BOOTTEST0002");
    QVERIFY(prepare(dev));
    // 0xFFFFF800, 0xFFFFFC00, then 0x00000000 and 0x00000400.
    QVERIFY(transfer(dev, image, 0xFFFFF800u));
    QCOMPARE(view("BOOTTEST0002").nextAddress, 0x00000800u);
    QVERIFY(succeeded(dev.exchange(0xA4), 0xA4));
}

void SimBootLoaderTest::restartAnsweredBeforeGoing()
{
    RawDevice dev("BOOTTEST0002");
    QVERIFY(succeeded(dev.exchange(0xA6), 0xA6));
    QTRY_VERIFY(!tbsim::bus().adapter("BOOTTEST0002").isPlugged());
    QTRY_VERIFY(tbsim::bus().adapter("BOOTTEST0002").isPlugged());
}

void SimBootLoaderTest::refusals_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("note");

    // Steps: enter, burn, begin, info, finish1, finish2, "block:N" (block N of
    // a 3-block image at its own address), "announce:N", "piece" (one full
    // piece), "short" (a 4-byte piece), "corrupt" (what follows comes from an
    // image with a wrong body CRC). The last step is refused, the others
    // are acknowledged.
    QTest::newRow("burning before upgrade mode") << "burn" << "not in upgrade mode";
    QTest::newRow("transfer before burning") << "enter begin" << "burning has not started";
    QTest::newRow("block before the transfer") << "enter burn announce:0" << "block announced outside a transfer";
    QTest::newRow("block out of order") << "enter burn begin announce:1" << "block at 0x08004400, expected 0x08004000";
    QTest::newRow("block twice") << "enter burn begin block:0 announce:0" << "block at 0x08004000, expected 0x08004400";
    QTest::newRow("data without a block") << "enter burn begin block:0 short" << "block data without an announced block";
    QTest::newRow("next block before the last is complete") << "enter burn begin announce:0 piece announce:1"
                                                            << "the previous block is incomplete";
    QTest::newRow("short piece inside a block") << "enter burn begin announce:0 piece short"
                                                << "a short piece that does not end its block";
    QTest::newRow("finishing with a block missing") << "enter burn begin block:0 block:1 finish1"
                                                    << "the image is shorter than its body length";
    QTest::newRow("finishing with an open block") << "enter burn begin block:0 announce:1 finish1"
                                                  << "no complete transfer to check";
    QTest::newRow("wrong body CRC") << "corrupt enter burn begin block:0 block:1 block:2 finish1"
                                    << "the image's body CRC does not match";
    QTest::newRow("second step before the first") << "enter burn begin block:0 block:1 block:2 finish2"
                                                  << "the image has not been checked";
    QTest::newRow("upgrade mode does not erase") << "enter finish1" << "no complete transfer to check";
}

void SimBootLoaderTest::refusals()
{
    QFETCH(QString, script);
    QFETCH(QString, note);
    Bytes image = padded(makeImage(2200));
    RawDevice dev;
    const QStringList steps = script.split(QLatin1Char(' '));
    for (int i = 0; i < steps.size(); ++i) {
        const QString step = steps.at(i);
        const int n = step.section(QLatin1Char(':'), 1).toInt();
        quint8 command = 0;
        Bytes reply;
        if (step == QLatin1String("corrupt")) {
            image = padded(makeImage(2200, "TBC 3.4.5", true));
            continue;
        } else if (step.startsWith(QLatin1String("block:"))) {
            QVERIFY(succeeded(dev.announce(kStart + quint32(n) * 1024), 0xA2));
            command = 0xA3;
            reply = dev.sendBlock(blockOf(image, n));
        } else if (step.startsWith(QLatin1String("announce:"))) {
            command = 0xA2;
            reply = dev.announce(kStart + quint32(n) * 1024);
        } else if (step == QLatin1String("piece")) {
            QCOMPARE(dev.sendPiece(blockOf(image, 0), 0, 60), 65);
            continue;
        } else if (step == QLatin1String("short")) {
            command = 0xA3;
            QCOMPARE(dev.sendPiece(blockOf(image, 0), 1020, 4), 65);
            reply = dev.receive();
        } else {
            const QMap<QString, quint8> codes{{"info", 0xB0}, {"enter", 0xA0}, {"burn", 0xA7}, {"begin", 0xA1},
                                              {"finish1", 0xA4}, {"finish2", 0xA5}};
            QVERIFY2(codes.contains(step), qPrintable(step));
            command = codes.value(step);
            reply = dev.exchange(command);
        }
        const bool last = i == steps.size() - 1;
        QVERIFY2(last ? refused(reply, command) : succeeded(reply, command), qPrintable(step));
    }
    const tbsim::TrafficEntry logged = tbsim::bus().adapter(kBootSerial).traffic().back();
    QCOMPARE(logged.outcome, tbsim::TrafficEntry::Refused);
    QCOMPARE(QString::fromStdString(logged.note), note);
    QCOMPARE(view().upgradesCompleted, 0);
}

void SimBootLoaderTest::faultsFromTheBusFile()
{
    const std::string error = tbsim::bus().loadJson(R"({ "adapters": [ { "serial": "BOOTTEST0001", "scanReads": 0,
        "faults": [ { "kind": "refuse", "command": "0xA0", "count": 1 },
                    { "kind": "noReply", "command": "0xA2", "after": 1, "count": 1 },
                    { "kind": "refuse", "command": "0xA3", "param2": 4, "after": 1, "count": 1 },
                    { "kind": "wrongCommand", "command": "0xA4", "count": 1 } ] } ] })");
    QVERIFY2(error.empty(), error.c_str());
    const Bytes image = padded(makeImage(2000));
    RawDevice dev;

    // Refused and not carried out; the next time it goes through.
    QVERIFY(refused(dev.exchange(0xA0), 0xA0));
    QVERIFY(!view().upgradeMode);
    QVERIFY(prepare(dev));
    QVERIFY(succeeded(dev.announce(kStart), 0xA2));
    QVERIFY(succeeded(dev.sendBlock(blockOf(image, 0)), 0xA3));
    // No answer, though the block is announced.
    QVERIFY(dev.announce(kStart + 1024).empty());
    QVERIFY(refused(dev.sendBlock(blockOf(image, 1)), 0xA3));
    QCOMPARE(view().received, blockOf(image, 0));
    const Bytes wrong = dev.exchange(0xA4);
    QCOMPARE(int(wrong.at(1)), 0xA5);
    QCOMPARE(tbsim::bus().adapter(kBootSerial).requestCount(0xA3, 0x00, 60), 34);
}

void SimBootLoaderTest::unplugMidTransferLeavesTheBootLoader()
{
    tbsim::FaultRule unplug;
    unplug.kind = tbsim::FaultKind::UnplugMidway;
    unplug.code = 0xA3;
    unplug.skip = 40;
    unplug.count = 1;
    unplug.replugMs = 30;
    tbsim::bus().adapter(kBootSerial).addFault(unplug);
    const Bytes image = padded(makeImage(4000));
    {
        RawDevice dev;
        QVERIFY(prepare(dev));
        QVERIFY(!transfer(dev, image));
        QVERIFY(!tbsim::bus().adapter(kBootSerial).isPlugged());
    }
    QTRY_VERIFY(tbsim::bus().adapter(kBootSerial).isPlugged());
    QVERIFY(view().running);
    QVERIFY(view().received.empty());

    // The adapter protocol is not answered; the upgrade protocol is, and a
    // new upgrade goes through.
    Link link(QString::fromLatin1(kBootSerial));
    QCOMPARE(link.send(TBProtocol::readIdentity()), COMM_TIMEOUT);
    RawDevice dev;
    QVERIFY(succeeded(dev.exchange(0xB0), 0xB0));
    QVERIFY(prepare(dev));
    QVERIFY(transfer(dev, image));
    QVERIFY(succeeded(dev.exchange(0xA4), 0xA4));
    QVERIFY(succeeded(dev.exchange(0xA5), 0xA5));
    QCOMPARE(view().flashed, image);
}

void SimBootLoaderTest::startsInItsBootLoader()
{
    const std::string error = tbsim::bus().loadJson(R"({ "adapters": [ { "serial": "BOOTTEST0001", "scanReads": 0,
        "bootLoader": { "startsInBootLoader": true } } ] })");
    QVERIFY2(error.empty(), error.c_str());
    QVERIFY(view().running);
    QVERIFY(view().applicationErased);
    Link link(QString::fromLatin1(kBootSerial));
    QCOMPARE(link.send(TBProtocol::handshake()), COMM_TIMEOUT);
    RawDevice dev;
    QVERIFY(succeeded(dev.exchange(0xB0), 0xB0));
    // A restart brings it back into the boot loader: there is no application.
    QCOMPARE(dev.send(0xA6), 65);
    QVERIFY(!tbsim::bus().adapter(kBootSerial).isPlugged());
    QTRY_VERIFY(tbsim::bus().adapter(kBootSerial).isPlugged());
    QVERIFY(view().running);
}

// A boot loader that falls back: the upgrade passes, and after the restart
// the adapter runs the application it had, with its version.
void SimBootLoaderTest::rollsBackToTheApplicationItHad()
{
    const std::string error = tbsim::bus().loadJson(R"({ "adapters": [ { "serial": "BOOTTEST0001", "scanReads": 0,
        "restartMs": 40, "app": [2, 1, 7], "bootLoader": { "rollsBack": true } } ] })");
    QVERIFY2(error.empty(), error.c_str());
    const Bytes image = padded(makeImage(2500, "TBC 3.4.5"));
    {
        RawDevice dev;
        QVERIFY(prepare(dev));
        QVERIFY(transfer(dev, image));
        QVERIFY(succeeded(dev.exchange(0xA4), 0xA4));
        QVERIFY(succeeded(dev.exchange(0xA5), 0xA5));
        QCOMPARE(dev.send(0xA6), 65);
    }
    QTRY_VERIFY(tbsim::bus().adapter(kBootSerial).isPlugged());
    const tbsim::BootLoaderView after = view();
    QCOMPARE(after.flashed, image);
    QCOMPARE(after.upgradesCompleted, 1);
    QVERIFY(!after.running);
    QCOMPARE(after.app, (std::array<uint8_t, 3>{2, 1, 7}));
    RawDevice dev;
    const Bytes reply = dev.exchange(0xB0);
    QVERIFY(succeeded(reply, 0xB0));
    QCOMPARE(toQ(reply).mid(10, 4), QByteArray::fromHex("56020107"));
}

void SimBootLoaderTest::searchRestartRequest()
{
    const Bytes search{0x08, 0x00, 0x40};
    {
        // The application runs: nothing happens.
        RawDevice dev;
        QVERIFY(succeeded(dev.exchange(0xA6, search), 0xA6));
        QTest::qWait(kRestartMs * 2);
        QVERIFY(tbsim::bus().adapter(kBootSerial).isPlugged());

        // Mid-transfer there is no application to run, and the transfer is lost.
        QVERIFY(prepare(dev));
        QVERIFY(refused(dev.exchange(0xA6, search), 0xA6));
        QVERIFY(refused(dev.announce(kStart), 0xA2));
        QCOMPARE(view().runApplicationRequests, 2);
    }
    // Still without an application, it comes back into its boot loader.
    tbsim::bus().adapter(kBootSerial).restart();
    QTRY_VERIFY(tbsim::bus().adapter(kBootSerial).isPlugged());
    QVERIFY(view().running);

    // In upgrade mode with the application intact, it runs the application.
    RawDevice other("BOOTTEST0002");
    QVERIFY(succeeded(other.exchange(0xA0), 0xA0));
    QVERIFY(view("BOOTTEST0002").running);
    QVERIFY(succeeded(other.exchange(0xA6, search), 0xA6));
    QTRY_VERIFY(!tbsim::bus().adapter("BOOTTEST0002").isPlugged());
    QTRY_VERIFY(tbsim::bus().adapter("BOOTTEST0002").isPlugged());
    QVERIFY(!view("BOOTTEST0002").running);
}

void SimBootLoaderTest::malformedReportsAreViolations()
{
    RawDevice dev;
    QVERIFY(refused(dev.exchange(0xA0, {0x01}), 0xA0));
    QVERIFY(prepare(dev));
    QVERIFY(succeeded(dev.announce(kStart), 0xA2));
    QVERIFY(refused(dev.exchange(0xA3, {0x00, 0}), 0xA3));
    QVERIFY(refused(dev.exchange(0xA3, {0x00, 61}), 0xA3));
    QVERIFY(refused(dev.exchange(0xC5), 0xC5));
    QStringList violations;
    for (const std::string &v : tbsim::bus().violations())
        violations << QString::fromStdString(v);
    QCOMPARE(violations.size(), 4);
    QVERIFY2(violations.at(0).endsWith(QLatin1String("upgrade report 0x000000A0: byte 3 after the arguments is not zero")),
             qPrintable(violations.at(0)));
    QVERIFY2(violations.at(1).contains(QLatin1String("expected 0 and a length of 1 to 60")), qPrintable(violations.at(1)));
    QVERIFY2(violations.at(3).contains(QLatin1String("unknown command 0x000000C5")), qPrintable(violations.at(3)));
    tbsim::bus().clearViolations();
}

void SimBootLoaderTest::upgradeDemonstrationBus()
{
    QCOMPARE(tbsim::bus().loadFile("sim/buses/upgrade.json"), std::string());
    QCOMPARE(int(tbsim::bus().serials().size()), 4);
    QVERIFY(!view("3C2E0A000011").running);
    QVERIFY(view("3C2E0A000013").running);
}

QTEST_GUILESS_MAIN(SimBootLoaderTest)
#include "tst_sim_bootloader.moc"
