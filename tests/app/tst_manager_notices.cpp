// The adapter manager's notice for every result an Adapter reports: the
// box, its title, icon and width, the message-list line, and what happens to
// the progress dialog and the status panel.

#include "ManagerNotices.h"

#include <QtTest>

Q_DECLARE_METATYPE(ManagerNotice::Box)
Q_DECLARE_METATYPE(ManagerNotice::LoadingAction)

class TestManagerNotices : public QObject
{
    Q_OBJECT

private slots:
    void table_data();
    void table();
};

void TestManagerNotices::table_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("err");
    QTest::addColumn<int>("status");
    QTest::addColumn<ManagerNotice::Box>("box");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("information");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("logLevel");
    QTest::addColumn<QString>("logText");
    QTest::addColumn<ManagerNotice::LoadingAction>("loading");
    QTest::addColumn<bool>("statusReset");

    using B = ManagerNotice::Box;
    using L = ManagerNotice::LoadingAction;
    const QString warn = QStringLiteral("警告");
    const QString note = QStringLiteral("提示");
    const int ok = COMM_OK;
    const auto row = [](const char *name, int type, int err, int status, B box, const QString &title, const QString &text,
                        bool info, int width, int level, const QString &log, L loading, bool reset) {
        QTest::newRow(name) << type << err << status << box << title << text << info << width << level << log << loading
                            << reset;
    };

    row("9 config mode", 9, 1, ok, B::Timed, warn, "TARNBUS进入配置模式失败! ", false, 280, -1, "", L::Hide, false);
    row("11 bit 0 wins", 11, 7, ok, B::Timed, warn, "TARNBUS控制器错误,强制启动失败!", false, 300, -1, "", L::Hide, false);
    row("11 bit 1", 11, 2, ok, B::Timed, warn, "短路/欠压,强制启动失败!", false, 300, -1, "", L::Hide, false);
    row("11 bit 2", 11, 4, ok, B::Timed, warn, "从站存在异常,强制启动失败!", false, 300, -1, "", L::Hide, false);
    row("11 none", 11, 8, ok, B::Timed, warn, "从站存地址冲突,强制启动失败! ", false, 300, -1, "", L::Hide, false);
    row("17 empty", 17, 0, ok, B::Timed, warn, "配置失败，设备数量不可为空！", false, 300, -1, "", L::Hide, false);
    row("18 station taken", 18, 1, ok, B::Timed, warn, "从站站号冲突,设置失败!", false, 210, -1, "", L::Hide, false);
    row("18 success", 18, -1, ok, B::Timed, note, "修改从站配置成功!", true, 210, -1, "", L::Hide, false);
    row("18 matched", 18, -2, ok, B::Timed, note, "组态匹配完成!", true, 210, -1, "", L::Hide, false);
    row("18 unknown code", 18, 0x35, ok, B::Timed, warn, "修改失败!错误码:0x35 ", false, 210, -1, "", L::Hide, false);
    row("19 input over", 19, 48, ok, B::Timed, warn, "输入量地址超限,设置失败!", false, 210, -1, "", L::Hide, false);
    row("19 success logs", 19, -1, ok, B::Timed, note, "修改从站配置成功!", true, 210, 0, "自动配置地址完成!", L::Hide, false);
    row("20 stored", 20, -1, ok, B::Timed, warn, "保存组态成功! 主站已重启,请重新链接", true, 300, -1, "", L::Hide, true);
    row("22 outputs", 22, 2, ok, B::Timed, warn, "输出量地址冲突，强制启动失败! ", false, 210, -1, "", L::Hide, false);
    row("22 inputs", 22, 1, ok, B::Timed, warn, "输入量地址冲突，强制启动失败! ", false, 210, -1, "", L::Hide, false);
    row("24 no answer", 24, -1, ok, B::Timed, warn, "TARNBUS通信中断,请检查USB! ", false, 300, -1, "", L::Hide, true);
    row("25 back", 25, -1, ok, B::None, "", "", false, 0, 3, "TarnBUS重新链接!", L::Show, false);
    row("25 lost", 25, -2, ok, B::None, "", "", false, 0, 1, "TarnBUS链接断开!", L::Hide, true);
    row("25 other", 25, 3, ok, B::Timed, warn, "TarnBUS链接断开!", false, 210, 1, "TarnBUS链接断开!", L::Hide, true);
    row("27 not linked, silent", 27, -2, ok, B::None, "", "", false, 0, -1, "", L::Hide, false);
    row("27 other", 27, 1, ok, B::Timed, warn, "TARNBUS通信中断,操作失败!", false, 210, 2, "TARNBUS通信中断,操作失败!", L::Hide, true);
    row("28 crc", 28, 20, ok, B::Timed, warn, "TARNBUS通信,CRC校验错误！", false, 210, 2, "TARNBUS通信,CRC校验错误！", L::Hide, true);
    row("28 check", 28, 22, ok, B::Timed, warn, "TARNBUS通信,操作指令校验错误！", false, 210, 2, "TARNBUS通信,操作指令校验错误！", L::Hide, false);
    row("28 time-out", 28, 23, ok, B::Timed, warn, "TarnBUS通信超时！", false, 210, 2, "TarnBUS通信超时！", L::Hide, false);
    row("28 reply error", 28, 25, ok, B::Timed, warn, "TarnBUS通信,CRC校验错误！", false, 210, 2, "TarnBUS通信,CRC校验错误！", L::Hide, false);
    row("28 ok is nothing", 28, 27, ok, B::None, "", "", false, 0, -1, "", L::Hide, false);
    row("28 poll lost the link", 28, 0, COMM_NOT_CONNECTED, B::Timed, warn, "TarnBUS通信中断!", false, 210, -1, "", L::Hide, true);
    row("28 store restarting", 28, 23, COMM_NO_DATA, B::Timed, warn, "操作失败！TARNBUS主站重启中，请稍后...", false, 210, 2, "操作失败！TARNBUS主站重启中，请稍后...", L::Hide, true);
    row("29 no data", 29, 23, ok, B::Timed, warn, "TarnBUS通信失败,数据丢失！", false, 210, 2, "TarnBUS通信失败,数据丢失！", L::Hide, false);
    row("30 station", 30, 0, ok, B::Timed, warn, "站号不可大于128,请重新设置。", false, 210, -1, "", L::Hide, false);
    row("31", 31, 0, ok, B::Timed, warn, "TARNBUS通信失败!", false, 300, 2, "TARNBUS通信失败!", L::Hide, false);
    row("32", 32, 0, ok, B::Timed, warn, "TARNBUS通信超时!", false, 300, 2, "TARNBUS通信超时!", L::Hide, false);
    row("34 no usb", 34, 0, ok, B::Timed, warn, "USB未连接,无法读写!", false, 300, -1, "", L::Hide, false);
    row("34 type", 34, 1, ok, B::Timed, warn, "当前站号配置类型与实际类型不相同! ", false, 300, -1, "", L::Hide, false);
    row("34 other", 34, 5, ok, B::Timed, warn, "error ", false, 300, -1, "", L::Hide, false);
    // Type 16: the batch download and the settings write.
    row("16/0 start", 16, 0, ok, B::None, "", "", false, 0, 0, "开始下载CSV文件配置到适配器", L::Show, false);
    row("16/1", 16, 1, ok, B::Timed, warn, "从站地址冲突,设置失败!", false, 250, -1, "", L::Hide, false);
    row("16/2 summary", 16, 2, ok, B::None, "", "", false, 0, 0, "TB下载配置完成！", L::Hide, false);
    row("16/3 step", 16, 3, ok, B::None, "", "", false, 0, -1, "", L::AdvanceConfig, false);
    row("16/4 link", 16, 4, ok, B::Timed, note, "设备链接异常，TB下载配置失败！", false, 250, 0, "TB下载配置失败！", L::Hide, false);
    row("16/16", 16, 16, ok, B::Timed, warn, "输入量地址冲突,设置失败!", false, 250, -1, "", L::Hide, false);
    row("16/32", 16, 32, ok, B::Timed, warn, "输出量地址冲突,设置失败!", false, 250, -1, "", L::Hide, false);
    row("16/64", 16, 64, ok, B::Timed, warn, "参数错误,设置失败!", false, 250, -1, "", L::Hide, false);
    row("16/240 configuring", 16, -16, ok, B::Timed, note, "参数配置中，请稍后!", true, 280, -1, "", L::Hide, false);
    row("16/241 forced", 16, -15, ok, B::Timed, warn, "强制状态不可操作!", false, 210, -1, "", L::Hide, false);
    row("16/242 done", 16, -14, ok, B::Timed, note, "TB配置修改成功!", true, 280, -1, "", L::Hide, false);
    row("16/255 station", 16, -1, ok, B::None, "", "", false, 0, 0, "配置站点 7 成功！", L::Hide, false);
    row("16/other", 16, 0x41, ok, B::Timed, warn, "修改失败!错误码:0x41  ", false, 250, -1, "", L::Hide, false);
    row("35 refused", 35, 1, ok, B::About, note, "地址冲突,下载配置失败!", true, 210, -1, "", L::Hide, false);
}

void TestManagerNotices::table()
{
    QFETCH(int, type);
    QFETCH(int, err);
    QFETCH(int, status);
    QFETCH(ManagerNotice::Box, box);
    QFETCH(QString, title);
    QFETCH(QString, text);
    QFETCH(bool, information);
    QFETCH(int, width);
    QFETCH(int, logLevel);
    QFETCH(QString, logText);
    QFETCH(ManagerNotice::LoadingAction, loading);
    QFETCH(bool, statusReset);

    const ManagerNotice n = noticeForResult(adapter_message_type(type), char(err), 7, COMM_STATUS_TYPE(status));
    QCOMPARE(n.box, box);
    if (box != ManagerNotice::Box::None) {
        QCOMPARE(n.title, title);
        QCOMPARE(n.text, text);
        QCOMPARE(n.information, information);
        QCOMPARE(n.width, width);
    }
    QCOMPARE(n.logLevel, logLevel);
    if (logLevel >= 0)
        QCOMPARE(n.logText, logText);
    QCOMPARE(n.loading, loading);
    QCOMPARE(n.statusReset, statusReset);
    if (type == 16 && err == -16)
        QCOMPARE(n.timeoutMs, 5900);
}

QTEST_GUILESS_MAIN(TestManagerNotices)
#include "tst_manager_notices.moc"
