// upgrade: the firmware of one or several adapters from an upgrade file.
// The file is checked before any adapter is touched; the chosen adapters'
// versions are read and compared with the file's before anything is
// written; then every adapter is upgraded at once, each in a thread of its
// own, as the upgrade dialog's batch does it.

#include "Commands.h"
#include "Texts.h"
#include "Question.h"
#include "UpgradeBatch.h"

#include "DeviceSearch.h"
#include "UpgradeFile.h"
#include "UpgradeProtocol.h"
#include "LinkTiming.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QJsonObject>
#include <QtEndian>

#include <algorithm>
#include <optional>

using upgradeprotocol::VersionOrder;
using End = UpgradeBatch::End;

namespace {

constexpr int kBarWidth = 30;
constexpr int kPlainProgressStep = 10; // percent between two progress lines off a terminal

// An adapter chosen for the upgrade, as its information request found it.
struct Candidate {
    UsbDeviceInfo device;
    upgradesearch::Reading reading;
    VersionOrder order = VersionOrder::Unreadable;

    QString serial() const { return device.serial_number; }
    QString name() const { return reading.info.type; }
    // "TBC-U100 (MAC:3C2E0A000011)", as the dialog names a device.
    QString title() const { return QStringLiteral("%1 (MAC:%2)").arg(name(), serial()); }
};

// The upgrade dialog's own words (its Chinese, in the language chosen)
// begin the messages; the tool's explanation follows in brackets.
QString interruptedText(const Candidate &c)
{
    return QCoreApplication::translate("FirmwareBurning", "%1 (MAC:%2) 升级中断。").arg(c.name(), c.serial());
}

QString dashesIfEmpty(const QString &text)
{
    return text.isEmpty() ? QStringLiteral("-") : text;
}

// Reads and checks the file; the error names the file and the problem.
std::optional<CliError> loadFile(const QString &path, UpgradeFile &file)
{
    QFile in(path);
    QByteArray content;
    QString problem;
    if (!in.open(QIODevice::ReadOnly)) {
        problem = Texts::tr("cannot be read: %1").arg(in.errorString());
    } else {
        content = in.readAll();
        if (in.error() != QFileDevice::NoError)
            problem = Texts::tr("cannot be read: %1").arg(in.errorString());
    }
    const auto declared = [&content] {
        return qFromLittleEndian<quint32>(content.constData() + UpgradeFile::kBodyLengthOffset);
    };
    const qint64 body = content.size() - UpgradeFile::kHeaderSize;
    switch (problem.isEmpty() ? file.check(content) : UpgradeFile::Unreadable) {
    case UpgradeFile::Valid:
        return std::nullopt;
    case UpgradeFile::Unreadable:
        break;
    case UpgradeFile::TooShort:
        problem = Texts::tr("%1 bytes, shorter than the %2-byte header").arg(content.size()).arg(UpgradeFile::kHeaderSize);
        break;
    case UpgradeFile::HeaderCrcWrong:
        problem = Texts::tr("the header's CRC-32 does not match the header");
        break;
    case UpgradeFile::BodyTooShort:
        problem = Texts::tr("the header declares a body of %1 bytes, the file holds %2").arg(declared()).arg(body);
        break;
    case UpgradeFile::TrailingBytes:
        problem = Texts::tr("%1 bytes follow the %2-byte body the header declares").arg(body - declared()).arg(declared());
        break;
    case UpgradeFile::BodyCrcWrong:
        problem = Texts::tr("the body's CRC-32 does not match the body");
        break;
    }
    CliError error = CliError::usage(QCoreApplication::translate("FirmwareBurning", "非法的升级文件! ") + problem);
    error.file = path;
    return error;
}

void showFile(Context &ctx, const QString &path, const UpgradeFile &file)
{
    const int blocks = int(file.blocks().size());
    if (ctx.output.json()) {
        ctx.output.event(QJsonObject{{QStringLiteral("event"), QStringLiteral("file")},
                                     {QStringLiteral("file"), path},
                                     {QStringLiteral("category"), file.category()},
                                     {QStringLiteral("version"), file.version()},
                                     {QStringLiteral("size"), file.fileSize()},
                                     {QStringLiteral("blocks"), blocks}});
        return;
    }
    ctx.output.table({{Texts::tr("file"), path},
                      {Texts::tr("category"), dashesIfEmpty(file.category())},
                      {Texts::tr("version"), dashesIfEmpty(file.version())},
                      {Texts::tr("size"), Texts::tr("%1 bytes, %2 blocks").arg(file.fileSize()).arg(blocks)}});
    ctx.output.line(QString());
}

QString orderText(const Candidate &c)
{
    if (c.reading.result == upgradesearch::Reading::NotOpened)
        return QStringLiteral("busy");
    if (c.reading.result == upgradesearch::Reading::NoAnswer)
        return QStringLiteral("no answer");
    switch (c.order) {
    case VersionOrder::PackageHigher:
        return QStringLiteral("newer");
    case VersionOrder::Equal:
        return QStringLiteral("same");
    case VersionOrder::PackageLower:
        return QStringLiteral("older");
    case VersionOrder::Unreadable:
        break;
    }
    return QStringLiteral("unknown");
}

// orderText on a terminal (JSON keeps its words).
QString orderWord(const Candidate &c)
{
    if (c.reading.result == upgradesearch::Reading::NotOpened)
        return Texts::tr("busy");
    if (c.reading.result == upgradesearch::Reading::NoAnswer)
        return Texts::tr("no answer");
    switch (c.order) {
    case VersionOrder::PackageHigher:
        return Texts::tr("newer");
    case VersionOrder::Equal:
        return Texts::tr("same");
    case VersionOrder::PackageLower:
        return Texts::tr("older");
    case VersionOrder::Unreadable:
        break;
    }
    return Texts::tr("unknown");
}

void showCandidates(Context &ctx, const QList<Candidate> &candidates)
{
    QList<QStringList> rows{{Texts::tr("SERIAL"), Texts::tr("TYPE"), Texts::tr("HARDWARE"), Texts::tr("BOOT"), Texts::tr("APP"),
                             Texts::tr("FILE")}};
    for (const Candidate &c : candidates) {
        const bool answered = c.reading.result == upgradesearch::Reading::Answered;
        const upgradeprotocol::DeviceInfo &info = c.reading.info;
        if (ctx.output.json()) {
            QJsonObject object{{QStringLiteral("event"), QStringLiteral("adapter")},
                               {QStringLiteral("serial"), c.serial()},
                               {QStringLiteral("file"), orderText(c)}};
            if (answered) {
                object.insert(QStringLiteral("type"), info.type);
                object.insert(QStringLiteral("hardware"), info.hardware);
                object.insert(QStringLiteral("boot"), info.bootVersion);
                object.insert(QStringLiteral("app"), info.appVersion);
            }
            ctx.output.event(object);
            continue;
        }
        rows.append(answered ? QStringList{c.serial(), dashesIfEmpty(info.type), QString::number(info.hardware),
                                           dashesIfEmpty(info.bootVersion), dashesIfEmpty(info.appVersion), orderWord(c)}
                             : QStringList{c.serial(), QStringLiteral("?"), QStringLiteral("-"), QStringLiteral("-"),
                                           QStringLiteral("-"), orderWord(c)});
    }
    if (!ctx.output.json()) {
        ctx.output.table(rows);
        ctx.output.line(QString());
    }
}

// Why an adapter cannot be upgraded at all; empty when it can.
QString obstacle(const Candidate &c)
{
    switch (c.reading.result) {
    case upgradesearch::Reading::NotOpened:
        return Texts::tr("%1 cannot be opened: it is busy, open in the window or another program (or just gone "
                         "from USB); close it there and try again")
            .arg(c.serial());
    case upgradesearch::Reading::NoAnswer:
        return Texts::tr("%1 (%2 did not answer the device information request)")
            .arg(QCoreApplication::translate("FirmwareBurning", "设备信息异常,无法生升级! "), c.serial());
    case upgradesearch::Reading::Answered:
        break;
    }
    if (c.order == VersionOrder::Unreadable)
        return Texts::tr("%1 (%2 reports the App version \"%3\")")
            .arg(QCoreApplication::translate("FirmwareBurning", "设备信息异常,无法生升级! "), c.serial(), c.reading.info.appVersion);
    return QString();
}

// The dialog's question before the same version or a downgrade; empty when
// the file is newer.
QString versionQuestion(VersionOrder order)
{
    switch (order) {
    case VersionOrder::Equal:
        return QCoreApplication::translate("FirmwareBurning", "升级包版本与设备版本一致,是否选择升级! ");
    case VersionOrder::PackageLower:
        return QCoreApplication::translate("FirmwareBurning", "升级包版本过低是否选择升级! ");
    default:
        return QString();
    }
}

// The tool's message for an upgrade that ended without success, in the
// dialog's words and with what kind of failure it was.
QString failureText(const Candidate &c, const UpgradeBatch::Upgrade &upgrade)
{
    // Once the transfer has begun the old application is gone.
    const QString stays = upgrade.begun && !upgrade.written
        ? Texts::tr("; the adapter stays in its boot loader until it is upgraded again")
        : QString();
    switch (upgrade.end) {
    case End::ConnectFailed:
        return Texts::tr("%1: %2 (cannot open it: busy in the window or another program, or gone from USB)")
            .arg(c.serial(), QCoreApplication::translate("FirmwareBurning", "链接设备失败,请检查USB是否链接! "));
    case End::EnterRefused:
        return Texts::tr("%1: %2 (refused or not answered; an adapter the window or another program has open is busy)")
            .arg(c.serial(), QCoreApplication::translate("FirmwareBurning", "进入升级模式失败! "));
    case End::BurnRefused:
        return Texts::tr("%1: %2 (refused)").arg(c.serial(), QCoreApplication::translate("FirmwareBurning", "开始烧写失败! "));
    case End::Failed:
        return Texts::tr("%1 (refused or not acknowledged%2)")
            .arg(QCoreApplication::translate("FirmwareBurning", "  设备%1(MAC:%2),升级失败  ").arg(c.name(), c.serial()), stays);
    case End::Broken:
        return Texts::tr("%1 (link lost%2)").arg(interruptedText(c), stays);
    case End::WrongVersion:
        return Texts::tr("%1 (%2 came back with App %3 instead of the file's %4)")
            .arg(QCoreApplication::translate("FirmwareBurning", "  设备%1(MAC:%2)重启后的版本为%3,不是升级包的版本%4,升级失败  ")
                     .arg(c.name(), c.serial(), upgrade.appVersion, dashesIfEmpty(upgrade.fileVersion)),
                 c.serial(), upgrade.appVersion, dashesIfEmpty(upgrade.fileVersion));
    case End::NotBack:
    {
        const QString seconds = QString::number((upgrade.waitedMs + 999) / 1000);
        return Texts::tr("%1 (%2 was not back on USB, answering, within %3 s of its restart; the version it runs is unknown)")
            .arg(QCoreApplication::translate("FirmwareBurning", "  设备%1(MAC:%2)重启后%3秒内未重新连接,无法读取版本,升级失败  ")
                     .arg(c.name(), c.serial(), seconds),
                 c.serial(), seconds);
    }
    default:
        return QString();
    }
}

// An upgrade the user stopped: its worker ended it as an interrupted exchange.
bool wasCancelled(const UpgradeBatch::Upgrade &upgrade)
{
    return upgrade.cancelled && upgrade.end == End::Broken;
}

// What became of an upgrade the user stopped.
QString cancelledText(const Candidate &c, const UpgradeBatch::Upgrade &upgrade)
{
    if (upgrade.written)
        return Texts::tr("%1 interrupted while it restarts; the new firmware was written").arg(interruptedText(c));
    if (upgrade.begun)
        return Texts::tr("%1 interrupted; the adapter stays in its boot loader until it is upgraded again").arg(interruptedText(c));
    return Texts::tr("%1 interrupted before the transfer began").arg(interruptedText(c));
}

// What the user sees of the running upgrades: a bar per adapter on a
// terminal, plain progress lines otherwise, JSON events with --json.
class UpgradeView
{
public:
    UpgradeView(Context &ctx, const UpgradeBatch &batch, const QList<Candidate> &candidates, const QString &fileVersion)
        : m_ctx(ctx)
        , m_batch(batch)
        , m_candidates(candidates)
        , m_fileVersion(fileVersion)
        , m_shown(candidates.size())
        , m_bars(ctx.output.showsProgress())
    {
    }

    void changed(int index)
    {
        const UpgradeBatch::Upgrade &now = m_batch.upgrades().at(index);
        const Shown before = m_shown.at(index);
        const Candidate &c = m_candidates.at(index);
        m_shown[index] = Shown{now.begun, now.written, now.percent, now.end};
        if (now.begun && !before.begun)
            phase(c, QStringLiteral("begun"), QCoreApplication::translate("FirmwareBurning", "%1 (MAC:%2) 开始升级程序!").arg(c.name(), c.serial()));
        if (now.percent != before.percent)
            progress(c, before.percent, now.percent);
        if (now.written && !before.written)
            phase(c, QStringLiteral("written"), QCoreApplication::translate("FirmwareBurning", "%1 (MAC:%2) 程序写入完成!设备重启中请稍后。").arg(c.name(), c.serial()));
        if (now.end != End::Running && before.end == End::Running)
            ended(c, now);
        if (m_bars)
            drawBars();
    }

    void finish() { m_ctx.output.endProgress(); }

private:
    struct Shown {
        bool begun = false;
        bool written = false;
        int percent = 0;
        End end = End::Running;
    };

    void phase(const Candidate &c, const QString &event, const QString &text)
    {
        if (m_ctx.output.json())
            m_ctx.output.event(QJsonObject{{QStringLiteral("event"), event}, {QStringLiteral("serial"), c.serial()}});
        else
            m_ctx.output.note(text);
    }

    void progress(const Candidate &c, int before, int percent)
    {
        if (m_ctx.output.json()) {
            m_ctx.output.event(QJsonObject{{QStringLiteral("event"), QStringLiteral("progress")},
                                           {QStringLiteral("serial"), c.serial()},
                                           {QStringLiteral("percent"), percent}});
            return;
        }
        // Off a terminal a line every few percent; on one the bars say it.
        const int step = percent / kPlainProgressStep;
        if (!m_bars && step != before / kPlainProgressStep && percent < 100)
            m_ctx.output.note(QStringLiteral("%1: %2%").arg(c.serial()).arg(step * kPlainProgressStep));
    }

    // Each end is told as it happens: the completion as a result, with the
    // version the adapter came back with, a failure or a cancellation as an
    // error.
    void ended(const Candidate &c, const UpgradeBatch::Upgrade &upgrade)
    {
        const bool complete = upgrade.end == End::Complete;
        const bool cancelled = wasCancelled(upgrade);
        const QString message = complete ? QCoreApplication::translate("FirmwareBurning", "%1 (MAC:%2) 程序升级完成!").arg(c.name(), c.serial())
            : cancelled                  ? cancelledText(c, upgrade)
                                         : failureText(c, upgrade);
        const QString version = QStringLiteral("%1: App %2 -> %3").arg(c.serial(), c.reading.info.appVersion, upgrade.appVersion);
        if (m_ctx.output.json() && !upgrade.appVersion.isEmpty())
            m_ctx.output.event(QJsonObject{{QStringLiteral("event"), QStringLiteral("version")},
                                           {QStringLiteral("serial"), c.serial()},
                                           {QStringLiteral("app"), upgrade.appVersion}});
        else if (!complete && !upgrade.appVersion.isEmpty())
            m_ctx.output.line(version);
        if (m_ctx.output.json()) {
            QJsonObject object{{QStringLiteral("event"), complete    ? QStringLiteral("upgraded")
                                                         : cancelled ? QStringLiteral("cancelled")
                                                                     : QStringLiteral("failed")},
                               {QStringLiteral("serial"), c.serial()}};
            if (!complete)
                object.insert(QStringLiteral("message"), message);
            object.insert(QStringLiteral("code"), UpgradeBatch::endCode(upgrade.end, cancelled));
            m_ctx.output.event(object);
        } else if (complete) {
            m_ctx.output.line(message);
            m_ctx.output.line(version);
        }
        // An adapter gives three numbers of a version; more in the file's
        // cannot be told apart.
        if (complete && m_fileVersion.split(QLatin1Char('.')).size() > upgradeprotocol::kDeviceVersionParts)
            m_ctx.output.warn(Texts::tr("%1 reports App %2; the parts of the file's %3 after the third are not "
                                        "shown by an adapter and were not checked")
                                  .arg(c.serial(), upgrade.appVersion, m_fileVersion));
        if (!complete)
            m_ctx.output.fail(CliError::withCode(cancelled ? ExitStatus::Interrupted : ExitStatus::BusFailure,
                                                 UpgradeBatch::endCode(upgrade.end, cancelled), message));
    }

    void drawBars()
    {
        QStringList lines;
        for (int index = 0; index < m_candidates.size(); ++index) {
            const UpgradeBatch::Upgrade &upgrade = m_batch.upgrades().at(index);
            const int filled = upgrade.percent * kBarWidth / 100;
            lines << QStringLiteral("%1  [%2%3] %4%  %5")
                         .arg(m_candidates.at(index).serial(), QString(filled, QLatin1Char('#')),
                              QString(kBarWidth - filled, QLatin1Char('-')))
                         .arg(upgrade.percent, 3)
                         .arg(state(upgrade));
        }
        m_ctx.output.progress(lines);
    }

    static QString state(const UpgradeBatch::Upgrade &upgrade)
    {
        if (upgrade.end == End::Complete)
            return Texts::tr("done");
        if (upgrade.end != End::Running)
            return wasCancelled(upgrade) ? Texts::tr("cancelled") : Texts::tr("failed");
        if (upgrade.cancelled)
            return Texts::tr("cancelling");
        if (upgrade.written)
            return Texts::tr("restarting");
        return upgrade.begun ? Texts::tr("writing") : Texts::tr("starting");
    }

    Context &m_ctx;
    const UpgradeBatch &m_batch;
    const QList<Candidate> &m_candidates;
    const QString m_fileVersion;
    QVector<Shown> m_shown;
    const bool m_bars;
};

// Asks the questions the dialog asks before the same version or a
// downgrade. Nothing is written unless every one is answered yes; the exit
// status when not.
std::optional<int> confirm(Context &ctx, const QList<Candidate> &candidates, const UpgradeFile &file)
{
    // A file for another kind of device is refused, not asked about: a
    // script's --yes does not cover it.
    if (!ctx.parser.isSet(QStringLiteral("any-category"))) {
        bool mismatch = false;
        for (const Candidate &c : candidates) {
            if (upgradeprotocol::categoryFits(file.category(), c.name()))
                continue;
            ctx.output.fail(CliError::usage(
                Texts::tr("%1: %2 (the file is for %3, the adapter is a %4; give --any-category to upgrade it all the same)")
                    .arg(c.serial(),
                         QCoreApplication::translate("FirmwareBurning", "升级包的类别是%1,设备类型是%2,两者不符。")
                             .arg(file.category(), dashesIfEmpty(c.name())),
                         file.category(), dashesIfEmpty(c.name()))));
            mismatch = true;
        }
        if (mismatch) {
            ctx.output.note(Texts::tr("nothing was written to any adapter"));
            return ExitStatus::BadInput;
        }
    }
    const QString fileVersion = file.version();
    if (ctx.parser.isSet(QStringLiteral("yes")))
        return std::nullopt;
    bool unanswered = false;
    for (const Candidate &c : candidates) {
        const QString question = versionQuestion(c.order);
        if (question.isEmpty())
            continue;
        const QString text = Texts::tr("%1 has App %2, the file %3: %4")
                                 .arg(c.title(), c.reading.info.appVersion, dashesIfEmpty(fileVersion), question);
        if (!ctx.inputIsTerminal) {
            ctx.output.fail(CliError::usage(text + Texts::tr(" Standard input is not a terminal to answer on: "
                                                             "give --yes to upgrade all the same")));
            unanswered = true;
            continue;
        }
        switch (question::askYesNo(ctx, text)) {
        case question::Answer::Yes:
            continue;
        case question::Answer::No:
            return ctx.output.fail(CliError::usage(
                Texts::tr("%1 is not to be upgraded; nothing was written to any adapter").arg(c.serial())));
        case question::Answer::Interrupted:
            return ctx.output.fail(CliError::interrupted(Texts::tr("interrupted; nothing was written to any adapter")));
        }
    }
    if (!unanswered)
        return std::nullopt;
    ctx.output.note(Texts::tr("nothing was written to any adapter"));
    return ExitStatus::BadInput;
}

// Runs the upgrades until each has ended; Ctrl-C stops every one that still
// runs. Each counts only once its adapter is back running the file's
// version. The exit status of what they did.
int runUpgrades(Context &ctx, const UpgradeFile &file, const QList<Candidate> &candidates)
{
    QList<UpgradeBatch::Target> targets;
    for (const Candidate &c : candidates)
        targets.append({c.device, c.name()});
    UpgradeBatch batch(file.blocks(), targets);
    UpgradeView view(ctx, batch, candidates, file.version());
    QEventLoop loop;
    batch.changed = [&](int index) {
        view.changed(index);
        if (batch.finished())
            loop.quit();
    };
    ctx.setInterruptHandler([&batch] { batch.cancel(); });
    batch.start();
    if (!batch.finished())
        loop.exec();
    ctx.setInterruptHandler(nullptr);
    view.finish();

    const bool failed = std::any_of(batch.upgrades().cbegin(), batch.upgrades().cend(),
                                    [](const UpgradeBatch::Upgrade &upgrade) { return upgrade.end != End::Complete; });
    if (ctx.interrupted())
        return ExitStatus::Interrupted;
    return failed ? ExitStatus::BusFailure : ExitStatus::Success;
}

} // namespace

namespace commands {

int upgrade(Context &ctx)
{
    const QString path = ctx.arguments.first();
    const bool all = ctx.parser.isSet(QStringLiteral("all"));
    if (all && !ctx.serials.isEmpty())
        return ctx.output.fail(CliError::usage(Texts::tr("--all and --adapter exclude each other")));

    // The file first: a bad one touches no adapter.
    UpgradeFile file;
    if (const std::optional<CliError> error = loadFile(path, file))
        return ctx.output.fail(*error);
    showFile(ctx, path, file);

    const std::variant<QList<UsbDeviceInfo>, CliError> chosen =
        session::chooseAdapters(ctx, all ? session::Choice::All : session::Choice::Several);
    if (const CliError *error = std::get_if<CliError>(&chosen))
        return ctx.output.fail(*error);
    QList<Candidate> candidates;
    const int timeoutMs = tarnbus::linkTiming().upgrade.searchReplyTimeoutMs;
    for (const UsbDeviceInfo &device : std::get<QList<UsbDeviceInfo>>(chosen)) {
        Candidate c{device, upgradesearch::read(device, timeoutMs)};
        if (c.reading.result == upgradesearch::Reading::Answered)
            c.order = upgradeprotocol::compareVersions(file.version(), c.reading.info.appVersion);
        candidates.append(c);
    }
    showCandidates(ctx, candidates);

    // Every adapter must be fit for it before anything is written to any.
    bool unfit = false;
    for (const Candidate &c : candidates) {
        const QString why = obstacle(c);
        if (!why.isEmpty()) {
            ctx.output.fail(CliError::bus(why));
            unfit = true;
        }
    }
    if (unfit) {
        ctx.output.note(Texts::tr("nothing was written to any adapter"));
        return ExitStatus::BusFailure;
    }
    if (const std::optional<int> status = confirm(ctx, candidates, file))
        return *status;
    if (ctx.interrupted())
        return ctx.output.fail(CliError::interrupted(Texts::tr("interrupted; nothing was written to any adapter")));

    return runUpgrades(ctx, file, candidates);
}

} // namespace commands
