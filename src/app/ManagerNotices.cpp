#include "ManagerNotices.h"

#include <QCoreApplication>

#include <iterator>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("AdapterManage", text);
}

// Levels of the message list.
constexpr int kNone = 0;
constexpr int kError = 1;
constexpr int kWaring = 2;
constexpr int kInform = 3;

ManagerNotice box(const QString &text, int width, bool information = false, const QString &title = QString())
{
    ManagerNotice n;
    n.box = ManagerNotice::Box::Timed;
    n.text = text;
    n.width = width;
    n.information = information;
    n.title = title.isEmpty() ? tr("警告") : title;
    return n;
}

ManagerNotice logged(ManagerNotice n, int level, const QString &text)
{
    n.logLevel = level;
    n.logText = text;
    return n;
}

ManagerNotice logAndBox(int level, const QString &text, int width)
{
    return logged(box(text, width), level, text);
}

QString unknownCode(quint8 code, int blanks)
{
    return tr("修改失败!错误码:0x") + QString::number(code, 16) + QString(blanks, QLatin1Char(' '));
}

// Type 11: why force mode could not start; the lowest set bit wins.
ManagerNotice forceStartFailed(quint8 err)
{
    if (err & 0x01)
        return box(tr("TARNBUS控制器错误,强制启动失败!"), 300);
    if (err & 0x02)
        return box(tr("短路/欠压,强制启动失败!"), 300);
    if (err & 0x04)
        return box(tr("从站存在异常,强制启动失败!"), 300);
    return box(tr("从站存地址冲突,强制启动失败! "), 300);
}

// Type 28: a transaction failed. Its COMM_STATUS_TYPE travels as the status
// argument where the Adapter names one (a poll: not connected; a store: the
// adapter restarting), and as err otherwise.
ManagerNotice transactionFailed(quint8 err, COMM_STATUS_TYPE status)
{
    const int code = status != COMM_OK ? int(status) : int(err);
    ManagerNotice n;
    switch (code) {
    case COMM_CRC_ERROR:
        n = logAndBox(kWaring, tr("TARNBUS通信,CRC校验错误！"), 210);
        n.statusReset = true;
        return n;
    case COMM_CHECK_ERROR:
        return logAndBox(kWaring, tr("TARNBUS通信,操作指令校验错误！"), 210);
    case COMM_TIMEOUT:
        return logAndBox(kWaring, tr("TarnBUS通信超时！"), 210);
    case COMM_OK:
        return n;
    case COMM_NOT_CONNECTED:
        n = box(tr("TarnBUS通信中断!"), 210);
        n.statusReset = true;
        return n;
    case COMM_NO_DATA:
        n = logAndBox(kWaring, tr("操作失败！TARNBUS主站重启中，请稍后..."), 210);
        n.statusReset = true;
        return n;
    default:
        return logAndBox(kWaring, tr("TarnBUS通信,CRC校验错误！"), 210);
    }
}

// Type 16: the batch download of a configuration and the settings write.
ManagerNotice batchProgress(quint8 err, int sid)
{
    ManagerNotice n;
    switch (err) {
    case 0:
        n.loading = ManagerNotice::LoadingAction::Show;
        return logged(n, kNone, tr("开始下载CSV文件配置到适配器"));
    case 1:
        n = box(tr("从站地址冲突,设置失败!"), 250);
        break;
    case 2:
        n.batchSummary = true;
        return logged(n, kNone, tr("TB下载配置完成！"));
    case 3:
        n.loading = ManagerNotice::LoadingAction::AdvanceConfig;
        return n;
    case 4:
        n = logged(box(tr("设备链接异常，TB下载配置失败！"), 250, false, tr("提示")), kNone, tr("TB下载配置失败！"));
        return n;
    case 16:
        n = box(tr("输入量地址冲突,设置失败!"), 250);
        break;
    case 32:
        n = box(tr("输出量地址冲突,设置失败!"), 250);
        break;
    case 64:
        n = box(tr("参数错误,设置失败!"), 250);
        break;
    case 240:
        n = box(tr("参数配置中，请稍后!"), 280, true, tr("提示"));
        n.timeoutMs = 5900;
        break;
    case 241:
        n = box(tr("强制状态不可操作!"), 210);
        break;
    case 242:
        n = box(tr("TB配置修改成功!"), 280, true, tr("提示"));
        break;
    case 255:
        n = logged(n, kNone, tr("配置站点 %1 成功！").arg(sid));
        break;
    default:
        n = box(unknownCode(err, 2), 250);
        break;
    }
    n.loading = ManagerNotice::LoadingAction::Hide;
    return n;
}

ManagerNotice resultBox(const QString &text, quint8 code)
{
    const bool done = code >= 254;
    return box(text, 210, done, done ? tr("提示") : QString());
}

} // namespace

namespace {
struct CodeText {
    quint8 code;
    const char *text;
};

QString codeText(quint8 code, const CodeText *table, size_t size)
{
    for (size_t i = 0; i < size; ++i) {
        if (table[i].code == code)
            return tr(table[i].text);
    }
    return unknownCode(code, 1);
}
} // namespace

QString slaveResultText(quint8 code)
{
    static const CodeText kTable[] = {
        {0, "从站不在线!"},         {1, "从站站号冲突,设置失败!"}, {2, "从站地址冲突,设置失败!"},
        {4, "强制状态，不可点灯!"}, {49, "输入量地址冲突!"},       {50, "输出量地址冲突!"},
        {64, "通信异常,设置失败!"}, {254, "组态匹配完成!"},        {255, "修改从站配置成功!"},
    };
    return codeText(code, kTable, std::size(kTable));
}

QString addressResultText(quint8 code)
{
    static const CodeText kTable[] = {
        {0, "从站不在线!"},
        {1, "从站地址冲突,设置失败!"},
        {16, "输入量地址冲突,设置失败!"},
        {32, "输出量地址冲突,设置失败!"},
        {48, "输入量地址超限,设置失败!"},
        {49, "输出量地址超限,设置失败!"},
        {64, "参数错误,设置失败!"},
        {254, "组态匹配完成!"},
        {255, "修改从站配置成功!"},
    };
    return codeText(code, kTable, std::size(kTable));
}

ManagerNotice noticeForResult(adapter_message_type type, char err, int sid, COMM_STATUS_TYPE status)
{
    const quint8 code = quint8(err);
    ManagerNotice n;
    switch (type) {
    case MSG_LIST_CHANGED:
        n.forceOff = true;
        break;
    case MSG_CONFIG_MODE_FAILED:
        n = box(tr("TARNBUS进入配置模式失败! "), 280);
        break;
    case MSG_FORCE_START_FAILED:
        n = forceStartFailed(code);
        break;
    case MSG_EMPTY_CONFIG:
        n = box(tr("配置失败，设备数量不可为空！"), 300);
        break;
    case MSG_SLAVE_CONFIG_RESULT:
        n = resultBox(slaveResultText(code), code);
        break;
    case MSG_ADDRESS_CONFIG_RESULT:
        n = resultBox(addressResultText(code), code);
        if (code >= 254)
            n = logged(n, kNone, tr("自动配置地址完成!"));
        break;
    case MSG_CONFIG_STORED:
        n = box(tr("保存组态成功! 主站已重启,请重新链接"), 300, true);
        n.statusReset = true;
        break;
    case MSG_FORCE_ADDRESS_CONFLICT:
        n = box(code == 2 ? tr("输出量地址冲突，强制启动失败! ") : tr("输入量地址冲突，强制启动失败! "), 210);
        break;
    case MSG_NO_HANDSHAKE:
        n = box(tr("TARNBUS通信中断,请检查USB! "), 300);
        n.statusReset = true;
        break;
    case MSG_USB_STATE:
        if (err == -1) {
            n = logged(n, kInform, tr("TarnBUS重新链接!"));
            n.forceOff = true;
            n.loading = ManagerNotice::LoadingAction::Show;
        } else if (err == -2) {
            // The link has gone: said in the list, and the panel shows it.
            n = logged(n, kError, tr("TarnBUS链接断开!"));
            n.statusReset = true;
        } else {
            n = logAndBox(kError, tr("TarnBUS链接断开!"), 210);
            n.statusReset = true;
        }
        break;
    case MSG_NOT_LINKED:
        if (err != -2) {
            n = logAndBox(kWaring, tr("TARNBUS通信中断,操作失败!"), 210);
            n.statusReset = true;
        }
        break;
    case MSG_TRANSACTION_FAILED:
        n = transactionFailed(code, status);
        break;
    case MSG_NO_REPLY_DATA:
        n = logAndBox(kWaring, tr("TarnBUS通信失败,数据丢失！"), 210);
        break;
    case MSG_STATION_TOO_HIGH:
        n = box(tr("站号不可大于128,请重新设置。"), 210);
        break;
    case MSG_COMM_FAILED:
        n = logAndBox(kWaring, tr("TARNBUS通信失败!"), 300);
        break;
    case MSG_COMM_TIMEOUT:
        n = logAndBox(kWaring, tr("TARNBUS通信超时!"), 300);
        break;
    case MSG_USB_CHECK:
        n = box(code == 0 ? tr("USB未连接,无法读写!") : code == 1 ? tr("当前站号配置类型与实际类型不相同! ") : tr("error "), 300);
        break;
    case MSG_BATCH_CONFIG:
        return batchProgress(code, sid);
    case MSG_DOWNLOAD_DONE:
        n.downloadDone = true;
        break;
    case MSG_DOWNLOAD_REFUSED:
        n = box(tr("地址冲突,下载配置失败!"), 210, true, tr("提示"));
        n.box = ManagerNotice::Box::About;
        n.downloadRefused = true;
        break;
    default:
        break;
    }
    return n;
}
