// The progress dialog, the timed notice and the bus status panel.

#include "LabelLook.h"
#include "Loading.h"
#include "MessageBox.h"
#include "QtTranslations.h"
#include "SlaveMainWindow.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QPointer>
#include <QtTest>

class TestAppDialogs : public QObject
{
    Q_OBJECT

private slots:
    // A notice shows its whole text: a long line wraps within the box, and
    // the box is as high as the lines it wraps to.
    void noticesShowTheirWholeText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("short") << QStringLiteral("保存组态成功!");
        QTest::newRow("lines") << QStringLiteral("新建工程：扫描USB上的适配器并打开。\n手动组态：新建一个离线组态。\n"
                                                 "点击项目树或拓扑图中的从站查看其信息；右键单击适配器打开其命令菜单。");
        QTest::newRow("one long line") << QString(QStringLiteral("地址冲突,下载配置失败! ")).repeated(12);
    }
    void noticesShowTheirWholeText()
    {
        QFETCH(QString, text);
        QPointer<MessageBox> box = MessageBox::about(nullptr, QStringLiteral("帮助"), text);
        QVERIFY(QTest::qWaitForWindowExposed(box));
        auto *label = box->findChild<QLabel *>(QStringLiteral("label"));
        QVERIFY(label->height() >= label->heightForWidth(label->width()));
        QVERIFY(label->width() <= 560);
        QVERIFY(box->rect().contains(label->geometry().bottomRight()));
        box->close();
    }

    // Qt's own buttons speak the window's language once its translations
    // are installed, as the program does at its start.
    void qtTextsInTheWindowsLanguage()
    {
        QMessageBox box(QMessageBox::Question, QStringLiteral("提示"), QStringLiteral("?"), QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(box.button(QMessageBox::Yes)->text(), QStringLiteral("&Yes"));
        QVERIFY(QtTranslations::install(*QCoreApplication::instance()));
        QMessageBox translated(QMessageBox::Question, QStringLiteral("提示"), QStringLiteral("?"),
                               QMessageBox::Yes | QMessageBox::No);
        QVERIFY2(translated.button(QMessageBox::Yes)->text().startsWith(QStringLiteral("是")),
                 qPrintable(translated.button(QMessageBox::Yes)->text()));
        QVERIFY(translated.button(QMessageBox::No)->text().startsWith(QStringLiteral("否")));
    }

    void loadingSteps_data()
    {
        QTest::addColumn<QString>("step");
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("progress");
        QTest::newRow("show") << "show" << "开始加载从站,请稍后！" << 0;
        QTest::newRow("one slave") << "slave" << "正在加载第1个从站,请稍后！" << 1;
        QTest::newRow("preparing") << "prepare" << "TB数据准备中7,请稍后！" << 0;
        QTest::newRow("configuring") << "config" << "正在设置第1个从站,请稍后！" << 1;
    }

    void loadingSteps()
    {
        QFETCH(QString, step);
        QFETCH(QString, label);
        QFETCH(int, progress);
        Loading loading;
        if (step == QLatin1String("show"))
            loading.showLading();
        else if (step == QLatin1String("slave"))
            loading.setLoadNumber();
        else if (step == QLatin1String("prepare"))
            loading.setLoadNumber(7);
        else
            loading.setLoadConfigNumber();
        QVERIFY(loading.isVisible());
        QCOMPARE(loading.labelText(), label);
        QCOMPARE(loading.progress(), progress);
        QVERIFY(loading.watchdogRunning());
        loading.hideLading();
        QVERIFY(!loading.isVisible());
        QCOMPARE(loading.progress(), 0);
        QVERIFY(!loading.watchdogRunning());
    }

    void loadingClosesOnlyAfterItsWatchdog()
    {
        Loading loading;
        loading.showLading();
        loading.setLoadNumber();
        // Neither Escape nor the window's close button ends it.
        loading.reject();
        QVERIFY(loading.isVisible());
        QVERIFY(!loading.close());
        QVERIFY(loading.isVisible());
        // The watchdog expires: the operation counts as timed out.
        loading.onProcess();
        QCOMPARE(loading.labelText(), QStringLiteral("加载数据超时，请检查设备！"));
        QCOMPARE(loading.progress(), 0);
        QVERIFY(!loading.watchdogRunning());
        QVERIFY(loading.close());
        QVERIFY(!loading.isVisible());
        // A new step makes it hold again.
        loading.showLading();
        QVERIFY(!loading.close());
    }

    void messageBoxClosesItself()
    {
        QPointer<MessageBox> box = MessageBox::notify(nullptr, QStringLiteral("警告"), QStringLiteral("text"),
                                                      MessageBox::Warning, 210, 50);
        QVERIFY(box->isVisible());
        QVERIFY(box->isModal());
        QCOMPARE(box->windowTitle(), QStringLiteral("警告"));
        QCOMPARE(box->text(), QStringLiteral("text"));
        QVERIFY(box->minimumWidth() >= 210);
        QTRY_VERIFY(box.isNull()); // closed and deleted
        QPointer<MessageBox> about = MessageBox::about(nullptr, QStringLiteral("提示"), QStringLiteral("x"));
        QTest::qWait(100);
        QVERIFY(about && about->isVisible()); // an about-box waits for the user
        about->reject();
        QTRY_VERIFY(about.isNull());
    }

    void statusPanel()
    {
        SlaveMainWindow panel;
        AdapterStatus status;
        status.status0 = 1;
        status.status1 = 0;
        status.status2 = 0;
        status.status4 = 1;
        status.slaveCount = 16;
        status.power = 24;
        status.temperature = 36;
        panel.updateStatus(status);
        const QString good = QStringLiteral("image: url(:/image/0.png);");
        const QString bad = QStringLiteral("image: url(:/image/1.png);");
        // Values 1, 2, 5 and 3, in panel order.
        QCOMPARE(panel.indicatorStyles(), (QStringList{good, bad, good, bad}));
        QCOMPARE(panel.slaveCountText(), QStringLiteral("16"));
        QCOMPARE(panel.powerText(), QStringLiteral("24 W"));
        QCOMPARE(panel.temperatureText(), QStringLiteral("36 °C"));
        panel.setForceIndicator(SlaveMainWindow::Force::On);
        panel.resetStatus();
        QCOMPARE(panel.forceIndicator(), SlaveMainWindow::Force::Cleared);
        QCOMPARE(panel.indicatorStyles(), (QStringList{good, good, good, good}));
        QCOMPARE(panel.slaveCountText(), QStringLiteral("0"));
        QCOMPARE(panel.powerText(), QStringLiteral("1 W"));
    }

    // The panel is shown again with every process-data cycle. Its indicators
    // carry no style sheet (each one set would leave a new pixmap in Qt's
    // pixmap cache when drawn) and show one picture per image, shared by
    // every indicator, however often their values change.
    void statusIndicatorsShareTheirPictures()
    {
        SlaveMainWindow panel;
        const QStringList names{"busPower", "inputPower", "commState", "slaveState"};
        QList<QLabel *> indicators;
        for (const QString &name : names)
            indicators << panel.findChild<QLabel *>(name);
        const auto pictureOf = [&](int i) { return indicators.at(i)->pixmap(Qt::ReturnByValue); };
        AdapterStatus status;
        status.status0 = status.status1 = 1;
        status.status2 = status.status4 = 0;
        panel.updateStatus(status);
        const qint64 good = pictureOf(0).cacheKey();
        const qint64 bad = pictureOf(2).cacheKey();
        QVERIFY(!pictureOf(0).isNull() && !pictureOf(2).isNull());
        QCOMPARE(pictureOf(0).size(), QSize(20, 20));
        QVERIFY(good != bad);
        QCOMPARE(pictureOf(1).cacheKey(), good);
        QCOMPARE(pictureOf(3).cacheKey(), bad);
        const int pictures = labellook::sharedPictureCount();
        for (int cycle = 0; cycle < 100; ++cycle) {
            status.status0 = status.status2 = cycle & 1;
            panel.updateStatus(status);
        }
        QCOMPARE(labellook::sharedPictureCount(), pictures);
        QCOMPARE(pictureOf(0).cacheKey(), good); // ended on 1
        QCOMPARE(pictureOf(1).cacheKey(), good);
        QCOMPARE(pictureOf(2).cacheKey(), bad);
        QCOMPARE(pictureOf(3).cacheKey(), good);
        for (QLabel *indicator : qAsConst(indicators))
            QCOMPARE(indicator->styleSheet(), QString());
    }
};

QTEST_MAIN(TestAppDialogs)
#include "tst_app_dialogs.moc"
