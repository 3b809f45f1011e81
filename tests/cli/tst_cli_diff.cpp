// tarnbus-cli diff against the virtual adapter with the demonstration bus: a
// file exported from the bus, changed one way per case, compared row by row
// with its exit status; then writing the differences, a refusal among them,
// and the comparison read again from the bus.

#include "../adapter/AdapterHarness.h"
#include "CliTestSupport.h"

#include "ConfigCsv.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>

using namespace harness;
using namespace clitest;

namespace {

// Requests that change a module or the adapter.
int writes(const tbsim::VirtualAdapter &sim)
{
    return sim.requestCount(0x47, 0x00, 0x02) + sim.requestCount(0x46) + sim.requestCount(0x27, 0x10);
}

tbsim::Module moduleOf(const char *uid)
{
    return simAdapter().module(uid).value_or(tbsim::Module{});
}

// A change to an exported file: in the line of the module with this UID
// (as show prints it), a column takes a value; "drop" removes the line.
// A UID of "+" appends value as a line of its own.
struct Edit {
    QString uid;
    int column = -1;
    QString value;
};
using Edits = QList<Edit>;

Edit set(const char *uid, int column, const QString &value)
{
    return Edit{QString::fromLatin1(uid), column, value};
}

Edit drop(const char *uid)
{
    return Edit{QString::fromLatin1(uid), -1, QStringLiteral("drop")};
}

Edit append(const QString &line)
{
    return Edit{QStringLiteral("+"), -1, line};
}

QStringList decodedLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = appcore::ConfigCsv::decode(file.readAll()).text.split(QLatin1Char('\n'));
    lines.removeAll(QString());
    return lines;
}

// Exports the bus in the form asked, applies the edits and writes the file;
// its path. The modules are found by the UID column of an export with UIDs
// (both exports list the modules in the same order).
QString editedExport(const QTemporaryDir &dir, bool withUid, const Edits &edits)
{
    const QString uidPath = dir.filePath(QStringLiteral("uid.csv"));
    const QString plainPath = dir.filePath(QStringLiteral("plain.csv"));
    if (runCli({"export", uidPath, "--uid"}).status != 0 || runCli({"export", plainPath}).status != 0)
        return QString();
    const QStringList byUid = decodedLines(uidPath);
    QStringList lines = decodedLines(withUid ? uidPath : plainPath);
    const QString header = lines.takeFirst();
    QList<QStringList> fields;
    for (const QString &line : lines)
        fields << line.split(QLatin1Char(','));
    QVector<bool> dropped(lines.size(), false);
    QStringList appended;
    for (const Edit &edit : edits) {
        if (edit.uid == QLatin1String("+")) {
            appended << edit.value;
            continue;
        }
        const QString hex = QString::fromLatin1(edit.uid.toLatin1().toHex().toUpper());
        for (int i = 0; i < lines.size(); ++i) {
            if (byUid.at(i + 1).section(QLatin1Char(','), 11, 11) != hex)
                continue;
            if (edit.column < 0)
                dropped[i] = true;
            else
                fields[i][edit.column] = edit.value;
        }
    }
    QStringList out;
    for (int i = 0; i < fields.size(); ++i) {
        if (!dropped.at(i))
            out << fields.at(i).join(QLatin1Char(','));
    }
    out << appended;
    const appcore::ConfigCsv::Form form = withUid ? appcore::ConfigCsv::Form::WithUid : appcore::ConfigCsv::Form::WithoutUid;
    Q_UNUSED(header)
    return writeFile(dir, QStringLiteral("bus.csv"), appcore::ConfigCsv::encode(form, out));
}

// "differs 6: inputStart, Filter level" for every row of a JSON result.
QStringList rowsOf(const QJsonObject &result)
{
    QStringList out;
    for (const QJsonValue &value : result.value(QLatin1String("rows")).toArray()) {
        const QJsonObject row = value.toObject();
        QStringList lines;
        if (row.contains(QLatin1String("lines"))) {
            for (const QJsonValue &line : row.value(QLatin1String("lines")).toArray())
                lines << QString::number(line.toInt());
        } else {
            lines << (row.value(QLatin1String("line")).isNull() ? QStringLiteral("-")
                                                               : QString::number(row.value(QLatin1String("line")).toInt()));
        }
        QStringList fields;
        for (const QJsonValue &field : row.value(QLatin1String("fields")).toArray())
            fields << field.toObject().value(QLatin1String("field")).toString();
        QString text = row.value(QLatin1String("kind")).toString() + QLatin1Char(' ') + lines.join(QLatin1Char(','));
        if (!fields.isEmpty())
            text += QLatin1String(": ") + fields.join(QLatin1String(", "));
        out << text;
    }
    return out;
}

// The document, every text in it with its code (a failed check is said and
// gives an empty document).
QJsonObject jsonOf(const Run &run)
{
    const QJsonObject object = QJsonDocument::fromJson(run.out.toUtf8()).object();
    const QStringList uncoded = uncodedTexts(object);
    if (!uncoded.isEmpty()) {
        qWarning("texts without a code: %s", qPrintable(uncoded.join(QLatin1Char(' '))));
        return QJsonObject();
    }
    return object;
}

// A line of a DI8 module that is not on the bus.
const QString kAbsentModule =
    QStringLiteral("TB-DI8-N,20,1,440,8,0,0,0,0,0,#00001101,%1,0,0,0,0,0,0,0,0,0,0,0,0")
        .arg(QString::fromLatin1(QByteArray("DA01B2C3D4AA").toHex().toUpper()));

} // namespace

Q_DECLARE_METATYPE(Edit)

class TestCliDiff : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        tarnbus::setLinkTiming(fastTiming());
        QVERIFY(QDir(QStringLiteral("Xml")).exists());
    }

    void init() { QCOMPARE(loadBus(kDemoBus), QString()); }

    void cleanup()
    {
        QCOMPARE(violations(), QStringList());
        QCOMPARE(tbsim::bus().openHandleCount(), 0);
        tbsim::bus().reset();
    }

    // One case per kind of row; nothing is written by a comparison.
    void rows_data()
    {
        QTest::addColumn<bool>("withUid");
        QTest::addColumn<Edits>("edits");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<int>("status");
        QTest::newRow("the bus as exported") << true << Edits{} << QStringList{} << 0;
        QTest::newRow("a moved input area") << true << Edits{set("DA01B2C3D403", 3, "400")} << QStringList{"differs 6: inputStart"}
                                            << 3;
        QTest::newRow("a changed parameter") << true << Edits{set("DA01B2C3D403", 7, "5")}
                                             << QStringList{"differs 6: Filter level"} << 3;
        QTest::newRow("a changed channel count") << true << Edits{set("DA01B2C3D400", 4, "4")}
                                                 << QStringList{"differs 2: inputChannels"} << 3;
        QTest::newRow("a missing module") << true << Edits{append(kAbsentModule)} << QStringList{"missing 18"} << 3;
        QTest::newRow("an extra module") << true << Edits{drop("DA01B2C3D405")} << QStringList{"extra -"} << 3;
        QTest::newRow("a type mismatch") << true << Edits{set("DA01B2C3D402", 0, "TB-DI16-P"), set("DA01B2C3D402", 10, "#00001102")}
                                         << QStringList{"type-mismatch 5: type"} << 3;
        QTest::newRow("a station held twice") << true << Edits{set("DA01B2C3D404", 11, ""), set("DA01B2C3D40E", 11, "")}
                                              << QStringList{"ambiguous 7,8"} << 3;
        // Without UIDs the modules are matched by station: the module
        // without a station and the repeated station cannot be.
        QTest::newRow("a file without UIDs") << false << Edits{set("DA01B2C3D401", 3, "200")}
                                             << QStringList{"ambiguous 3", "differs 4: inputStart", "ambiguous 7,8"} << 3;
        QTest::newRow("the local module by its type, without UIDs")
            << false << Edits{set("DA01B2C3D400", 5, "100")} << QStringList{"differs 2: outputStart", "ambiguous 3", "ambiguous 7,8"}
            << 3;
        QTest::newRow("the local module and a module without a station")
            << true << Edits{set("DA01B2C3D400", 3, "440"), set("DA01B2C3D40D", 1, "14")}
            << QStringList{"differs 2: inputStart", "differs 3: station"} << 3;
    }
    void rows()
    {
        QFETCH(bool, withUid);
        QFETCH(Edits, edits);
        QFETCH(QStringList, rows);
        QFETCH(int, status);
        QTemporaryDir dir;
        const QString path = editedExport(dir, withUid, edits);
        QVERIFY(!path.isEmpty());
        simAdapter().clearTraffic();
        const Run run = runCli({"diff", path, "--json"});
        QVERIFY2(run.status == status, qPrintable(run.err));
        const QJsonObject result = jsonOf(run);
        QCOMPARE(rowsOf(result), rows);
        QCOMPARE(result.value(QLatin1String("result")).toString(), status == 0 ? QStringLiteral("same") : QStringLiteral("differences"));
        QCOMPARE(writes(simAdapter()), 0);

        // The text says the same; --all lists every module.
        const Run text = runCli({"diff", path});
        QCOMPARE(text.status, status);
        QVERIFY2(text.out.contains(status == 0 ? QStringLiteral("the bus is what the file says (16 modules)")
                                               : QStringLiteral("KIND ")),
                 qPrintable(text.out));
        const Run all = runCli({"diff", path, "--all", "--json"});
        QVERIFY(rowsOf(jsonOf(all)).size() >= 15);
    }

    // The fields of a differing row carry both values.
    void differingValues()
    {
        QTemporaryDir dir;
        const QString path = editedExport(dir, true, {set("DA01B2C3D403", 3, "400"), set("DA01B2C3D403", 7, "5")});
        const Run run = runCli({"diff", path});
        QCOMPARE(run.status, 3);
        QVERIFY2(run.out.contains(QStringLiteral("differs  6     3        TB-DI8-N  DA01B2C3D403  inputStart 400 (bus 24); Filter level 20ms (bus 3ms)")),
                 qPrintable(run.out));
        QVERIFY(run.out.contains(QStringLiteral("1 differ, 0 missing, 0 extra, 0 type mismatch, 0 ambiguous, 15 same")));
    }

    // Areas that share bits are said, in the file and on the bus.
    void overlapsAreShown()
    {
        QTemporaryDir dir;
        const QString path = editedExport(dir, true, {set("DA01B2C3D403", 3, "8")});
        const Run run = runCli({"diff", path});
        QCOMPARE(run.status, 3);
        QVERIFY2(run.out.contains(QStringLiteral("overlap in the file: line 4 (TB-DI16-P) and line 6 (TB-DI8-N) share inputs 8..15")),
                 qPrintable(run.out));
        const QJsonObject json = jsonOf(runCli({"diff", path, "--json"}));
        const QJsonArray overlaps = json.value(QLatin1String("overlaps")).toArray();
        QCOMPARE(overlaps.size(), 1);
        QCOMPARE(overlaps.at(0).toObject().value(QLatin1String("side")).toString(), QStringLiteral("file"));
        QCOMPARE(overlaps.at(0).toObject().value(QLatin1String("start")).toInt(), 8);
        QCOMPARE(overlaps.at(0).toObject().value(QLatin1String("end")).toInt(), 15);
    }

    // The differing modules are written, a module moving into the bits
    // another leaves included, and the bus read again is what the file says.
    void applyThenCompareShowsSame()
    {
        QTemporaryDir dir;
        const QString path = editedExport(dir, true,
                                          {set("DA01B2C3D401", 3, "16"),    // the DI16 over the DI8's bits ...
                                           set("DA01B2C3D403", 3, "400"),   // ... which move away later in the file
                                           set("DA01B2C3D403", 7, "5"),
                                           set("DA01B2C3D40D", 1, "14"),    // a station for the module without one
                                           set("DA01B2C3D400", 3, "440"),   // the local module's inputs
                                           set("DA01B2C3D409", 9, "1000"),  // a substitute value
                                           drop("DA01B2C3D405")});          // an extra module: left alone
        const Run run = runCli({"diff", path, "--apply"});
        QVERIFY2(run.status == 3, qPrintable(run.out + run.err));
        QVERIFY2(run.out.contains(QStringLiteral("compared again after 5 of 5 writes:")), qPrintable(run.out));
        QVERIFY(run.out.contains(QStringLiteral("line 4: station 1 (TB-DI16-P, DA01B2C3D401): written")));
        QVERIFY(run.out.contains(QStringLiteral("0 differ, 0 missing, 1 extra, 0 type mismatch, 0 ambiguous, 15 same")));
        QVERIFY2(run.err.isEmpty(), qPrintable(run.err));
        QCOMPARE(moduleOf("DA01B2C3D401").inStart, 16);
        QCOMPARE(moduleOf("DA01B2C3D403").inStart, 400);
        QCOMPARE(moduleOf("DA01B2C3D40D").station, 14);
        QCOMPARE(moduleOf("DA01B2C3D400").inStart, 440);
        QCOMPARE(moduleOf("DA01B2C3D405").inStart, 32);

        // With the extra module in the file the bus is the file: exit 0.
        const QString whole = editedExport(dir, true, {});
        QCOMPARE(runCli({"diff", whole}).status, 0);
        const QString same = editedExport(dir, true, {set("DA01B2C3D403", 7, "3")});
        const Run again = runCli({"diff", same, "--apply"});
        QVERIFY2(again.status == 0, qPrintable(again.out + again.err));
        QVERIFY(again.out.contains(QStringLiteral("the bus is what the file says (16 modules)")));
    }

    // A write the adapter refuses is reported for its module; the others go
    // through, and the comparison afterwards still shows the refused one.
    void refusalDuringApply()
    {
        QTemporaryDir dir;
        const QString path = editedExport(dir, true, {set("DA01B2C3D403", 3, "400"), set("DA01B2C3D40A", 7, "1")});
        tbsim::FaultRule refuse;
        refuse.kind = tbsim::FaultKind::Refuse;
        refuse.code = 0x47;
        refuse.param1 = 0x00;
        refuse.count = 1;
        simAdapter().addFault(refuse);
        const Run run = runCli({"diff", path, "--apply", "--json"});
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains(QStringLiteral("line 6: station 3 (TB-DI8-N, DA01B2C3D403): not written: "
                                                 "修改从站地址失败(站号3): 适配器拒绝执行! (refused by the adapter)")),
                 qPrintable(run.err));
        const QJsonObject result = jsonOf(run);
        QCOMPARE(rowsOf(result.value(QLatin1String("before")).toObject()),
                 (QStringList{"differs 6: inputStart", "differs 14: Filter level"}));
        const QJsonArray written = result.value(QLatin1String("writes")).toArray();
        QCOMPARE(written.size(), 2);
        QCOMPARE(written.at(0).toObject().value(QLatin1String("result")).toString(), QStringLiteral("refused"));
        QCOMPARE(written.at(1).toObject().value(QLatin1String("result")).toString(), QStringLiteral("written"));
        QCOMPARE(rowsOf(result), QStringList{"differs 6: inputStart"});
        QCOMPARE(moduleOf("DA01B2C3D403").inStart, 24);
    }

    // A bad file writes nothing and is refused before the adapter is opened.
    void badFile()
    {
        QTemporaryDir dir;
        const QString path = writeFile(dir, QStringLiteral("bus.csv"), QByteArray("DeviceType,SlaveID\nx\n"));
        const Run run = runCli({"diff", path, "--apply"});
        QCOMPARE(run.status, 2);
        QVERIFY2(run.err.contains(QStringLiteral("bus.csv:1: header field 3")), qPrintable(run.err));
        QCOMPARE(simAdapter().requestCount(0x47), 0);
    }
};

QTEST_GUILESS_MAIN(TestCliDiff)
#include "tst_cli_diff.moc"
