#include "IoCheckout.h"

#include "DataFolders.h"
#include "TarnBaseConvert.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>
#include <QHash>
#include <QSet>

namespace appcore::checkout {

namespace {

// tr() of the context "IoCheckout", so that lupdate files the texts there.
struct Texts
{
    Q_DECLARE_TR_FUNCTIONS(IoCheckout)
};

constexpr int kStateVersion = 1;
const QString kTimeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

bool printable(const QByteArray &bytes)
{
    for (char c : bytes) {
        if (c < 0x21 || c > 0x7E)
            return false;
    }
    return !bytes.isEmpty();
}

QString uidOf(const SlaveState &slave)
{
    if (slave.uuid.isEmpty() || slave.uuid.count('\0') == slave.uuid.size())
        return QString();
    return printable(slave.uuid) ? QString::fromLatin1(slave.uuid) : QString::fromLatin1(slave.uuid.toHex().toUpper());
}

bool isDigital(const ItemState &item)
{
    return item.dataType == TarnBase::DataBool || item.bitLength <= 1;
}

int fullScaleOf(const ItemState &item)
{
    if (isDigital(item))
        return 1;
    switch (item.dataType) {
    case TarnBase::DataChar:
        return 0xFF;
    case TarnBase::DataInt:
        return 0x7FFF;
    case TarnBase::DataUInt:
        return 0xFFFF;
    default:
        return item.bitLength >= 31 ? 0x7FFFFFFF : (1 << item.bitLength) - 1;
    }
}

// A module is found again by its UID; one without by where it sits.
QString moduleKey(const QString &uid, int station, bool local)
{
    if (!uid.isEmpty())
        return QStringLiteral("uid:") + uid;
    return local ? QStringLiteral("local") : QStringLiteral("station:%1").arg(station);
}

QString stationKey(int station, bool local)
{
    return local ? QStringLiteral("local") : QStringLiteral("station:%1").arg(station);
}

QString csvField(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n'))
        && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString resultColour(Result result)
{
    switch (result) {
    case Result::Pass:
        return QStringLiteral("#2E7D32");
    case Result::Fail:
        return QStringLiteral("#C62828");
    case Result::Skipped:
        return QStringLiteral("#8D6E00");
    case Result::Open:
        break;
    }
    return QStringLiteral("#555555");
}

QString esc(const QString &text)
{
    return text.toHtmlEscaped();
}

} // namespace

QString resultCode(Result result)
{
    switch (result) {
    case Result::Pass:
        return QStringLiteral("pass");
    case Result::Fail:
        return QStringLiteral("fail");
    case Result::Skipped:
        return QStringLiteral("skipped");
    case Result::Open:
        break;
    }
    return QStringLiteral("open");
}

std::optional<Result> resultFromCode(const QString &code)
{
    for (Result result : {Result::Open, Result::Pass, Result::Fail, Result::Skipped}) {
        if (resultCode(result) == code)
            return result;
    }
    return std::nullopt;
}

QString resultText(Result result)
{
    switch (result) {
    case Result::Pass:
        return Texts::tr("通过");
    case Result::Fail:
        return Texts::tr("失败");
    case Result::Skipped:
        return Texts::tr("跳过");
    case Result::Open:
        break;
    }
    return Texts::tr("未检查");
}

QString directionText(Direction direction)
{
    return direction == Direction::Output ? Texts::tr("输出") : Texts::tr("输入");
}

QString kindText(Kind kind)
{
    return kind == Kind::Analog ? Texts::tr("模拟量") : Texts::tr("数字量");
}

QString Row::key() const
{
    return QStringLiteral("%1/%2/%3")
        .arg(moduleKey(uid, station, local), isOutput() ? QStringLiteral("out") : QStringLiteral("in"))
        .arg(channel);
}

QString Row::channelName() const
{
    return QStringLiteral("%1:%2").arg(uid.isEmpty() || station > 0 ? QString::number(station) : uid).arg(channel);
}

QString Row::addressText() const
{
    if (bitAddress < 0)
        return QStringLiteral("-");
    if (bits <= 1)
        return QStringLiteral("%1 (%2.%3)").arg(bitAddress).arg(bitAddress / 8).arg(bitAddress % 8);
    return QStringLiteral("%1..%2").arg(bitAddress).arg(bitAddress + bits - 1);
}

QString moduleTitle(const ModuleEntry &module)
{
    if (module.local)
        return Texts::tr("本地模块 (%1)").arg(module.module);
    if (module.station == 0)
        return Texts::tr("未设定站号的 %1 (%2)").arg(module.module, module.uid);
    return Texts::tr("站号%1 (%2)").arg(module.station).arg(module.module);
}

void setAdapter(Header &header, const QString &serial, const QList<AdapterInfoItem> &infoItems)
{
    header.serial = serial;
    for (const AdapterInfoItem &item : infoItems) {
        if (item.name == QLatin1String("TBName"))
            header.adapterName = item.text;
        else if (item.name == QLatin1String("HWVersion"))
            header.hardware = item.text;
        else if (item.name == QLatin1String("BootVersion"))
            header.boot = item.text;
        else if (item.name == QLatin1String("APPVersion"))
            header.app = item.text;
    }
}

Checkout Checkout::fromSlaves(const SlaveList &slaves)
{
    Checkout checkout;
    for (const SlaveSnapshot &slave : slaves) {
        if (slave->ioWindow.inputBits == 0 && slave->ioWindow.outputBits == 0)
            continue;
        ModuleEntry entry;
        entry.module = slave->typeName;
        entry.station = slave->stationId;
        entry.local = slave->recordCarriesStation;
        entry.uid = uidOf(*slave);
        bool any = false;
        for (const Direction direction : {Direction::Input, Direction::Output}) {
            const ItemGroupState *group = slave->group(direction == Direction::Input ? Slave::kRxPdo : Slave::kTxPdo);
            if (!group)
                continue;
            for (int i = 0; i < group->items.size(); ++i) {
                const ItemState &item = group->items.at(i);
                // A channel outside the module's area has no place in the image.
                if (!item.hasAddress())
                    continue;
                Row row;
                row.recordId = slave->recordId;
                row.module = entry.module;
                row.station = entry.station;
                row.local = entry.local;
                row.uid = entry.uid;
                row.channel = i;
                row.direction = direction;
                row.kind = isDigital(item) ? Kind::Digital : Kind::Analog;
                row.bitAddress = item.startAddress;
                row.bits = std::max<int>(1, item.bitLength);
                row.fullScale = fullScaleOf(item);
                checkout.rows << row;
                any = true;
            }
        }
        if (any)
            checkout.modules << entry;
    }
    return checkout;
}

Counts Checkout::counts() const
{
    Counts c;
    c.total = rows.size();
    for (const Row &row : rows) {
        switch (row.result) {
        case Result::Pass:
            ++c.pass;
            break;
        case Result::Fail:
            ++c.fail;
            break;
        case Result::Skipped:
            ++c.skipped;
            break;
        case Result::Open:
            ++c.open;
            break;
        }
    }
    return c;
}

QList<int> Checkout::rowsOf(int module) const
{
    QList<int> out;
    if (module < 0 || module >= modules.size())
        return out;
    const ModuleEntry &m = modules.at(module);
    const QString key = moduleKey(m.uid, m.station, m.local);
    for (int i = 0; i < rows.size(); ++i) {
        if (moduleKey(rows.at(i).uid, rows.at(i).station, rows.at(i).local) == key)
            out << i;
    }
    return out;
}

int Checkout::moduleOf(int row) const
{
    if (row < 0 || row >= rows.size())
        return -1;
    const Row &r = rows.at(row);
    const QString key = moduleKey(r.uid, r.station, r.local);
    for (int m = 0; m < modules.size(); ++m) {
        if (moduleKey(modules.at(m).uid, modules.at(m).station, modules.at(m).local) == key)
            return m;
    }
    return -1;
}

int Checkout::nextOpen(int from) const
{
    const int n = rows.size();
    for (int k = 0; k < n; ++k) {
        const int i = ((from < 0 ? 0 : from) + k) % n;
        if (!rows.at(i).isDone())
            return i;
    }
    return -1;
}

QList<QPair<int, int>> Checkout::loops() const
{
    QList<QPair<int, int>> out;
    for (int i = 0; i < rows.size(); ++i) {
        if (rows.at(i).isOutput() && rows.at(i).isLoop())
            out << qMakePair(i, rows.at(i).partner);
    }
    return out;
}

int Checkout::findRow(int station, const QString &uid, Direction direction, int channel) const
{
    for (int i = 0; i < rows.size(); ++i) {
        const Row &row = rows.at(i);
        if (row.direction != direction || row.channel != channel)
            continue;
        if (!uid.isEmpty() ? row.uid.compare(uid, Qt::CaseInsensitive) == 0 : (!row.local && row.station == station))
            return i;
    }
    return -1;
}

void Checkout::record(int row, Result result, const QString &value, const QString &note, const QString &by,
                      const QDateTime &time)
{
    if (row < 0 || row >= rows.size())
        return;
    Row &r = rows[row];
    r.result = result;
    r.value = value;
    r.note = note;
    r.noteCode.clear();
    r.checkedBy = result == Result::Open ? QString() : by;
    r.time = result == Result::Open ? QDateTime() : time;
}

void Checkout::clearLoops()
{
    for (Row &row : rows) {
        if (row.isLoop())
            row.partner = -1;
    }
}

QJsonObject Checkout::toJson() const
{
    QJsonArray saved;
    for (const Row &row : rows) {
        QJsonObject o{{QStringLiteral("key"), row.key()},
                      {QStringLiteral("station"), row.station},
                      {QStringLiteral("uid"), row.uid},
                      {QStringLiteral("local"), row.local},
                      {QStringLiteral("result"), resultCode(row.result)}};
        if (!row.value.isEmpty())
            o.insert(QStringLiteral("value"), row.value);
        if (!row.note.isEmpty())
            o.insert(QStringLiteral("note"), row.note);
        if (!row.noteCode.isEmpty())
            o.insert(QStringLiteral("noteCode"), row.noteCode);
        if (row.time.isValid())
            o.insert(QStringLiteral("time"), row.time.toString(Qt::ISODate));
        if (!row.checkedBy.isEmpty())
            o.insert(QStringLiteral("by"), row.checkedBy);
        saved.append(o);
    }
    return QJsonObject{{QStringLiteral("version"), kStateVersion},
                       {QStringLiteral("serial"), header.serial},
                       {QStringLiteral("site"), header.site},
                       {QStringLiteral("engineer"), header.engineer},
                       {QStringLiteral("started"), header.started.toString(Qt::ISODate)},
                       {QStringLiteral("rows"), saved}};
}

QStringList Checkout::resume(const QJsonObject &saved)
{
    QStringList reset;
    if (saved.value(QStringLiteral("version")).toInt() != kStateVersion)
        return reset;
    if (!saved.value(QStringLiteral("serial")).toString().isEmpty()
        && saved.value(QStringLiteral("serial")).toString() != header.serial && !header.serial.isEmpty())
        return reset;
    header.site = saved.value(QStringLiteral("site")).toString();
    header.engineer = saved.value(QStringLiteral("engineer")).toString();
    const QDateTime started = QDateTime::fromString(saved.value(QStringLiteral("started")).toString(), Qt::ISODate);
    if (started.isValid())
        header.started = started;

    QHash<QString, QJsonObject> byKey;
    // Which UIDs each station held when the state was saved (a repeated
    // station holds several).
    QHash<QString, QSet<QString>> savedUidsAt;
    for (const QJsonValue &value : saved.value(QStringLiteral("rows")).toArray()) {
        const QJsonObject o = value.toObject();
        byKey.insert(o.value(QStringLiteral("key")).toString(), o);
        const QString uid = o.value(QStringLiteral("uid")).toString().toUpper();
        if (!uid.isEmpty())
            savedUidsAt[stationKey(o.value(QStringLiteral("station")).toInt(), o.value(QStringLiteral("local")).toBool())].insert(uid);
    }
    for (Row &row : rows) {
        const auto it = byKey.constFind(row.key());
        if (it == byKey.constEnd())
            continue;
        const QJsonObject &o = *it;
        const std::optional<Result> result = resultFromCode(o.value(QStringLiteral("result")).toString());
        if (!result)
            continue;
        row.result = *result;
        row.value = o.value(QStringLiteral("value")).toString();
        row.note = o.value(QStringLiteral("note")).toString();
        row.noteCode = o.value(QStringLiteral("noteCode")).toString();
        row.time = QDateTime::fromString(o.value(QStringLiteral("time")).toString(), Qt::ISODate);
        row.checkedBy = o.value(QStringLiteral("by")).toString();
    }
    for (const ModuleEntry &m : qAsConst(modules)) {
        if ((m.station == 0 && !m.local) || m.uid.isEmpty())
            continue;
        const QSet<QString> before = savedUidsAt.value(stationKey(m.station, m.local));
        if (!before.isEmpty() && !before.contains(m.uid.toUpper())) {
            QStringList old = before.values();
            old.sort();
            reset << Texts::tr("%1: %2 换为 %3").arg(moduleTitle(m), old.join(QStringLiteral(", ")), m.uid);
        }
    }
    return reset;
}

QByteArray Checkout::csv() const
{
    QStringList lines;
    lines << QStringList{Texts::tr("模块"), Texts::tr("站号"), QStringLiteral("UID"), Texts::tr("通道"), Texts::tr("方向"), Texts::tr("类型"), Texts::tr("地址"),
                         Texts::tr("结果"), Texts::tr("值"), Texts::tr("备注"), Texts::tr("时间"), Texts::tr("检查人")}
                 .join(QLatin1Char(','));
    for (const Row &row : rows) {
        QStringList fields{row.module,
                           row.local ? Texts::tr("本地") : QString::number(row.station),
                           row.uid,
                           QString::number(row.channel),
                           directionText(row.direction),
                           kindText(row.kind),
                           row.addressText(),
                           resultText(row.result),
                           row.value,
                           row.note,
                           row.time.isValid() ? row.time.toString(kTimeFormat) : QString(),
                           row.checkedBy};
        for (QString &field : fields)
            field = csvField(field);
        lines << fields.join(QLatin1Char(','));
    }
    return QByteArray("\xEF\xBB\xBF") + lines.join(QStringLiteral("\r\n")).toUtf8() + "\r\n";
}

QString Checkout::reportHtml() const
{
    const Counts c = counts();
    QString html;
    html += QStringLiteral("<html><head><meta charset=\"utf-8\"><style>"
                           "body { font-size: 10pt; }"
                           "h1 { font-size: 20pt; } h2 { font-size: 13pt; margin-top: 12px; }"
                           "td, th { padding: 3px 6px; }"
                           "th { background-color: #E8EAF0; text-align: left; }"
                           "</style></head><body>");
    // The cover.
    html += QStringLiteral("<h1>%1</h1>").arg(esc(Texts::tr("IO检查报告")));
    html += QStringLiteral("<table border=\"0\" cellspacing=\"0\">");
    const QList<QPair<QString, QString>> cover{
        {Texts::tr("现场/项目"), header.site.isEmpty() ? QStringLiteral("-") : header.site},
        {Texts::tr("检查人"), header.engineer.isEmpty() ? QStringLiteral("-") : header.engineer},
        {Texts::tr("日期"), QDateTime::currentDateTime().toString(kTimeFormat)},
        {Texts::tr("开始于"), header.started.isValid() ? header.started.toString(kTimeFormat) : QStringLiteral("-")},
        {Texts::tr("适配器序列号"), header.serial},
        {Texts::tr("适配器型号"), header.adapterName},
        {Texts::tr("硬件版本"), header.hardware},
        {Texts::tr("Boot版本"), header.boot},
        {Texts::tr("固件版本"), header.app},
        {Texts::tr("结果"), Texts::tr("共 %1 项: 通过 %2, 失败 %3, 跳过 %4, 未检查 %5").arg(c.total).arg(c.pass).arg(c.fail).arg(c.skipped).arg(c.open)},
    };
    for (const auto &[name, value] : cover)
        html += QStringLiteral("<tr><td><b>%1</b></td><td>%2</td></tr>").arg(esc(name), esc(value));
    html += QStringLiteral("</table>");
    html += QStringLiteral("<h2>%1</h2>").arg(esc(Texts::tr("模块")));
    html += QStringLiteral("<table border=\"1\" cellspacing=\"0\" width=\"100%\"><tr><th>%1</th><th>%2</th><th>UID</th>"
                           "<th>%3</th><th>%4</th><th>%5</th><th>%6</th></tr>")
                .arg(esc(Texts::tr("站号")), esc(Texts::tr("模块")), esc(Texts::tr("通道数")), esc(Texts::tr("通过")), esc(Texts::tr("失败")), esc(Texts::tr("未检查")));
    for (int m = 0; m < modules.size(); ++m) {
        const ModuleEntry &entry = modules.at(m);
        int pass = 0, fail = 0, open = 0;
        const QList<int> moduleRows = rowsOf(m);
        for (int r : moduleRows) {
            pass += rows.at(r).result == Result::Pass;
            fail += rows.at(r).result == Result::Fail;
            open += rows.at(r).result == Result::Open;
        }
        html += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td><td>%4</td><td>%5</td><td>%6</td><td>%7</td></tr>")
                    .arg(entry.local ? esc(Texts::tr("本地")) : entry.station == 0 ? QStringLiteral("-") : QString::number(entry.station), esc(entry.module),
                         esc(entry.uid.isEmpty() ? QStringLiteral("-") : entry.uid))
                    .arg(moduleRows.size())
                    .arg(pass)
                    .arg(fail)
                    .arg(open);
    }
    html += QStringLiteral("</table>");

    // A table per module.
    for (int m = 0; m < modules.size(); ++m) {
        const ModuleEntry &entry = modules.at(m);
        // The column names head the table again on every page it runs over.
        html += QStringLiteral("<h2 style=\"page-break-before: %1\">%2 — UID %3</h2>")
                    .arg(m == 0 ? QStringLiteral("always") : QStringLiteral("auto"), esc(moduleTitle(entry)),
                         esc(entry.uid.isEmpty() ? QStringLiteral("-") : entry.uid));
        html += QStringLiteral("<table border=\"1\" cellspacing=\"0\" width=\"100%\"><thead><tr><th>%1</th><th>%2</th><th>%3</th>"
                               "<th>%4</th><th>%5</th><th>%6</th><th>%7</th><th>%8</th></tr></thead>")
                    .arg(esc(Texts::tr("通道")), esc(Texts::tr("方向")), esc(Texts::tr("地址")), esc(Texts::tr("结果")), esc(Texts::tr("值")), esc(Texts::tr("备注")),
                         esc(Texts::tr("时间")), esc(Texts::tr("检查人")));
        for (int r : rowsOf(m)) {
            const Row &row = rows.at(r);
            html += QStringLiteral("<tr><td>%1</td><td style=\"white-space: nowrap\">%2</td><td style=\"white-space: nowrap\">%3</td><td style=\"white-space: nowrap\"><font color=\"%4\"><b>%5</b></font></td>"
                                   "<td>%6</td><td>%7</td><td>%8</td><td>%9</td></tr>")
                        .arg(row.channel)
                        .arg(esc(directionText(row.direction) + QLatin1Char(' ') + kindText(row.kind)), esc(row.addressText()),
                             resultColour(row.result), esc(resultText(row.result)), esc(row.value), esc(row.note),
                             esc(row.time.isValid() ? row.time.toString(kTimeFormat) : QString()), esc(row.checkedBy));
        }
        html += QStringLiteral("</table>");
    }

    // The summary and the open items.
    html += QStringLiteral("<h2 style=\"page-break-before: always\">%1</h2>").arg(esc(Texts::tr("汇总")));
    html += QStringLiteral("<table border=\"1\" cellspacing=\"0\"><tr><th>%1</th><th>%2</th></tr>")
                .arg(esc(Texts::tr("结果")), esc(Texts::tr("数量")));
    for (const auto &[result, count] : QList<QPair<Result, int>>{
             {Result::Pass, c.pass}, {Result::Fail, c.fail}, {Result::Skipped, c.skipped}, {Result::Open, c.open}})
        html += QStringLiteral("<tr><td>%1</td><td>%2</td></tr>").arg(esc(resultText(result))).arg(count);
    html += QStringLiteral("<tr><td><b>%1</b></td><td><b>%2</b></td></tr></table>").arg(esc(Texts::tr("合计"))).arg(c.total);
    QStringList failed, open;
    for (const Row &row : rows) {
        const QString line = QStringLiteral("%1 %2 %3 %4").arg(row.local ? Texts::tr("本地") : Texts::tr("站号%1").arg(row.station), row.module,
                                                             directionText(row.direction), QString::number(row.channel));
        if (row.result == Result::Fail)
            failed << line + (row.note.isEmpty() ? QString() : QStringLiteral(": ") + row.note);
        else if (row.result == Result::Open)
            open << line;
    }
    for (const auto &[title, items] : {qMakePair(Texts::tr("失败项"), failed), qMakePair(Texts::tr("未检查项"), open)}) {
        html += QStringLiteral("<h2>%1 (%2)</h2>").arg(esc(title)).arg(items.size());
        if (items.isEmpty()) {
            html += QStringLiteral("<p>%1</p>").arg(esc(Texts::tr("无")));
            continue;
        }
        html += QStringLiteral("<p>");
        for (const QString &item : items)
            html += esc(item) + QStringLiteral("<br>");
        html += QStringLiteral("</p>");
    }
    // The signature.
    html += QStringLiteral("<p style=\"margin-top: 36px\">%1 ______________________ &nbsp;&nbsp; %2 ______________</p>")
                .arg(esc(Texts::tr("签字:")), esc(Texts::tr("日期:")));
    html += QStringLiteral("</body></html>");
    return html;
}

QString statePath(const QString &serial)
{
    QString name = serial;
    for (QChar &c : name) {
        if (!c.isLetterOrNumber() || c.unicode() > 0x7F)
            c = QLatin1Char('_');
    }
    if (name.isEmpty())
        name = QStringLiteral("adapter");
    return DataFolders::userFolder(QStringLiteral("checkout")) + QLatin1Char('/') + name + QStringLiteral(".json");
}

QJsonObject loadState(const QString &serial)
{
    QFile file(statePath(serial));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

QString writeAtomically(const QString &path, const QByteArray &bytes)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return Texts::tr("无法创建文件夹 %1").arg(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (file.write(bytes) != bytes.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return why;
    }
    if (!file.commit())
        return file.errorString();
    return QString();
}

QString saveState(const Checkout &checkout)
{
    return writeAtomically(statePath(checkout.header.serial), QJsonDocument(checkout.toJson()).toJson());
}

} // namespace appcore::checkout
