#include "ResultMessages.h"

#include "Adapter.h"
#include "ResultCodes.h"

#include <QCoreApplication>

namespace appcore {

namespace {

// The texts are the adapter manager's; they translate in its context.
// tr() of the context "AdapterManage", so that lupdate files the texts there.
struct Texts
{
    Q_DECLARE_TR_FUNCTIONS(AdapterManage)
};

constexpr int kNarrow = 210;
constexpr int kMedium = 250;
constexpr int kWide = 280;
constexpr int kWidest = 300;
constexpr int kSettingsBoxCloseMs = 5900;

// Codes of the one-slave and address results that mean success.
constexpr int kMatched = 254;
constexpr int kConfigured = 255;

QString warningTitle()
{
    return Texts::tr("警告");
}

QString noticeTitle()
{
    return Texts::tr("提示");
}

// Every result text begins as a warning box of the given width.
ResultMessage warning(const QString &text, int width)
{
    ResultMessage m;
    m.boxText = text;
    m.boxTitle = warningTitle();
    m.icon = MessageIcon::Warning;
    m.boxWidth = width;
    return m;
}

ResultMessage information(const QString &text, int width)
{
    ResultMessage m = warning(text, width);
    m.boxTitle = noticeTitle();
    m.icon = MessageIcon::Information;
    return m;
}

// The same text as a box and as a message-list line.
ResultMessage loggedWarning(const QString &text, int width, MessageLevel level = MessageLevel::Waring)
{
    ResultMessage m = warning(text, width);
    m.logText = text;
    m.level = level;
    return m;
}

ResultMessage logOnly(const QString &text, MessageLevel level)
{
    ResultMessage m;
    m.logText = text;
    m.level = level;
    return m;
}

QString failedWithCode(int code, const char *blanks)
{
    return Texts::tr("修改失败!错误码:0x") + QString::number(code, 16) + QLatin1String(blanks);
}

// Table 1: the result of one slave's configuration.
ResultMessage slaveConfigResult(int code)
{
    switch (code) {
    case 0:
        return warning(Texts::tr("从站不在线!"), kNarrow);
    case 1:
        return warning(Texts::tr("从站站号冲突,设置失败!"), kNarrow);
    case 2:
        return warning(Texts::tr("从站地址冲突,设置失败!"), kNarrow);
    case 4:
        return warning(Texts::tr("强制状态，不可点灯!"), kNarrow);
    case 49:
        return warning(Texts::tr("输入量地址冲突!"), kNarrow);
    case 50:
        return warning(Texts::tr("输出量地址冲突!"), kNarrow);
    case 64:
        return warning(Texts::tr("通信异常,设置失败!"), kNarrow);
    case kMatched:
        return information(Texts::tr("组态匹配完成!"), kNarrow);
    case kConfigured:
        return information(Texts::tr("修改从站配置成功!"), kNarrow);
    default:
        return warning(failedWithCode(code, " "), kNarrow);
    }
}

// Table 2: the result of an address operation.
ResultMessage addressConfigResult(int code)
{
    ResultMessage m;
    switch (code) {
    case 0:
        m = warning(Texts::tr("从站不在线!"), kNarrow);
        break;
    case 1:
        m = warning(Texts::tr("从站地址冲突,设置失败!"), kNarrow);
        break;
    case 16:
        m = warning(Texts::tr("输入量地址冲突,设置失败!"), kNarrow);
        break;
    case 32:
        m = warning(Texts::tr("输出量地址冲突,设置失败!"), kNarrow);
        break;
    case 48:
        m = warning(Texts::tr("输入量地址超限,设置失败!"), kNarrow);
        break;
    case 49:
        m = warning(Texts::tr("输出量地址超限,设置失败!"), kNarrow);
        break;
    case 64:
        m = warning(Texts::tr("参数错误,设置失败!"), kNarrow);
        break;
    default:
        m = slaveConfigResult(code);
        break;
    }
    if (code >= kMatched) {
        m.logText = Texts::tr("自动配置地址完成!");
        m.level = MessageLevel::None;
    }
    return m;
}

// Table 3: the batch download of a configuration and the settings write.
ResultMessage batchConfigResult(int code, int sid)
{
    ResultMessage m;
    switch (code) {
    case 0:
        m = logOnly(Texts::tr("开始下载CSV文件配置到适配器"), MessageLevel::None);
        m.loading = LoadingStep::Show;
        return m;
    case 1:
        m = warning(Texts::tr("从站地址冲突,设置失败!"), kMedium);
        break;
    case 2:
        m = logOnly(Texts::tr("TB下载配置完成！"), MessageLevel::None);
        m.showConfigurationSummary = true;
        return m;
    case 3:
        m.loading = LoadingStep::Advance;
        m.loadingText = Texts::tr("正在设置第%1个从站,请稍后！").arg(sid);
        return m;
    case 4:
        m = warning(Texts::tr("设备链接异常，TB下载配置失败！"), kMedium);
        m.boxTitle = noticeTitle();
        m.logText = Texts::tr("TB下载配置失败！");
        m.level = MessageLevel::None;
        return m;
    case 16:
        m = warning(Texts::tr("输入量地址冲突,设置失败!"), kMedium);
        break;
    case 32:
        m = warning(Texts::tr("输出量地址冲突,设置失败!"), kMedium);
        break;
    case 64:
        m = warning(Texts::tr("参数错误,设置失败!"), kMedium);
        break;
    case 240:
        m = information(Texts::tr("参数配置中，请稍后!"), kWide);
        m.icon = MessageIcon::Progress;
        m.boxCloseMs = kSettingsBoxCloseMs;
        break;
    case 241:
        m = warning(Texts::tr("强制状态不可操作!"), kNarrow);
        break;
    case 242:
        m = information(Texts::tr("TB配置修改成功!"), kWide);
        break;
    case 255:
        m = logOnly(Texts::tr("配置站点 %1 成功！").arg(sid), MessageLevel::None);
        break;
    default:
        m = warning(failedWithCode(code, "  "), kMedium);
        break;
    }
    return m;
}

// A failed transaction. The Adapter puts the link result in err, and in
// status when it wants to say more than the exchange did (a poll that lost
// the link, a store that restarts the adapter): status wins when it is set.
ResultMessage transactionFailed(int err, COMM_STATUS_TYPE status)
{
    const int result = status != COMM_OK ? int(status) : err;
    ResultMessage m;
    switch (result) {
    case COMM_CRC_ERROR:
        m = loggedWarning(Texts::tr("TARNBUS通信,CRC校验错误！"), kNarrow);
        m.resetStatusPanel = true;
        break;
    case COMM_CHECK_ERROR:
        m = loggedWarning(Texts::tr("TARNBUS通信,操作指令校验错误！"), kNarrow);
        break;
    case COMM_TIMEOUT:
        m = loggedWarning(Texts::tr("TarnBUS通信超时！"), kNarrow);
        break;
    case COMM_OK:
        break;
    case COMM_NOT_CONNECTED:
        m = warning(Texts::tr("TarnBUS通信中断!"), kNarrow);
        m.resetStatusPanel = true;
        break;
    case COMM_NO_DATA:
        m = loggedWarning(Texts::tr("操作失败！TARNBUS主站重启中，请稍后..."), kNarrow);
        m.resetStatusPanel = true;
        break;
    case COMM_REFUSED:
        m = loggedWarning(Texts::tr("TARNBUS适配器拒绝执行,操作失败!"), kNarrow);
        break;
    default:
        m = loggedWarning(Texts::tr("TarnBUS通信,CRC校验错误！"), kNarrow);
        break;
    }
    return m;
}

// Why an exchange failed, in the words of a failure message.
QString failureReason(COMM_STATUS_TYPE status)
{
    switch (status) {
    case COMM_REFUSED:
        return Texts::tr("适配器拒绝执行");
    case COMM_TIMEOUT:
        return Texts::tr("通信超时");
    case COMM_CRC_ERROR:
        return Texts::tr("CRC校验错误");
    case COMM_CHECK_ERROR:
        return Texts::tr("应答指令校验错误");
    case COMM_NOT_CONNECTED:
        return Texts::tr("链接断开");
    case COMM_REPLY_ERROR:
        return Texts::tr("适配器报告通信错误");
    case COMM_BUSY:
        return Texts::tr("设备忙");
    case COMM_NO_DATA:
        return Texts::tr("无应答数据");
    default:
        return Texts::tr("通信失败");
    }
}

// An operation that failed, in its own words, with the module's station
// where one module's record failed, and the reason.
ResultMessage operationFailed(int operation, int sid, COMM_STATUS_TYPE status)
{
    const QString reason = failureReason(status);
    const auto failed = [&](const QString &what, int width) {
        const QString where = sid > 0 ? Texts::tr("(站号%1)").arg(sid) : QString();
        return loggedWarning(Texts::tr("%1失败%2: %3!").arg(what, where, reason), width);
    };
    switch (operation) {
    case AdapterOperation::ForceOff:
        // The adapter may still be forcing: said plainly, and logged as an error.
        return loggedWarning(Texts::tr("退出强制模式失败: %1! 输出可能仍处于强制状态,请重试。").arg(reason), kWidest,
                             MessageLevel::Error);
    case AdapterOperation::SettingsRead:
        return loggedWarning(Texts::tr("读取适配器参数失败: %1! 参数未知,不可修改。").arg(reason), kWide);
    case AdapterOperation::Store:
        return failed(Texts::tr("保存组态"), kWide);
    case AdapterOperation::SettingsWrite:
        return failed(Texts::tr("修改适配器参数"), kWide);
    case AdapterOperation::Lamp:
        return failed(Texts::tr("点灯"), kNarrow);
    case AdapterOperation::ForceOn:
        return failed(Texts::tr("进入强制模式"), kWide);
    case AdapterOperation::StationChange:
        return failed(Texts::tr("修改从站站号"), kWide);
    case AdapterOperation::AddressChange:
        return failed(Texts::tr("修改从站地址"), kWide);
    case AdapterOperation::ParameterChange:
        return failed(Texts::tr("修改从站参数"), kWide);
    case AdapterOperation::Clear:
        return failed(Texts::tr("清除从站站号"), kWide);
    case AdapterOperation::Download:
        return failed(Texts::tr("下载配置"), kWide);
    case AdapterOperation::Allocation:
        return failed(Texts::tr("自动分配地址"), kWide);
    case AdapterOperation::RepeatedStations:
        return failed(Texts::tr("修复重复站号"), kWide);
    default:
        return failed(Texts::tr("操作"), kWide);
    }
}

ResultMessage forceStartFailed(int code)
{
    if (code & 0x01)
        return warning(Texts::tr("TARNBUS控制器错误,强制启动失败!"), kWidest);
    if (code & 0x02)
        return warning(Texts::tr("短路/欠压,强制启动失败!"), kWidest);
    if (code & 0x04)
        return warning(Texts::tr("从站存在异常,强制启动失败!"), kWidest);
    return warning(Texts::tr("从站存地址冲突,强制启动失败! "), kWidest);
}

ResultMessage usbState(int err)
{
    ResultMessage m;
    if (err == -1) {
        m = logOnly(Texts::tr("TarnBUS重新链接!"), MessageLevel::Inform);
        m.forceIndicatorOff = true;
        m.loading = LoadingStep::Show;
    } else if (err == -2) {
        // The link has gone: said in the message list, and the status
        // panel shows it; the failures that follow bring their own boxes.
        m = logOnly(Texts::tr("TarnBUS链接断开!"), MessageLevel::Error);
        m.resetStatusPanel = true;
    } else {
        m = warning(Texts::tr("TarnBUS链接断开!"), kNarrow);
        m.logText = m.boxText;
        m.level = MessageLevel::Error;
        m.resetStatusPanel = true;
    }
    return m;
}

ResultMessage downloadRefused(int why)
{
    // The download is refused before anything was sent; the manager says
    // why in an about-box.
    ResultMessage m;
    switch (why) {
    case DownloadRefusal::NotLinked:
        m = warning(Texts::tr("TARNBUS通信中断,操作失败!"), kNarrow);
        break;
    case DownloadRefusal::AddressConflict:
        m = warning(Texts::tr("地址冲突,下载配置失败!"), kNarrow);
        break;
    default:
        m = warning(Texts::tr("适配器正忙,下载配置失败!"), kNarrow);
        break;
    }
    m.boxTitle = noticeTitle();
    m.boxCloseMs = 0; // modal until closed
    return m;
}

} // namespace

ResultMessage resultMessage(adapter_message_type type, int err, int sid, COMM_STATUS_TYPE status)
{
    const int code = int(quint8(err));
    const int signedErr = int(qint8(err));
    ResultMessage m;
    switch (type) {
    case MSG_LIST_CHANGED:
        m.forceIndicatorOff = true;
        break;
    case MSG_CONFIG_MODE_FAILED:
        m = warning(Texts::tr("TARNBUS进入配置模式失败! "), kWide);
        break;
    case MSG_FORCE_START_FAILED:
        m = forceStartFailed(code);
        break;
    case MSG_EMPTY_CONFIG:
        m = warning(Texts::tr("配置失败，设备数量不可为空！"), kWidest);
        break;
    case MSG_SLAVE_CONFIG_RESULT:
        m = slaveConfigResult(code);
        break;
    case MSG_ADDRESS_CONFIG_RESULT:
        m = addressConfigResult(code);
        break;
    case MSG_CONFIG_STORED:
        m = information(Texts::tr("保存组态成功! 主站已重启,请重新链接"), kWidest);
        m.boxTitle = warningTitle();
        m.resetStatusPanel = true;
        break;
    case MSG_FORCE_ADDRESS_CONFLICT:
        m = warning(code == 2 ? Texts::tr("输出量地址冲突，强制启动失败! ") : Texts::tr("输入量地址冲突，强制启动失败! "), kNarrow);
        break;
    case MSG_NO_HANDSHAKE:
        m = warning(Texts::tr("TARNBUS通信中断,请检查USB! "), kWidest);
        m.resetStatusPanel = true;
        break;
    case MSG_USB_STATE:
        m = usbState(signedErr);
        break;
    case MSG_NOT_LINKED:
        // The poll asks too while the link is down (-2); only other
        // refusals are shown.
        if (signedErr != -2) {
            m = loggedWarning(Texts::tr("TARNBUS通信中断,操作失败!"), kNarrow);
            m.resetStatusPanel = true;
        }
        break;
    case MSG_TRANSACTION_FAILED:
        m = transactionFailed(signedErr, status);
        break;
    case MSG_NO_REPLY_DATA:
        m = loggedWarning(Texts::tr("TarnBUS通信失败,数据丢失！"), kNarrow);
        break;
    case MSG_STATION_TOO_HIGH:
        m = warning(Texts::tr("站号不可大于128,请重新设置。"), kNarrow);
        break;
    case MSG_COMM_FAILED:
        m = loggedWarning(Texts::tr("TARNBUS通信失败!"), kWidest);
        break;
    case MSG_COMM_TIMEOUT:
        m = loggedWarning(Texts::tr("TARNBUS通信超时!"), kWidest);
        break;
    case MSG_USB_CHECK:
        m = warning(code == 0   ? Texts::tr("USB未连接,无法读写!")
                    : code == 1 ? Texts::tr("当前站号配置类型与实际类型不相同! ")
                                : Texts::tr("error "),
                    kWidest);
        break;
    case MSG_BATCH_CONFIG:
        m = batchConfigResult(code, sid); // leaves Loading as the table says
        m.code = resultCode(type, err, sid, status);
        return m;
    case MSG_DOWNLOAD_REFUSED:
        m = downloadRefused(code);
        break;
    case MSG_OPERATION_FAILED:
        m = operationFailed(code, sid, status);
        break;
    case MSG_SETTINGS_UNKNOWN:
        m = warning(Texts::tr("适配器参数未能读取,不可修改!"), kWide);
        break;
    default:
        break;
    }
    m.code = resultCode(type, err, sid, status);
    return m;
}

ResultMessage openFailedMessage()
{
    ResultMessage m = warning(Texts::tr("串口无法打开,不存在或已被占用"), 0);
    m.boxTitle = noticeTitle();
    m.boxCloseMs = 0;
    m.code = openFailedCode();
    return m;
}

namespace {

ResultMessage importLineText(const CsvImportResult &result)
{
    if (result.ok)
        return logOnly(Texts::tr("站点%1 %2 导入数据成功!").arg(result.station).arg(result.typeText), MessageLevel::Inform);
    if (result.skipped)
        return logOnly(Texts::tr("站点%1 %2 没有站号也没有UID,无法对应从站(只能对应同类型的本地模块),已跳过该行")
                           .arg(result.station)
                           .arg(result.typeText),
                       MessageLevel::Waring);
    return logOnly(Texts::tr("站点%1 %2无匹配类型，导入数据失败!").arg(result.station).arg(result.typeText), MessageLevel::Waring);
}

} // namespace

ResultMessage importLineMessage(const CsvImportResult &result)
{
    ResultMessage m = importLineText(result);
    m.code = importLineCode(result);
    return m;
}

QString storeRefusal(int moduleCount)
{
    if (moduleCount <= Adapter::kMaxSlaves)
        return QString();
    return QCoreApplication::translate("AdapterManage", "送站数量超出128个,不可保存!");
}

QString downloadSkipText(int reason)
{
    switch (reason) {
    case DownloadSkip::NotOnBus:
        return Texts::tr("总线上没有此模块");
    case DownloadSkip::OtherType:
        return Texts::tr("总线上的模块类型不同");
    case DownloadSkip::Undescribed:
        return Texts::tr("没有设备描述");
    default:
        return failureReason(COMM_STATUS_TYPE(reason));
    }
}

QString allocationWarning(int inputBits, int outputBits)
{
    constexpr int kImageBits = 512;
    const bool inputOver = inputBits > kImageBits;
    const bool outputOver = outputBits > kImageBits;
    if (inputOver && outputOver)
        return QCoreApplication::translate("AutoConfigView", "警告:输入(出)超限");
    if (inputOver)
        return QCoreApplication::translate("AutoConfigView", "警告:输入超限");
    if (outputOver)
        return QCoreApplication::translate("AutoConfigView", "警告:输出超限");
    return QString();
}

} // namespace appcore
