// The adapter's settings as a user edits them: what the items say, and the
// byte and threshold a write sends.

#include "AdapterSettings.h"

#include <QtTest>

using namespace appcore::AdapterSettings;

namespace {

// The information items an adapter reports after reading its settings.
AdapterState stateWith(quint8 settingsByte, quint16 threshold)
{
    AdapterState state;
    state.settingsKnown = true;
    state.settingsByte = settingsByte;
    state.threshold = threshold;
    for (const char *name : {"TBName", "UniqueID", "HWVersion", "BootVersion", "APPVersion"}) {
        AdapterInfoItem item;
        item.name = QString::fromLatin1(name);
        state.infoItems << item;
    }
    const QList<QStringList> options{{"关闭", "开启"}, {"关闭", "开启"}, {"清零", "保持"}, {"严格组态", "自由组态"}};
    const QStringList names{"DI滤波使能", "从站自动复位", "现场总线输出错误", "站号分配模式"};
    for (int bit = 0; bit < kSwitchCount; ++bit) {
        AdapterInfoItem item;
        item.kind = AdapterInfoItem::Choice;
        item.index = bit;
        item.name = names.at(bit);
        item.options = options.at(bit);
        item.value = (settingsByte >> bit) & 1;
        state.infoItems << item;
    }
    AdapterInfoItem limit;
    limit.kind = AdapterInfoItem::Number;
    limit.index = 4;
    limit.name = QStringLiteral("阈值(201-2999)");
    limit.value = threshold;
    state.infoItems << limit;
    return state;
}

} // namespace

class TestAdapterSettings : public QObject
{
    Q_OBJECT

private slots:
    void fieldsFromTheItems()
    {
        const QList<Field> f = fields(stateWith(0x05, 1500));
        QCOMPARE(f.size(), kSwitchCount + 1);
        QCOMPARE(f.at(0).name, QStringLiteral("DI滤波使能"));
        QCOMPARE(f.at(0).value, 1);
        QCOMPARE(f.at(2).options, (QStringList{"清零", "保持"}));
        QCOMPARE(f.at(2).value, 1);
        QCOMPARE(f.at(3).value, 0);
        QVERIFY(f.at(4).options.isEmpty());
        QCOMPARE(f.at(4).value, 1500);
        // Before the adapter has reported its settings there is nothing to
        // edit, nor after a read that failed (items may be left over).
        QVERIFY(fields(AdapterState()).isEmpty());
        AdapterState unknown = stateWith(0x05, 1500);
        unknown.settingsKnown = false;
        QVERIFY(fields(unknown).isEmpty());
    }

    void settingsByteKeepsTheOtherBits_data()
    {
        QTest::addColumn<QList<int>>("switches");
        QTest::addColumn<int>("reported");
        QTest::addColumn<int>("sent");
        QTest::newRow("all off") << QList<int>{0, 0, 0, 0} << 0x0F << 0x00;
        QTest::newRow("all on") << QList<int>{1, 1, 1, 1} << 0x00 << 0x0F;
        QTest::newRow("upper bits kept") << QList<int>{1, 0, 1, 0} << 0xF2 << 0xF5;
    }
    void settingsByteKeepsTheOtherBits()
    {
        QFETCH(QList<int>, switches);
        QFETCH(int, reported);
        QFETCH(int, sent);
        Edit edit;
        edit.switches = switches;
        QCOMPARE(int(settingsByte(edit, quint8(reported))), sent);
        // Unchanged switches give back what was reported.
        QCOMPARE(settingsByte(current(stateWith(quint8(reported), 1000)), quint8(reported)), quint8(reported));
    }

    void thresholdRange_data()
    {
        QTest::addColumn<int>("threshold");
        QTest::addColumn<bool>("ok");
        QTest::newRow("200") << 200 << false;
        QTest::newRow("201") << 201 << true;
        QTest::newRow("2999") << 2999 << true;
        QTest::newRow("3000") << 3000 << false;
        QTest::newRow("negative") << -1 << false;
    }
    void thresholdRange()
    {
        QFETCH(int, threshold);
        QFETCH(bool, ok);
        QCOMPARE(!thresholdProblem(threshold).has_value(), ok);
    }
};

QTEST_APPLESS_MAIN(TestAdapterSettings)
#include "tst_adaptersettings.moc"
