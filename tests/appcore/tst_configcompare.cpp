// The comparison of a configuration with a bus: how modules are matched,
// what each row says, a file read as the import reads it, the overlaps and
// settings, and what writing a row sends and makes of the adapter's answers.

#include "CompareWrite.h"
#include "ConfigCompare.h"

#include "../slave/SlaveTestLibrary.h"

#include "RecordLayout.h"

#include <QtTest>

using namespace appcore;
using namespace appcore::Compare;
using namespace SlaveTestLibrary;

Q_DECLARE_METATYPE(appcore::Compare::Side)
Q_DECLARE_METATYPE(appcore::Compare::Report)

namespace {

// A module of the fixture library as the bus reports it: station, one area
// (inputs of a DI, outputs of a DO) and its filter level.
struct Spec {
    QString ident = kDI;
    QByteArray uid;
    int station = 1;
    int start = 0;
    int channels = 4;
    int filter = 0;
    bool local = false;
};

std::unique_ptr<Slave> build(const Spec &spec)
{
    auto slave = create(spec.ident, spec.station);
    slave->setUuid(spec.uid);
    slave->setLocalModule(spec.local);
    QByteArray record(32, '\0');
    record[0] = char(spec.station);
    record[1] = char(spec.station);
    const int extra = spec.ident == kDO ? slave->outputOffs : slave->inputOffs;
    const quint16 word = quint16((spec.start << 7) | (spec.channels > 0 ? spec.channels + extra : 0));
    RecordLayout::putWord(record, RecordLayout::kInputPos, word);
    RecordLayout::putWord(record, RecordLayout::kOutputPos, word);
    record[6] = char(spec.filter << 4);
    slave->applyShortRecord(record);
    return slave;
}

SlaveSnapshot slaveOf(const Spec &spec)
{
    return takeSnapshot(*build(spec));
}

Spec di(const QByteArray &uid, int station, int start = 0, int filter = 0)
{
    Spec s;
    s.uid = uid;
    s.station = station;
    s.start = start;
    s.filter = filter;
    return s;
}

Spec withChannels(Spec s, int channels)
{
    s.channels = channels;
    return s;
}

Spec ofType(Spec s, const QString &ident)
{
    s.ident = ident;
    return s;
}

Spec local(Spec s)
{
    s.local = true;
    s.station = 0;
    return s;
}

Side side(const QList<Spec> &specs)
{
    SlaveList slaves;
    for (const Spec &spec : specs)
        slaves << slaveOf(spec);
    return sideOf(slaves);
}

// "differs 0>0 inputStart,Filter level": the kind, the configured and the
// bus modules, and the fields that differ.
QStringList summary(const Result &result)
{
    QStringList out;
    for (const Row &row : result.rows) {
        QStringList c, b, fields;
        for (int i : row.configured)
            c << QString::number(i);
        for (int j : row.bus)
            b << QString::number(j);
        for (const FieldValue &v : row.fields) {
            if (v.differs)
                fields << fieldKey(v);
        }
        QString text = QStringLiteral("%1 %2>%3").arg(kindKey(row.kind), c.join(QLatin1Char(',')), b.join(QLatin1Char(',')));
        if (!fields.isEmpty())
            text += QLatin1Char(' ') + fields.join(QLatin1Char(','));
        out << text;
    }
    return out;
}

AdapterState adapterWithSettings(quint8 settings, int threshold)
{
    AdapterState state;
    state.settingsKnown = true;
    for (int i = 0; i < 5; ++i)
        state.infoItems << AdapterInfoItem{AdapterInfoItem::Text, 0, i, QStringLiteral("item%1").arg(i), QString(), {}};
    const QStringList names{QStringLiteral("DI滤波使能"), QStringLiteral("从站自动复位"), QStringLiteral("现场总线输出错误"),
                            QStringLiteral("站号分配模式")};
    for (int bit = 0; bit < 4; ++bit)
        state.infoItems << AdapterInfoItem{AdapterInfoItem::Choice, (settings >> bit) & 1, 5 + bit, names.at(bit), QString(),
                                           {QStringLiteral("关闭"), QStringLiteral("开启")}};
    state.infoItems << AdapterInfoItem{AdapterInfoItem::Number, threshold, 9, QStringLiteral("阈值(201-2999)"), QString(), {}};
    return state;
}

Report report(adapter_message_type type, int err, COMM_STATUS_TYPE status = COMM_OK)
{
    return Report{type, err, 3, status};
}

} // namespace

class TestConfigCompare : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(!fixture().isEmpty()); }

    // One case per way a module can be matched or not.
    void matching_data()
    {
        QTest::addColumn<Side>("configuration");
        QTest::addColumn<Side>("bus");
        QTest::addColumn<QStringList>("rows");
        const Spec a = di("UIDA00000001", 1, 0, 2);
        const Spec b = di("UIDB00000002", 2, 8);
        const Spec c = di("UIDC00000003", 2, 8);
        QTest::newRow("the same bus, in another order") << side({a, b}) << side({b, a}) << QStringList{"same 0>1", "same 1>0"};
        QTest::newRow("a moved input area and a changed parameter")
            << side({di("UIDA00000001", 1, 16, 1), b}) << side({a, b}) << QStringList{"differs 0>0 inputStart,Filter level", "same 1>1"};
        QTest::newRow("a module without its area")
            << side({withChannels(a, 0), b}) << side({a, b}) << QStringList{"differs 0>0 inputStart,inputChannels", "same 1>1"};
        QTest::newRow("a module missing, another extra")
            << side({a, b}) << side({a, c}) << QStringList{"same 0>0", "missing 1>", "extra >1"};
        QTest::newRow("matched by station without UID") << side({di("", 1, 0, 2), di("", 2, 8)}) << side({a, b})
                                                        << QStringList{"same 0>0", "same 1>1"};
        QTest::newRow("another type at the station")
            << side({ofType(di("", 1), kDO)}) << side({a}) << QStringList{"type-mismatch 0>0 type"};
        QTest::newRow("a UID wins over the station")
            << side({di("UIDA00000001", 2, 0, 2)}) << side({a, b}) << QStringList{"differs 0>0 station", "extra >1"};
        QTest::newRow("a station held twice on the bus")
            << side({di("", 4)}) << side({di("UIDD", 4), di("UIDE", 4, 8)}) << QStringList{"ambiguous 0>0,1"};
        QTest::newRow("a station held twice in the configuration")
            << side({di("", 4), di("", 4, 8)}) << side({di("UIDD", 4)}) << QStringList{"ambiguous 0,1>0"};
        QTest::newRow("station 0 names the adapter's own module of its type, nothing else")
            << side({di("", 0), di("", 0, 8)}) << side({local(di("UIDL", 0)), di("UIDU", 0, 8)})
            << QStringList{"same 0>0", "ambiguous 1>1"};
        QTest::newRow("station 0 of another type than the adapter's own module")
            << side({ofType(di("", 0), kDO)}) << side({local(di("UIDL", 0))}) << QStringList{"ambiguous 0>", "extra >0"};
        QTest::newRow("a UID given twice") << side({a, a}) << side({a}) << QStringList{"ambiguous 0,1>0"};
        QTest::newRow("each module matched once: by UID first, then by station")
            << side({di("", 1), a}) << side({a}) << QStringList{"missing 0>", "same 1>0"};
    }
    void matching()
    {
        QFETCH(Side, configuration);
        QFETCH(Side, bus);
        QFETCH(QStringList, rows);
        const Result result = compare(configuration, bus);
        QCOMPARE(summary(result), rows);
        QCOMPARE(result.same(), std::all_of(rows.cbegin(), rows.cend(), [](const QString &r) { return r.startsWith("same"); }));
        int counted = 0;
        for (int k = 0; k < kKinds; ++k)
            counted += result.count(Kind(k));
        QCOMPARE(counted, rows.size());
    }

    // The values of a differing row as both sides hold them.
    void fieldValues()
    {
        const Result result = compare(side({di("UIDA00000001", 1, 16, 1)}), side({di("UIDA00000001", 1, 0, 2)}));
        const Row &row = result.rows.first();
        QCOMPARE(row.field(Field::InputStart)->configured, QStringLiteral("16"));
        QCOMPARE(row.field(Field::InputStart)->bus, QStringLiteral("0"));
        QCOMPARE(row.field(Field::InputChannels)->differs, false);
        QCOMPARE(row.field(Field::Parameter, QStringLiteral("Filter level"))->configured, QStringLiteral("1 ms"));
        QCOMPARE(row.field(Field::Parameter, QStringLiteral("Filter level"))->bus, QStringLiteral("2"));
        QCOMPARE(fieldName(*row.field(Field::InputStart)), QStringLiteral("输入起始地址"));
        // A module that holds no area shows none.
        const Result cleared = compare(side({withChannels(di("UIDA00000001", 1), 0)}), side({di("UIDA00000001", 1)}));
        QCOMPARE(cleared.rows.first().field(Field::InputStart)->configured, QStringLiteral("-"));
        QCOMPARE(cleared.rows.first().field(Field::InputChannels)->configured, QStringLiteral("0"));
    }

    // A file the bus's own records wrote compares the same, in either form,
    // a module without an area included; without UIDs the module without a
    // station cannot be named.
    void exportedFileIsTheBus_data()
    {
        QTest::addColumn<bool>("withUid");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("with UIDs") << true << QStringList{"same 0>0", "same 1>1", "same 2>2", "same 3>3"};
        QTest::newRow("without UIDs") << false << QStringList{"same 0>0", "ambiguous 1>1", "same 2>2", "same 3>3"};
    }
    void exportedFileIsTheBus()
    {
        QFETCH(bool, withUid);
        QFETCH(QStringList, rows);
        const QList<Spec> specs{local(di("UIDL00000000", 0)), di("UIDU00000000", 0, 8), di("UIDA00000001", 1, 16, 3),
                                withChannels(ofType(di("UIDB00000002", 2, 40), kDO), 0)};
        SlaveList bus;
        QStringList lines;
        for (const Spec &spec : specs) {
            const std::unique_ptr<Slave> slave = build(spec);
            bus << takeSnapshot(*slave);
            lines << (withUid ? slave->toCsvLineWithUid() : slave->toCsvLine()).trimmed();
        }
        const ConfigCsv::Form form = withUid ? ConfigCsv::Form::WithUid : ConfigCsv::Form::WithoutUid;
        const ConfigCsv::ParsedFile file = ConfigCsv::parse(ConfigCsv::encode(form, lines));
        QVERIFY2(file.ok(), qPrintable(file.problems.value(0).text()));
        const Side configured = sideOf(file, fixture());
        QCOMPARE(configured.modules.at(2).line, 4);
        QCOMPARE(summary(compare(configured, sideOf(bus))), rows);
    }

    // Areas sharing bits, on either side.
    void overlaps()
    {
        const Result result = compare(side({di("UIDA00000001", 1, 0), di("UIDB00000002", 2, 2)}),
                                      side({di("UIDA00000001", 1, 0), di("UIDB00000002", 2, 8)}));
        QCOMPARE(result.overlaps.size(), 1);
        const Overlap &o = result.overlaps.first();
        QCOMPARE(o.onBus, false);
        QCOMPARE(o.input, true);
        QCOMPARE(o.first, 0);
        QCOMPARE(o.second, 1);
        QCOMPARE(o.start, 2);
        QCOMPARE(o.end, 3);
    }

    // The adapter's own settings, when both sides know theirs.
    void settings()
    {
        Side configuration = side({di("UIDA00000001", 1)});
        Side bus = side({di("UIDA00000001", 1)});
        QVERIFY(compare(configuration, bus).settings.isEmpty());
        configuration.adapter = adapterWithSettings(0x01, 1000);
        bus.adapter = adapterWithSettings(0x09, 1500);
        const Result result = compare(configuration, bus);
        QCOMPARE(result.settings.size(), 5);
        QVERIFY(result.settingsDiffer());
        QVERIFY(!result.same());
        QCOMPARE(result.settings.at(3).name, QStringLiteral("站号分配模式"));
        QCOMPARE(result.settings.at(3).configured, QStringLiteral("关闭"));
        QCOMPARE(result.settings.at(3).bus, QStringLiteral("开启"));
        QCOMPARE(result.settings.at(4).differs, true);
        QCOMPARE(result.settings.at(0).differs, false);
    }

    // Writing a differing row: the editor's record of the bus module with the
    // configuration's station, area and parameters.
    void writeRecord()
    {
        const Result result = compare(side({di("UIDA00000001", 3, 16, 1), local(di("UIDL", 0, 24, 2))}),
                                      side({di("UIDA00000001", 1, 0, 2), local(di("UIDL", 0, 8, 2))}));
        QVERIFY(isWritable(result, result.rows.at(0)));
        const std::optional<RowWrite> write = writeFor(result, 0);
        QVERIFY(write);
        QCOMPARE(write->recordId, result.busModule(result.rows.at(0)).slave->recordId);
        QVERIFY(write->byIdentity);
        QCOMPARE(int(quint8(write->record.at(0))), 1);
        QCOMPARE(int(quint8(write->record.at(1))), 3);
        QCOMPARE(int(RecordLayout::wordAt(write->record, RecordLayout::kInputPos)), (16 << 7) | 4);
        QCOMPARE(int(quint8(write->record.at(6)) >> 4), 1);
        // The adapter's own module keeps its station and takes its record by station.
        const std::optional<RowWrite> own = writeFor(result, 1);
        QVERIFY(own);
        QVERIFY(!own->byIdentity);
        QCOMPARE(int(quint8(own->record.at(1))), 0);
        QCOMPARE(int(RecordLayout::wordAt(own->record, RecordLayout::kInputPos)), (24 << 7) | 4);
        // Rows that are not one module against one of the same type are not written.
        const Result other = compare(side({ofType(di("", 1), kDO), di("", 4)}), side({di("UIDA", 1), di("UIDD", 4), di("UIDE", 4, 8)}));
        QCOMPARE(writesFor(other, {0, 1}).size(), 0);
    }

    // What the adapter's answers make of each write, pass by pass.
    void writeRun_data()
    {
        QTest::addColumn<QList<QList<Report>>>("answers"); // per write sent, in order
        QTest::addColumn<QList<int>>("sent");              // the rows sent, in order
        QTest::addColumn<QStringList>("outcomes");         // by row
        const QList<Report> ok{report(MSG_SLAVE_CONFIG_RESULT, SlaveConfigResult::Success)};
        const QList<Report> stationTaken{report(MSG_SLAVE_CONFIG_RESULT, SlaveConfigResult::StationTaken)};
        const QList<Report> refused{report(MSG_OPERATION_FAILED, AdapterOperation::StationChange, COMM_REFUSED)};
        const QList<Report> lost{report(MSG_OPERATION_FAILED, AdapterOperation::StationChange, COMM_NOT_CONNECTED),
                                 report(MSG_USB_STATE, -2)};
        QTest::newRow("all written") << QList<QList<Report>>{ok, ok} << QList<int>{0, 1} << QStringList{"0 written", "1 written"};
        QTest::newRow("a station freed by a later write is asked again")
            << QList<QList<Report>>{stationTaken, ok, ok} << QList<int>{0, 1, 0} << QStringList{"0 written", "1 written"};
        QTest::newRow("no pass without progress") << QList<QList<Report>>{stationTaken, stationTaken} << QList<int>{0, 1}
                                                  << QStringList{"0 refused 从站站号冲突,设置失败!", "1 refused 从站站号冲突,设置失败!"};
        QTest::newRow("refused by the adapter: not asked again")
            << QList<QList<Report>>{refused, ok} << QList<int>{0, 1}
            << QStringList{"0 refused 修改从站站号失败(站号3): 适配器拒绝执行!", "1 written"};
        QTest::newRow("unconfirmed") << QList<QList<Report>>{{}, ok} << QList<int>{0, 1}
                                     << QStringList{"0 failed 适配器未确认写入", "1 written"};
        QTest::newRow("the link lost: nothing more sent")
            << QList<QList<Report>>{lost} << QList<int>{0} << QStringList{"0 failed", "1 not-sent 链接断开,未写入"};
    }
    void writeRun()
    {
        QFETCH(QList<QList<Report>>, answers);
        QFETCH(QList<int>, sent);
        QFETCH(QStringList, outcomes);
        QList<RowWrite> writes;
        for (int row : {0, 1})
            writes << RowWrite{row, quint64(100 + row), QByteArray(32, '\0'), true};
        WriteRun run(writes);
        QList<int> order;
        while (const std::optional<RowWrite> write = run.next()) {
            QVERIFY(order.size() < answers.size());
            run.take(answers.at(order.size()));
            order << write->row;
        }
        QVERIFY(run.done());
        QCOMPARE(order, sent);
        QStringList seen;
        const QStringList states{"written", "refused", "failed", "not-sent"};
        for (auto it = run.outcomes().cbegin(); it != run.outcomes().cend(); ++it) {
            QString text = QStringLiteral("%1 %2").arg(it.key()).arg(states.at(int(it.value().state)));
            if (it.value().state != WriteOutcome::Written && !it.value().linkLost)
                text += QLatin1Char(' ') + it.value().text;
            else if (it.value().state == WriteOutcome::NotSent)
                text += QLatin1Char(' ') + it.value().text;
            seen << text;
        }
        QCOMPARE(seen, outcomes);
    }
};

QTEST_GUILESS_MAIN(TestConfigCompare)
#include "tst_configcompare.moc"
