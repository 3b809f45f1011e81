// The IO test window and its running-light test: the steps, the checks of
// its fields, and that it never leaves outputs on.

#include "HeapInUse.h"
#include "ViewsTestSupport.h"

#include "../slave/SlaveTestLibrary.h"

#include "RunningLight.h"
#include "SettingRegisterData.h"
#include "TarnBusResources.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QtTest>

using namespace viewtest;
using namespace SlaveTestLibrary;

Q_DECLARE_METATYPE(QVector<int>)

namespace {

SlaveSnapshot fixtureSlave(const QString &ident, int station)
{
    auto slave = create(ident, station);
    slave->giveDescribedChannels();
    slave->statusRun = 1;
    return takeSnapshot(*slave);
}

QString bits(const QVector<int> &values)
{
    QString out;
    for (int v : values)
        out += QString::number(v);
    return out;
}

QLineEdit *field(const QWidget *panel, const char *name)
{
    return panel->findChild<QLineEdit *>(QLatin1String(name));
}

QPushButton *startButton(const QWidget *panel)
{
    return panel->findChild<QPushButton *>(QStringLiteral("pushButton"));
}

// The last outputs request the panel made, as "0101".
QString lastOutputs(const QSignalSpy &spy)
{
    return spy.isEmpty() ? QString() : bits(spy.last().at(1).value<QVector<int>>());
}

} // namespace

class TestIoTestPanel : public QObject
{
    Q_OBJECT

private:
    // A DO4 at station 2 on a bus with a DI4 at station 1, in force mode.
    SlaveList m_bus;
    SlaveSnapshot m_do;

    void openPanel(SettingRegisterData &panel, bool force = true)
    {
        panel.setSlave(m_do, m_bus, force, true);
        panel.show();
    }

private slots:
    void initTestCase()
    {
        initTarnBusResources();
        qRegisterMetaType<QVector<int>>();
        m_do = fixtureSlave(kDO, 2);
        m_bus = {fixtureSlave(kDI, 1), m_do};
    }
    void cleanup() { closeBoxes(); }

    void steps_data()
    {
        QTest::addColumn<int>("outputs");
        QTest::addColumn<int>("loops");
        QTest::addColumn<QStringList>("patterns");
        QTest::newRow("4 outputs, one cycle")
            << 4 << 1 << QStringList{"1000", "0100", "0010", "0001", "0000", "1111", "1111"};
        QTest::newRow("2 outputs, two cycles")
            << 2 << 2 << QStringList{"10", "01", "00", "11", "11", "10", "01", "00", "11", "11"};
    }
    void steps()
    {
        QFETCH(int, outputs);
        QFETCH(int, loops);
        QFETCH(QStringList, patterns);
        RunningLight light;
        light.start(outputs, loops, 0);
        QStringList seen;
        while (!light.finished() && seen.size() < 100)
            seen << bits(light.step());
        QCOMPARE(seen, patterns);
        QCOMPARE(light.cyclesDone(), loops);
        QVERIFY(!light.isRunning());
    }

    // A channel that saw nothing over two cycles is listed; one with a sum
    // of 4 is not; before a whole cycle nothing is judged.
    void evaluation()
    {
        RunningLight light;
        light.start(2, 2, 3);
        light.addInputs({1, 0, 1});
        QCOMPARE(light.missingChannels(), QList<int>());
        while (!light.finished())
            light.step();
        light.addInputs({3, 0, 2, 9}); // the fourth value has no channel
        QCOMPARE(light.hitCounts(), (QVector<int>{4, 0, 3}));
        QCOMPARE(light.missingChannels(), (QList<int>{1, 2}));
    }

    void tables()
    {
        SettingRegisterData panel(QStringLiteral("站号:2  类型:FX-DO4-T"));
        QCOMPARE(panel.windowTitle(), QStringLiteral("站号:2  类型:FX-DO4-T"));
        openPanel(panel);
        QVERIFY(panel.outputTable());
        QCOMPARE(panel.outputTable()->rowCount(), 4);
        QCOMPARE(panel.outputTable()->horizontalHeaderItem(3)->text(), QStringLiteral("值"));
        QCOMPARE(panel.outputTable()->item(0, 0)->text(), QStringLiteral("DO"));
        QVERIFY(panel.refreshing());
        QVERIFY(panel.findChild<QWidget *>(QStringLiteral("groupBox"))->isVisible());
        QCOMPARE(startButton(&panel)->text(), QStringLiteral("开始"));
        QCOMPARE(field(&panel, "lineEdit")->text(), QStringLiteral("500"));
    }

    void pointTest()
    {
        SettingRegisterData panel(QString{});
        openPanel(panel);
        QSignalSpy one(&panel, &SettingRegisterData::sigOutputRequest);
        auto *button = qobject_cast<QPushButton *>(panel.outputTable()->cellWidget(2, 3));
        QVERIFY(button && button->isEnabled());
        button->click();
        QCOMPARE(one.count(), 1);
        QCOMPARE(one.first(), (QVariantList{m_do->recordId, 2, 1}));
        QCOMPARE(button->text(), QStringLiteral("ON"));

        // Outside force mode the outputs cannot be set.
        panel.updateSlaves(m_bus, false, true);
        QVERIFY(!button->isEnabled());
        QVERIFY(panel.findChild<QWidget *>(QStringLiteral("forceHint"))->isVisible());
    }

    // A switched-on output shows white on green. Drawn again and again, as a
    // running light draws its switches at every step, it holds nothing more:
    // a background from a style sheet would leave a new picture in Qt's
    // pixmap cache with every drawing.
    void switchedOnOutputLooksAndHoldsNothing()
    {
        SettingRegisterData panel(QString{});
        openPanel(panel);
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        auto *button = qobject_cast<QPushButton *>(panel.outputTable()->cellWidget(1, 3));
        const QColor green(0x43, 0xA0, 0x47);
        const auto corner = [&] { return button->grab().toImage().pixelColor(3, 3); };
        QVERIFY(corner() != green);
        button->click();
        QCOMPARE(button->text(), QStringLiteral("ON"));
        QCOMPARE(corner(), green);
        for (int i = 0; i < 20; ++i)
            button->repaint();
        const long long before = heapuse::bytesInUse();
        for (int i = 0; i < 300; ++i)
            button->repaint();
        const long long grown = heapuse::bytesInUse() - before;
        QVERIFY2(grown < 256 * 1024, qPrintable(QStringLiteral("%1 KiB held after 300 drawings").arg(grown / 1024)));
        button->click();
        QCOMPARE(button->text(), QStringLiteral("OFF"));
        QVERIFY(corner() != green);
    }

    void fieldChecks_data()
    {
        QTest::addColumn<QString>("interval");
        QTest::addColumn<QString>("loops");
        QTest::addColumn<QString>("station");
        QTest::addColumn<bool>("force");
        QTest::addColumn<QString>("box");
        QTest::newRow("interval 499") << "499" << "1" << "" << true << "警告|时间间隔不可小于500ms";
        QTest::newRow("interval not a number") << "fast" << "1" << "" << true << "警告|时间间隔不可小于500ms";
        QTest::newRow("interval 500") << "500" << "1" << "" << true << "";
        QTest::newRow("no loops") << "500" << "0" << "" << true << "警告|循环次数不可小于零!";
        QTest::newRow("loops not a number") << "500" << "x" << "" << true << "警告|循环次数不可小于零!";
        QTest::newRow("station without inputs") << "500" << "1" << "2" << true << "警告|输入站号“2”没有带输入的从站!";
        QTest::newRow("station not on the bus") << "500" << "1" << "77" << true << "警告|输入站号“77”没有带输入的从站!";
        QTest::newRow("station with inputs") << "500" << "1" << "1" << true << "";
        QTest::newRow("not in force mode") << "500" << "1" << "" << false << "警告|请先进入强制模式!";
    }
    void fieldChecks()
    {
        QFETCH(QString, interval);
        QFETCH(QString, loops);
        QFETCH(QString, station);
        QFETCH(bool, force);
        QFETCH(QString, box);
        SettingRegisterData panel(QString{});
        openPanel(panel, force);
        QSignalSpy outputs(&panel, &SettingRegisterData::sigOutputsRequest);
        field(&panel, "lineEdit")->setText(interval);
        field(&panel, "lineEdit_2")->setText(loops);
        field(&panel, "lineEdit_3")->setText(station);
        startButton(&panel)->click();
        QCOMPARE(boxTexts(), box.isEmpty() ? QStringList() : QStringList{box});
        QCOMPARE(panel.isRunning(), box.isEmpty());
        QCOMPARE(outputs.count(), box.isEmpty() ? 1 : 0);
        if (box.isEmpty()) {
            QCOMPARE(lastOutputs(outputs), QStringLiteral("1000"));
            QCOMPARE(startButton(&panel)->text(), QStringLiteral("结束"));
            QVERIFY(panel.stepping());
        }
    }

    // A whole test: every step's outputs, the monitored inputs counted, and
    // at the end the outputs off and the channels that did not follow.
    void wholeTest()
    {
        SettingRegisterData panel(QString{});
        openPanel(panel);
        QSignalSpy outputs(&panel, &SettingRegisterData::sigOutputsRequest);
        QSignalSpy steps(&panel, &SettingRegisterData::sigSlaveDataTest);
        field(&panel, "lineEdit_3")->setText(QStringLiteral("1"));
        startButton(&panel)->click();
        QVERIFY(panel.isRunning());
        // The DI4 at station 1 sees channels 0 and 2 follow, 1 and 3 not.
        for (int i = 0; i < 3; ++i)
            panel.onShareChannel(QByteArray::fromHex("01000100"), 1);
        panel.onShareChannel(QByteArray::fromHex("01010101"), 5); // another station: not counted
        while (panel.isRunning())
            panel.onLoopSendData();
        QStringList patterns;
        for (const QList<QVariant> &request : outputs)
            patterns << bits(request.at(1).value<QVector<int>>());
        QCOMPARE(patterns, (QStringList{"1000", "0100", "0010", "0001", "0000", "1111", "1111", "0000"}));
        QCOMPARE(field(&panel, "lineEdit_4")->text(), QStringLiteral("1 3 "));
        QCOMPARE(panel.verdictText(), QStringLiteral("结果: 失败 (站号1的输入通道 1,3 未跟随)"));
        QCOMPARE(startButton(&panel)->text(), QStringLiteral("开始"));
        QVERIFY(!panel.stepping());
        QCOMPARE(steps.first(), (QVariantList{1, 1, 0}));
        QCOMPARE(steps.last(), (QVariantList{1, 0, 0}));
    }

    // Every way a running test ends switches the outputs it set off.
    void endings_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("stop pressed, interval field invalid") << "stop";
        QTest::newRow("window closed") << "close";
        QTest::newRow("escape") << "escape";
        QTest::newRow("force mode left") << "force";
        QTest::newRow("link lost") << "link";
        QTest::newRow("slave gone") << "gone";
    }
    void endings()
    {
        QFETCH(QString, how);
        auto *panel = new SettingRegisterData(QString{});
        QPointer<SettingRegisterData> alive = panel;
        panel->setAttribute(Qt::WA_DeleteOnClose);
        openPanel(*panel);
        QSignalSpy outputs(panel, &SettingRegisterData::sigOutputsRequest);
        startButton(panel)->click();
        panel->onLoopSendData(); // a step with output 1 on
        QCOMPARE(lastOutputs(outputs), QStringLiteral("0100"));
        if (how == QLatin1String("stop")) {
            field(panel, "lineEdit")->setText(QStringLiteral("oops"));
            startButton(panel)->click();
            QCOMPARE(boxTexts(), QStringList());
        } else if (how == QLatin1String("close")) {
            panel->close();
        } else if (how == QLatin1String("escape")) {
            QTest::keyClick(panel, Qt::Key_Escape);
        } else if (how == QLatin1String("force")) {
            panel->updateSlaves(m_bus, false, true);
        } else if (how == QLatin1String("link")) {
            panel->updateSlaves(m_bus, true, false);
        } else {
            panel->updateSlaves({m_bus.first()}, true, true);
        }
        QCOMPARE(lastOutputs(outputs), QStringLiteral("0000"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (alive) {
            QVERIFY(!alive->isRunning());
            QVERIFY(!alive->stepping());
            QCOMPARE(alive->isVisible(), how == QLatin1String("stop") || how == QLatin1String("force") || how == QLatin1String("link"));
            delete alive;
        } else {
            QVERIFY(how != QLatin1String("stop"));
        }
    }

    void deletedSlaveStopsBothTimers()
    {
        SettingRegisterData panel(QString{});
        openPanel(panel);
        startButton(&panel)->click();
        QVERIFY(panel.refreshing() && panel.stepping());
        panel.updateSlaves({m_bus.first()}, true, true);
        QVERIFY(!panel.refreshing());
        QVERIFY(!panel.stepping());
        QVERIFY(!panel.isVisible());
    }

    void intervalField()
    {
        SettingRegisterData panel(QString{});
        openPanel(panel);
        // Idle: Enter does nothing.
        field(&panel, "lineEdit")->setText(QStringLiteral("100"));
        QTest::keyClick(field(&panel, "lineEdit"), Qt::Key_Return);
        QCOMPARE(boxTexts(), QStringList());
        QVERIFY(!panel.stepping());
        field(&panel, "lineEdit")->setText(QStringLiteral("600"));
        startButton(&panel)->click();
        QCOMPARE(panel.interval(), 600);
        // Running: below the floor is refused and the interval kept.
        field(&panel, "lineEdit")->setText(QStringLiteral("100"));
        emit field(&panel, "lineEdit")->returnPressed();
        QCOMPARE(boxTexts(), QStringList{"警告|时间间隔不可小于500ms"});
        QCOMPARE(panel.interval(), 600);
        QCOMPARE(field(&panel, "lineEdit")->text(), QStringLiteral("600"));
        closeBoxes();
        field(&panel, "lineEdit")->setText(QStringLiteral("800"));
        emit field(&panel, "lineEdit")->returnPressed();
        QCOMPARE(panel.interval(), 800);
        QVERIFY(panel.stepping());
    }

    // Every input followed: the test passes; without a monitored station
    // there is nothing to judge.
    void verdicts()
    {
        SettingRegisterData panel(QString{});
        openPanel(panel);
        field(&panel, "lineEdit_3")->setText(QStringLiteral("1"));
        startButton(&panel)->click();
        for (int i = 0; i < 2; ++i)
            panel.onShareChannel(QByteArray::fromHex("01010101"), 1);
        while (panel.isRunning())
            panel.onLoopSendData();
        QCOMPARE(panel.verdictText(), QStringLiteral("结果: 通过 (站号1的全部输入跟随)"));

        field(&panel, "lineEdit_3")->clear();
        startButton(&panel)->click();
        while (panel.isRunning())
            panel.onLoopSendData();
        QCOMPARE(panel.verdictText(), QStringLiteral("未监视输入站号,没有判定。"));
    }

    // Rows carry the channel numbers used everywhere else, from 0.
    void rowsNamedByChannel()
    {
        SettingRegisterData panel(QString{});
        openPanel(panel);
        QTableWidget *table = panel.outputTable();
        QCOMPARE(table->rowCount(), 4);
        for (int row = 0; row < table->rowCount(); ++row)
            QCOMPARE(table->verticalHeaderItem(row)->text(), QString::number(row));
    }

    // The running light of an analog module gives its outputs the value set
    // for it, and refuses one outside their range.
    void analogRunningLight()
    {
        SettingRegisterData panel(QString{});
        panel.setSlave(fixtureSlave(kAO, 9), m_bus, true, true);
        panel.show();
        QLineEdit *value = field(&panel, "analogValue");
        QVERIFY(value->isVisible());
        QCOMPARE(value->text(), QStringLiteral("32767"));
        QSignalSpy outputs(&panel, &SettingRegisterData::sigOutputsRequest);
        value->setText(QStringLiteral("99999"));
        startButton(&panel)->click();
        QCOMPARE(boxTexts().size(), 1);
        QVERIFY2(boxTexts().first().startsWith(QStringLiteral("警告|模拟量值“99999”超出范围")), qPrintable(boxTexts().first()));
        QVERIFY(!panel.isRunning());
        closeBoxes();
        value->setText(QStringLiteral("16000"));
        startButton(&panel)->click();
        QVERIFY(panel.isRunning());
        const QVector<int> first = outputs.last().at(1).value<QVector<int>>();
        QCOMPARE(first.value(0), 16000);
        QVERIFY(std::all_of(first.cbegin() + 1, first.cend(), [](int v) { return v == 0; }));
        while (panel.isRunning())
            panel.onLoopSendData();
        const QVector<int> last = outputs.last().at(1).value<QVector<int>>();
        QVERIFY(std::all_of(last.cbegin(), last.cend(), [](int v) { return v == 0; }));

        // A digital module has no analog value.
        SettingRegisterData digital(QString{});
        openPanel(digital);
        QVERIFY(!field(&digital, "analogValue")->isVisible());
    }

    void analogOutputs()
    {
        SettingRegisterData panel(QString{});
        panel.setSlave(fixtureSlave(kAO, 9), m_bus, true, true);
        QSignalSpy one(&panel, &SettingRegisterData::sigOutputRequest);
        auto *edit = qobject_cast<QLineEdit *>(panel.outputTable()->cellWidget(0, 3));
        QVERIFY(edit);
        panel.onAODataEdit(0, QStringLiteral("1000"));
        QCOMPARE(one.count(), 1);
        QCOMPARE(one.first().at(2).toInt(), 1000);
        panel.onAODataEdit(0, QStringLiteral("70000"));
        panel.onAODataEdit(0, QStringLiteral("99999"));
        panel.onAODataEdit(0, QStringLiteral("ten"));
        QCOMPARE(one.count(), 1);
        QCOMPARE(boxTexts().size(), 3);
        QVERIFY(boxTexts().first().contains(QStringLiteral("超出范围")));
    }
};

QTEST_MAIN(TestIoTestPanel)
#include "tst_io_test_panel.moc"
