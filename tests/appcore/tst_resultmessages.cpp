// The adapter manager's notification for every result an Adapter reports.

#include "ResultCodes.h"
#include "ResultMessages.h"

#include <QtTest>

using namespace appcore;

Q_DECLARE_METATYPE(appcore::MessageIcon)
Q_DECLARE_METATYPE(appcore::MessageLevel)

class TestResultMessages : public QObject
{
    Q_OBJECT

private slots:
    void boxes_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("err");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("title");
        QTest::addColumn<MessageIcon>("icon");
        QTest::addColumn<int>("width");
        const auto W = MessageIcon::Warning;
        const auto I = MessageIcon::Information;
        const auto P = MessageIcon::Progress; // still running: no success mark
        const int ok = COMM_OK;
        QTest::newRow("config mode") << 9 << 0 << ok << "TARNBUS进入配置模式失败! " << "警告" << W << 280;
        QTest::newRow("force: controller bit wins") << 11 << 7 << ok << "TARNBUS控制器错误,强制启动失败!" << "警告" << W << 300;
        QTest::newRow("force: short circuit") << 11 << 6 << ok << "短路/欠压,强制启动失败!" << "警告" << W << 300;
        QTest::newRow("force: slave fault") << 11 << 4 << ok << "从站存在异常,强制启动失败!" << "警告" << W << 300;
        QTest::newRow("force: none of the bits") << 11 << 8 << ok << "从站存地址冲突,强制启动失败! " << "警告" << W << 300;
        QTest::newRow("empty configuration") << 17 << 0 << ok << "配置失败，设备数量不可为空！" << "警告" << W << 300;
        QTest::newRow("slave: not online") << 18 << 0 << ok << "从站不在线!" << "警告" << W << 210;
        QTest::newRow("slave: station taken") << 18 << 1 << ok << "从站站号冲突,设置失败!" << "警告" << W << 210;
        QTest::newRow("slave: refused") << 18 << 2 << ok << "从站地址冲突,设置失败!" << "警告" << W << 210;
        QTest::newRow("slave: lamp in force mode") << 18 << 4 << ok << "强制状态，不可点灯!" << "警告" << W << 210;
        QTest::newRow("slave: inputs") << 18 << 49 << ok << "输入量地址冲突!" << "警告" << W << 210;
        QTest::newRow("slave: outputs") << 18 << 50 << ok << "输出量地址冲突!" << "警告" << W << 210;
        QTest::newRow("slave: write failed") << 18 << 64 << ok << "通信异常,设置失败!" << "警告" << W << 210;
        QTest::newRow("slave: matched") << 18 << -2 << ok << "组态匹配完成!" << "提示" << I << 210;
        QTest::newRow("slave: success") << 18 << -1 << ok << "修改从站配置成功!" << "提示" << I << 210;
        QTest::newRow("slave: success as 255") << 18 << 255 << ok << "修改从站配置成功!" << "提示" << I << 210;
        QTest::newRow("slave: other code") << 18 << 0x35 << ok << "修改失败!错误码:0x35 " << "警告" << W << 210;
        QTest::newRow("address: conflict") << 19 << 1 << ok << "从站地址冲突,设置失败!" << "警告" << W << 210;
        QTest::newRow("address: inputs beyond") << 19 << 48 << ok << "输入量地址超限,设置失败!" << "警告" << W << 210;
        QTest::newRow("address: outputs beyond") << 19 << 49 << ok << "输出量地址超限,设置失败!" << "警告" << W << 210;
        QTest::newRow("address: parameters") << 19 << 64 << ok << "参数错误,设置失败!" << "警告" << W << 210;
        QTest::newRow("address: other code") << 19 << 0xAB << ok << "修改失败!错误码:0xab " << "警告" << W << 210;
        QTest::newRow("stored") << 20 << -1 << ok << "保存组态成功! 主站已重启,请重新链接" << "警告" << I << 300;
        QTest::newRow("force: outputs overlap") << 22 << 2 << ok << "输出量地址冲突，强制启动失败! " << "警告" << W << 210;
        QTest::newRow("force: inputs overlap") << 22 << 1 << ok << "输入量地址冲突，强制启动失败! " << "警告" << W << 210;
        QTest::newRow("no handshake") << 24 << -1 << ok << "TARNBUS通信中断,请检查USB! " << "警告" << W << 300;
        QTest::newRow("link: other") << 25 << 3 << ok << "TarnBUS链接断开!" << "警告" << W << 210;
        QTest::newRow("not linked: other") << 27 << 0 << ok << "TARNBUS通信中断,操作失败!" << "警告" << W << 210;
        QTest::newRow("CRC") << 28 << int(COMM_CRC_ERROR) << ok << "TARNBUS通信,CRC校验错误！" << "警告" << W << 210;
        QTest::newRow("check") << 28 << int(COMM_CHECK_ERROR) << ok << "TARNBUS通信,操作指令校验错误！" << "警告" << W << 210;
        QTest::newRow("time-out") << 28 << int(COMM_TIMEOUT) << ok << "TarnBUS通信超时！" << "警告" << W << 210;
        QTest::newRow("not connected") << 28 << int(COMM_NOT_CONNECTED) << ok << "TarnBUS通信中断!" << "警告" << W << 210;
        QTest::newRow("error reply") << 28 << int(COMM_REPLY_ERROR) << ok << "TarnBUS通信,CRC校验错误！" << "警告" << W << 210;
        // The status argument says more than err when it is set.
        QTest::newRow("poll lost the link") << 28 << 0 << int(COMM_NOT_CONNECTED) << "TarnBUS通信中断!" << "警告" << W << 210;
        QTest::newRow("store failed") << 28 << int(COMM_TIMEOUT) << int(COMM_NO_DATA)
                                      << "操作失败！TARNBUS主站重启中，请稍后..." << "警告" << W << 210;
        QTest::newRow("refused") << 28 << int(COMM_REFUSED) << ok << "TARNBUS适配器拒绝执行,操作失败!" << "警告" << W << 210;
        QTest::newRow("no reply data") << 29 << 23 << ok << "TarnBUS通信失败,数据丢失！" << "警告" << W << 210;
        // An operation's failure in its own words, with why.
        QTest::newRow("store refused") << 36 << 1 << int(COMM_REFUSED) << "保存组态失败: 适配器拒绝执行!" << "警告" << W << 280;
        QTest::newRow("store timed out") << 36 << 1 << int(COMM_TIMEOUT) << "保存组态失败: 通信超时!" << "警告" << W << 280;
        QTest::newRow("settings write, bad checksum") << 36 << 2 << int(COMM_CRC_ERROR) << "修改适配器参数失败: CRC校验错误!"
                                                      << "警告" << W << 280;
        QTest::newRow("settings unread") << 36 << 13 << int(COMM_REFUSED) << "读取适配器参数失败: 适配器拒绝执行! 参数未知,不可修改。"
                                         << "警告" << W << 280;
        QTest::newRow("lamp, error report") << 36 << 3 << int(COMM_REPLY_ERROR) << "点灯失败: 适配器报告通信错误!" << "警告" << W << 210;
        QTest::newRow("force on, link lost") << 36 << 4 << int(COMM_NOT_CONNECTED) << "进入强制模式失败: 链接断开!" << "警告" << W << 280;
        QTest::newRow("force off refused") << 36 << 5 << int(COMM_REFUSED)
                                           << "退出强制模式失败: 适配器拒绝执行! 输出可能仍处于强制状态,请重试。" << "警告" << W << 300;
        QTest::newRow("station change") << 36 << 6 << int(COMM_REFUSED) << "修改从站站号失败: 适配器拒绝执行!" << "警告" << W << 280;
        QTest::newRow("address change") << 36 << 7 << int(COMM_TIMEOUT) << "修改从站地址失败: 通信超时!" << "警告" << W << 280;
        QTest::newRow("parameter change") << 36 << 8 << int(COMM_REFUSED) << "修改从站参数失败: 适配器拒绝执行!" << "警告" << W << 280;
        QTest::newRow("clear") << 36 << 9 << int(COMM_REFUSED) << "清除从站站号失败: 适配器拒绝执行!" << "警告" << W << 280;
        QTest::newRow("settings unknown") << 37 << 0 << ok << "适配器参数未能读取,不可修改!" << "警告" << W << 280;
        QTest::newRow("station too high") << 30 << 0 << ok << "站号不可大于128,请重新设置。" << "警告" << W << 210;
        QTest::newRow("comm failed") << 31 << 0 << ok << "TARNBUS通信失败!" << "警告" << W << 300;
        QTest::newRow("comm time-out") << 32 << 0 << ok << "TARNBUS通信超时!" << "警告" << W << 300;
        QTest::newRow("usb: not connected") << 34 << 0 << ok << "USB未连接,无法读写!" << "警告" << W << 300;
        QTest::newRow("usb: type differs") << 34 << 1 << ok << "当前站号配置类型与实际类型不相同! " << "警告" << W << 300;
        QTest::newRow("usb: other") << 34 << 2 << ok << "error " << "警告" << W << 300;
        QTest::newRow("batch: conflict") << 16 << 1 << ok << "从站地址冲突,设置失败!" << "警告" << W << 250;
        QTest::newRow("batch: link lost") << 16 << 4 << ok << "设备链接异常，TB下载配置失败！" << "提示" << W << 250;
        QTest::newRow("batch: inputs") << 16 << 16 << ok << "输入量地址冲突,设置失败!" << "警告" << W << 250;
        QTest::newRow("batch: outputs") << 16 << 32 << ok << "输出量地址冲突,设置失败!" << "警告" << W << 250;
        QTest::newRow("batch: parameters") << 16 << 64 << ok << "参数错误,设置失败!" << "警告" << W << 250;
        QTest::newRow("settings: writing") << 16 << -16 << ok << "参数配置中，请稍后!" << "提示" << P << 280;
        QTest::newRow("settings: force mode") << 16 << -15 << ok << "强制状态不可操作!" << "警告" << W << 210;
        QTest::newRow("settings: changed") << 16 << -14 << ok << "TB配置修改成功!" << "提示" << I << 280;
        QTest::newRow("batch: other code") << 16 << 0x5A << ok << "修改失败!错误码:0x5a  " << "警告" << W << 250;
        QTest::newRow("download: not linked") << 35 << 0 << ok << "TARNBUS通信中断,操作失败!" << "提示" << W << 210;
        QTest::newRow("download: conflict") << 35 << 1 << ok << "地址冲突,下载配置失败!" << "提示" << W << 210;
    }
    void boxes()
    {
        QFETCH(int, type);
        QFETCH(int, err);
        QFETCH(int, status);
        QFETCH(QString, text);
        QFETCH(QString, title);
        QFETCH(MessageIcon, icon);
        QFETCH(int, width);
        const ResultMessage m = resultMessage(adapter_message_type(type), char(err), 0, COMM_STATUS_TYPE(status));
        QCOMPARE(m.boxText, text);
        QCOMPARE(m.boxTitle, title);
        QCOMPARE(m.icon, icon);
        QCOMPARE(m.boxWidth, width);
        QCOMPARE(m.isFailure(), icon == MessageIcon::Warning);
    }

    // What goes into the message list, and the silent results.
    void lines_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("err");
        QTest::addColumn<int>("sid");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("log");
        QTest::addColumn<MessageLevel>("level");
        QTest::addColumn<bool>("box");
        const int ok = COMM_OK;
        QTest::newRow("time-out") << 28 << 23 << 0 << ok << "TarnBUS通信超时！" << MessageLevel::Waring << true;
        QTest::newRow("not connected: box only") << 28 << 28 << 0 << ok << "" << MessageLevel::None << true;
        QTest::newRow("transaction OK") << 28 << 27 << 0 << ok << "" << MessageLevel::None << false;
        QTest::newRow("link lost") << 25 << -2 << 0 << ok << "TarnBUS链接断开!" << MessageLevel::Error << false;
        QTest::newRow("link back") << 25 << -1 << 0 << ok << "TarnBUS重新链接!" << MessageLevel::Inform << false;
        QTest::newRow("link: other") << 25 << 0 << 0 << ok << "TarnBUS链接断开!" << MessageLevel::Error << true;
        QTest::newRow("not linked: poll") << 27 << -2 << 0 << ok << "" << MessageLevel::None << false;
        QTest::newRow("address done") << 19 << -1 << 0 << ok << "自动配置地址完成!" << MessageLevel::None << true;
        QTest::newRow("batch begins") << 16 << 0 << 0 << ok << "开始下载CSV文件配置到适配器" << MessageLevel::None << false;
        QTest::newRow("batch ends") << 16 << 2 << 0 << ok << "TB下载配置完成！" << MessageLevel::None << false;
        QTest::newRow("batch link lost") << 16 << 4 << 0 << ok << "TB下载配置失败！" << MessageLevel::None << true;
        QTest::newRow("batch station") << 16 << -1 << 7 << ok << "配置站点 7 成功！" << MessageLevel::None << false;
        QTest::newRow("download done") << 33 << 1 << 0 << ok << "" << MessageLevel::None << false;
        QTest::newRow("list changed") << 6 << 0 << 0 << ok << "" << MessageLevel::None << false;
        // A module's record names its station; leaving force mode that failed is an error.
        QTest::newRow("download, station 7") << 36 << 10 << 7 << int(COMM_REFUSED) << "下载配置失败(站号7): 适配器拒绝执行!"
                                             << MessageLevel::Waring << true;
        QTest::newRow("force off") << 36 << 5 << 0 << int(COMM_TIMEOUT)
                                   << "退出强制模式失败: 通信超时! 输出可能仍处于强制状态,请重试。" << MessageLevel::Error << true;
    }
    void lines()
    {
        QFETCH(int, type);
        QFETCH(int, err);
        QFETCH(int, sid);
        QFETCH(int, status);
        QFETCH(QString, log);
        QFETCH(MessageLevel, level);
        QFETCH(bool, box);
        const ResultMessage m = resultMessage(adapter_message_type(type), char(err), sid, COMM_STATUS_TYPE(status));
        QCOMPARE(m.logText, log);
        QCOMPARE(m.level, level);
        QCOMPARE(m.hasBox(), box);
    }

    void sideEffects()
    {
        QVERIFY(resultMessage(MSG_TRANSACTION_FAILED, COMM_CRC_ERROR).resetStatusPanel);
        QVERIFY(!resultMessage(MSG_TRANSACTION_FAILED, COMM_TIMEOUT).resetStatusPanel);
        QVERIFY(resultMessage(MSG_NO_HANDSHAKE, -1).resetStatusPanel);
        QVERIFY(resultMessage(MSG_CONFIG_STORED, -1).resetStatusPanel);
        QVERIFY(resultMessage(MSG_USB_STATE, -2).resetStatusPanel);
        QVERIFY(resultMessage(MSG_LIST_CHANGED, 0).forceIndicatorOff);

        const ResultMessage back = resultMessage(MSG_USB_STATE, -1);
        QVERIFY(back.forceIndicatorOff);
        QCOMPARE(back.loading, LoadingStep::Show);

        // The batch download keeps its progress dialog going.
        const ResultMessage progress = resultMessage(MSG_BATCH_CONFIG, 3, 12);
        QCOMPARE(progress.loading, LoadingStep::Advance);
        QCOMPARE(progress.loadingText, QStringLiteral("正在设置第12个从站,请稍后！"));
        QCOMPARE(resultMessage(MSG_BATCH_CONFIG, 0).loading, LoadingStep::Show);
        QVERIFY(resultMessage(MSG_BATCH_CONFIG, 2).showConfigurationSummary);
        QCOMPARE(resultMessage(MSG_BATCH_CONFIG, 1).loading, LoadingStep::Hide);
        QCOMPARE(resultMessage(MSG_BATCH_CONFIG, -16).boxCloseMs, 5900);
        QCOMPARE(resultMessage(MSG_SLAVE_CONFIG_RESULT, 2).boxCloseMs, 10000);
    }

    void allocationWarning_data()
    {
        QTest::addColumn<int>("inputBits");
        QTest::addColumn<int>("outputBits");
        QTest::addColumn<QString>("warning");
        QTest::newRow("513/0") << 513 << 0 << "警告:输入超限";
        QTest::newRow("513/512") << 513 << 512 << "警告:输入超限";
        QTest::newRow("512/513") << 512 << 513 << "警告:输出超限";
        QTest::newRow("513/513") << 513 << 513 << "警告:输入(出)超限";
        QTest::newRow("512/512") << 512 << 512 << "";
    }
    void allocationWarning()
    {
        QFETCH(int, inputBits);
        QFETCH(int, outputBits);
        QFETCH(QString, warning);
        QCOMPARE(appcore::allocationWarning(inputBits, outputBits), warning);
    }

    void otherNotifications()
    {
        const ResultMessage open = openFailedMessage();
        QCOMPARE(open.boxText, QStringLiteral("串口无法打开,不存在或已被占用"));
        QCOMPARE(open.boxTitle, QStringLiteral("提示"));
        QVERIFY(open.isFailure());

        CsvImportResult line;
        line.station = 5;
        line.typeText = QStringLiteral("*TB-DI8-N");
        QCOMPARE(importLineMessage(line).logText, QStringLiteral("站点5 *TB-DI8-N无匹配类型，导入数据失败!"));
        QCOMPARE(importLineMessage(line).level, MessageLevel::Waring);
        line.ok = true;
        QCOMPARE(importLineMessage(line).logText, QStringLiteral("站点5 *TB-DI8-N 导入数据成功!"));
        QCOMPARE(importLineMessage(line).level, MessageLevel::Inform);
        // Station 0 without a UID that names no module: skipped, and said so.
        CsvImportResult unnamed;
        unnamed.skipped = true;
        unnamed.typeText = QStringLiteral("*TB-DI8-N");
        QCOMPARE(importLineMessage(unnamed).logText,
                 QStringLiteral("站点0 *TB-DI8-N 没有站号也没有UID,无法对应从站(只能对应同类型的本地模块),已跳过该行"));
        QCOMPARE(importLineMessage(unnamed).level, MessageLevel::Waring);

        QCOMPARE(open.code, QStringLiteral("usb.open_failed"));
        QCOMPARE(importLineMessage(line).code, QStringLiteral("import.line_applied"));
        QCOMPARE(importLineMessage(unnamed).code, QStringLiteral("import.line_skipped"));
        line.ok = false;
        QCOMPARE(importLineMessage(line).code, QStringLiteral("import.line_no_type"));
    }

    // Every result that tells the user something carries a code of the
    // documented form, and a code always stands for one text: a script or a
    // support engineer matching the code matches what the user was told.
    // Texts that carry the adapter's error byte (0x..) vary with it.
    void codes()
    {
        static const QRegularExpression form(QStringLiteral("^[a-z][a-z0-9_]*(\\.[a-z][a-z0-9_]*)+$"));
        const QList<int> statuses{COMM_OK,      COMM_CRC_ERROR, COMM_CHECK_ERROR, COMM_TIMEOUT, COMM_REPLY_ERROR,
                                  COMM_BUSY,    COMM_NOT_CONNECTED, COMM_NO_DATA, COMM_REFUSED, 0};
        QHash<QString, QString> textOf;
        int said = 0;
        for (int type = 0; type <= MSG_SETTINGS_UNKNOWN; ++type) {
            for (int err = -2; err < 256; ++err) {
                for (int status : statuses) {
                    const ResultMessage m = resultMessage(adapter_message_type(type), err, 7, COMM_STATUS_TYPE(status));
                    const QString text = m.hasBox() ? m.boxText : m.isLogged() ? m.logText : m.loadingText;
                    const QString row = QStringLiteral("type %1, err %2, status %3: %4 [%5]").arg(type).arg(err).arg(status).arg(text, m.code);
                    if (text.isEmpty()) {
                        QVERIFY2(m.code.isEmpty(), qPrintable(row));
                        continue;
                    }
                    ++said;
                    QVERIFY2(form.match(m.code).hasMatch(), qPrintable(row));
                    QCOMPARE(m.code, resultCode(adapter_message_type(type), err, 7, COMM_STATUS_TYPE(status)));
                    if (text.contains(QLatin1String("0x")))
                        continue;
                    const QString known = textOf.value(m.code, text);
                    QVERIFY2(known == text, qPrintable(row + QStringLiteral(" vs ") + known));
                    textOf.insert(m.code, text);
                }
            }
        }
        QVERIFY(said > 1000);
        // The cases the command line names in its documentation.
        QCOMPARE(resultMessage(MSG_OPERATION_FAILED, AdapterOperation::Store, 0, COMM_REFUSED).code, QStringLiteral("store.refused"));
        QCOMPARE(resultMessage(MSG_OPERATION_FAILED, AdapterOperation::StationChange, 3, COMM_TIMEOUT).code,
                 QStringLiteral("station_change.timeout"));
        QCOMPARE(resultMessage(MSG_TRANSACTION_FAILED, COMM_CRC_ERROR).code, QStringLiteral("transaction.checksum_error"));
        QCOMPARE(resultMessage(MSG_USB_STATE, -2).code, QStringLiteral("link.lost"));
        QCOMPARE(resultMessage(MSG_CONFIG_STORED, -1).code, QStringLiteral("store.done"));
        QCOMPARE(downloadSkipCode(DownloadSkip::NotOnBus), QStringLiteral("download.skipped.not_on_bus"));
        QCOMPARE(downloadSkipCode(COMM_TIMEOUT), QStringLiteral("download.skipped.timeout"));
    }
};

QTEST_GUILESS_MAIN(TestResultMessages)
#include "tst_resultmessages.moc"
