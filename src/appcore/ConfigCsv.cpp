#include "ConfigCsv.h"

#include "DeviceXmlLodaing.h"
#include "Slave.h"
#include "TarnBaseConvert.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
#include <QTextCodec>

#include <array>
#include <limits>

namespace appcore::ConfigCsv {

namespace {

// tr() of the context "ConfigCsv", so that lupdate files the texts there.
struct Texts
{
    Q_DECLARE_TR_FUNCTIONS(ConfigCsv)
};

// The names are the file's own, in every language; the window shows them
// translated in the comparison (context "ConfigCompareDialog").
struct Column {
    const char *name;
    const char *key;
};

const std::array<Column, 12> kColumns{{
    {QT_TRANSLATE_NOOP("ConfigCompareDialog", "设备类型"), "DeviceType"},
    {QT_TRANSLATE_NOOP("ConfigCompareDialog", "从站站号"), "SlaveID"},
    {QT_TRANSLATE_NOOP("ConfigCompareDialog", "对齐方式"), "Alignment"},
    {QT_TRANSLATE_NOOP("ConfigCompareDialog", "输入起始地址"), "InputBeginAddress"},
    {QT_TRANSLATE_NOOP("ConfigCompareDialog", "输入通道长度"), "InputChannleLeng"},
    {QT_TRANSLATE_NOOP("ConfigCompareDialog", "输出起始地址"), "OutputBeginAddress"},
    {QT_TRANSLATE_NOOP("ConfigCompareDialog", "输出通道长度"), "OutputChannleLeng"},
    {QT_TRANSLATE_NOOP("ConfigCompareDialog", "滤波等级"), "FilterLevel"},
    {QT_TRANSLATE_NOOP("ConfigCompareDialog", "替代值使能"), "SubstituteValueEnable"},
    {QT_TRANSLATE_NOOP("ConfigCompareDialog", "替代值"), "SubstituteValue"},
    {QT_TRANSLATE_NOOP("ConfigCompareDialog", "设备ID"), ""},
    {QT_TRANSLATE_NOOP("ConfigCompareDialog", "设备UID"), ""},
}};

constexpr char kGb18030[] = "GB18030";
constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";
constexpr int kMaxDigits = 10;
constexpr qint64 kMaxValue = 0xFFFFFFFFLL; // every value fits the 32 bits of an item

QTextCodec *gb18030()
{
    static QTextCodec *const codec = QTextCodec::codecForName(kGb18030);
    Q_ASSERT(codec);
    return codec;
}

// A field of digits only: no sign, no blanks inside, no other base.
std::optional<qint64> numberOf(const QString &field)
{
    const QString text = field.trimmed();
    if (text.isEmpty() || text.size() > kMaxDigits)
        return std::nullopt;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    }
    const qint64 value = text.toLongLong();
    return value <= kMaxValue ? std::optional<qint64>(value) : std::nullopt;
}

bool isHex(const QString &text)
{
    for (const QChar c : text) {
        const bool digit = c >= QLatin1Char('0') && c <= QLatin1Char('9');
        const bool letter = (c >= QLatin1Char('a') && c <= QLatin1Char('f')) || (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
        if (!digit && !letter)
            return false;
    }
    return true;
}

// Lines without any content: nothing at all, blanks, or the empty cells a
// spreadsheet writes for an empty row.
bool isBlank(const QString &line)
{
    for (const QChar c : line) {
        if (!c.isSpace() && c != QLatin1Char(','))
            return false;
    }
    return true;
}

Problem problemAt(Problem::Kind kind, int line, int column = -1, const QString &value = QString(), int limit = 0)
{
    Problem p;
    p.kind = kind;
    p.line = line;
    p.column = column;
    p.field = columnName(column);
    p.value = value;
    p.limit = limit;
    return p;
}

// A problem with a field of a data line of the form.
Problem fieldProblem(Problem::Kind kind, int line, Form form, int column, const QString &value, int limit = 0)
{
    Problem p = problemAt(kind, line, column, value, limit);
    if (column >= requiredFields(form))
        p.field.clear();
    return p;
}

// The bits one direction of a line takes: from the module's description
// when it is known, else one bit per channel the line gives.
struct Area {
    bool present = true;
    int bits = 0;
};

Area areaOf(const std::optional<ModuleSize> &size, bool input, int lineChannels)
{
    if (!size)
        return Area{true, lineChannels};
    // No channels: the module holds no area (as the import takes the line).
    if (!(input ? size->hasInputs : size->hasOutputs) || lineChannels == 0)
        return Area{false, 0};
    // Every count is clamped before it is added or multiplied: a line or a
    // description may hold any number.
    const auto bounded = [](int count) { return qBound(0, count, Slave::kMaxDescribedChannels); };
    const int channels = bounded(size->changeableChannels ? lineChannels : size->channelCount);
    const int offs = bounded(input ? size->inputOffs : size->outputOffs);
    return Area{true, Slave::areaBits(channels + offs, std::max(1, size->bitsPerChannel))};
}

} // namespace

QString columnName(int column)
{
    return column >= 0 && column < int(kColumns.size()) ? Texts::tr(kColumns.at(size_t(column)).name) : QString();
}

QString columnKey(int column)
{
    return column >= 0 && column < kNamedColumns ? QString::fromLatin1(kColumns.at(size_t(column)).key) : QString();
}

QString headerLine(Form form)
{
    QStringList names;
    const int count = form == Form::WithUid ? kUidColumn + 1 : kDeviceIdColumn + 1;
    for (int column = 0; column < count; ++column)
        names << columnName(column);
    return names.join(QLatin1Char(','));
}

int requiredFields(Form form)
{
    return form == Form::WithUid ? kUidColumn + 1 : kDeviceIdColumn + 1;
}

QByteArray encode(Form form, const QStringList &lines)
{
    QString text = headerLine(form) + QLatin1Char('\n');
    for (const QString &line : lines) {
        text += line;
        if (!line.endsWith(QLatin1Char('\n')))
            text += QLatin1Char('\n');
    }
    return gb18030()->fromUnicode(text);
}

DecodedText decode(const QByteArray &bytes)
{
    DecodedText decoded;
    QTextCodec *utf8 = QTextCodec::codecForName("UTF-8");
    if (bytes.startsWith(kUtf8Bom)) {
        decoded.encoding = Encoding::Utf8WithBom;
        decoded.text = utf8->toUnicode(bytes.mid(int(sizeof(kUtf8Bom)) - 1));
        return decoded;
    }
    QTextCodec::ConverterState state(QTextCodec::IgnoreHeader);
    const QString asUtf8 = utf8->toUnicode(bytes.constData(), bytes.size(), &state);
    if (state.invalidChars == 0 && state.remainingChars == 0) {
        decoded.encoding = Encoding::Utf8;
        decoded.text = asUtf8;
        return decoded;
    }
    decoded.encoding = Encoding::Gb18030;
    decoded.text = gb18030()->toUnicode(bytes);
    return decoded;
}

QString Problem::code() const
{
    switch (kind) {
    case FileUnreadable:
        return QStringLiteral("file.unreadable");
    case FileUnwritable:
        return QStringLiteral("file.unwritable");
    case NoHeader:
        return QStringLiteral("csv.no_header");
    case HeaderField:
        return QStringLiteral("csv.header_field");
    case TooFewFields:
        return QStringLiteral("csv.too_few_fields");
    case NotANumber:
        return QStringLiteral("csv.not_a_number");
    case StationOutOfRange:
        return QStringLiteral("csv.station_out_of_range");
    case TooManyChannels:
        return QStringLiteral("csv.too_many_channels");
    case AreaPastImage:
        return QStringLiteral("csv.area_past_image");
    case BadAlignment:
        return QStringLiteral("csv.bad_alignment");
    case BadUid:
        return QStringLiteral("csv.bad_uid");
    }
    return QStringLiteral("csv.bad_line");
}

QString Problem::text() const
{
    switch (kind) {
    case FileUnreadable:
        return Texts::tr("无法读取文件: %1").arg(value);
    case FileUnwritable:
        return Texts::tr("无法写入文件: %1").arg(value);
    case NoHeader:
        return Texts::tr("文件为空,缺少表头");
    case HeaderField:
        return QLatin1Char('"') + field + QLatin1Char('"') + Texts::tr(",字段缺失或位序错误");
    case TooFewFields:
        return Texts::tr("第%1行: 字段数量不足,需要%2个").arg(line).arg(limit);
    case NotANumber:
        if (field.isEmpty())
            return Texts::tr("第%1行: 第%2列不是数字: %3").arg(line).arg(column + 1).arg(value);
        return Texts::tr("第%1行: \"%2\"不是数字: %3").arg(line).arg(field).arg(value);
    case StationOutOfRange:
        return Texts::tr("第%1行: 从站站号%2超出范围(1-128)").arg(line).arg(value);
    case TooManyChannels:
        return Texts::tr("第%1行: \"%2\"超过127: %3").arg(line).arg(field).arg(value);
    case AreaPastImage:
        return (column == kInputBeginColumn ? Texts::tr("第%1行: 输入地址超限,结束于第%2位(最大512位)")
                                            : Texts::tr("第%1行: 输出地址超限,结束于第%2位(最大512位)"))
            .arg(line)
            .arg(limit);
    case BadAlignment:
        return Texts::tr("第%1行: 对齐方式只能是1或8: %2").arg(line).arg(value);
    case BadUid:
        return Texts::tr("第%1行: 设备UID无效: %2").arg(line).arg(value);
    }
    return QString();
}

ModuleSizes librarySizes()
{
    return [](const QString &deviceId) -> std::optional<ModuleSize> {
        for (const DescriptionFilePtr &file : DeviceXmlLodaing::instance()->files()) {
            const ModuleDescription *device = file->find(deviceId);
            if (!device)
                continue;
            using namespace TarnBase;
            const int code = TarnBaseConvert::moduleTypeCode(device->moduleClass);
            if (code == ModuleUndefined)
                return std::nullopt;
            ModuleSize size;
            size.hasInputs = code == ModuleDI || code == ModuleDIO || code == ModuleDIDO || code == ModuleAI
                             || code == ModuleAIO || code == ModuleAIAO;
            size.hasOutputs = code == ModuleDO || code == ModuleDIO || code == ModuleDIDO || code == ModuleAO
                              || code == ModuleAIO || code == ModuleAIAO;
            size.bitsPerChannel = device->bitSize;
            size.changeableChannels = device->suportChangeableChannel;
            size.channelCount = device->channelCount;
            size.inputOffs = device->inputOffs;
            size.outputOffs = device->outputOffs;
            return size;
        }
        return std::nullopt;
    };
}

QStringList ParsedFile::lineTexts() const
{
    QStringList texts;
    for (const DataLine &line : lines)
        texts << line.text;
    return texts;
}

QList<Problem> checkLine(const QString &line, int lineNumber, Form form, const ModuleSizes &sizes)
{
    QList<Problem> problems;
    const QStringList fields = line.split(QLatin1Char(','), Qt::KeepEmptyParts);
    const int required = requiredFields(form);
    if (fields.size() < required) {
        problems << problemAt(Problem::TooFewFields, lineNumber, -1, QString::number(fields.size()), required);
        return problems;
    }

    // Columns 1 to 9 and the further values are plain numbers.
    std::array<qint64, kSubstituteColumn + 1> number{};
    const int firstFurther = required;
    for (int column = kStationColumn; column < fields.size(); ++column) {
        if (column > kSubstituteColumn && column < firstFurther)
            continue;
        const std::optional<qint64> value = numberOf(fields.at(column));
        if (!value)
            problems << fieldProblem(Problem::NotANumber, lineNumber, form, column, fields.at(column));
        else if (column <= kSubstituteColumn)
            number[size_t(column)] = *value;
    }
    if (!problems.isEmpty())
        return problems;

    const QString uid = form == Form::WithUid ? fields.at(kUidColumn).trimmed() : QString();
    const bool namedByUid = uid.size() >= kMinUidLength;
    if (namedByUid && (uid.size() % 2 != 0 || uid.size() > kMaxUidLength || !isHex(uid)))
        problems << problemAt(Problem::BadUid, lineNumber, kUidColumn, uid);

    // Station 0 (not set, or the adapter's own module) is a station the
    // tool writes; whether a line without UID names a module by it is
    // for the import to find out on the bus.
    if (number[kStationColumn] > kMaxStation)
        problems << problemAt(Problem::StationOutOfRange, lineNumber, kStationColumn, fields.at(kStationColumn).trimmed());

    // A module without configuration items writes zeros in columns 2 to 9.
    bool withoutConfiguration = true;
    for (int column = kAlignmentColumn; column <= kSubstituteColumn; ++column)
        withoutConfiguration = withoutConfiguration && number[size_t(column)] == 0;
    const qint64 alignment = number[kAlignmentColumn];
    if (alignment != 1 && alignment != 8 && !withoutConfiguration)
        problems << problemAt(Problem::BadAlignment, lineNumber, kAlignmentColumn, fields.at(kAlignmentColumn).trimmed());

    for (int column : {kInputChannelsColumn, kOutputChannelsColumn}) {
        if (number[size_t(column)] > kMaxChannels)
            problems << problemAt(Problem::TooManyChannels, lineNumber, column, fields.at(column).trimmed(), kMaxChannels);
    }
    if (!problems.isEmpty())
        return problems;

    const std::optional<ModuleSize> size = sizes ? sizes(fields.at(kDeviceIdColumn).trimmed()) : std::nullopt;
    for (const bool input : {true, false}) {
        const int beginColumn = input ? kInputBeginColumn : kOutputBeginColumn;
        const Area area = areaOf(size, input, int(number[size_t(beginColumn + 1)]));
        if (!area.present)
            continue;
        const qint64 start = number[size_t(beginColumn)] * alignment;
        const qint64 end = start + area.bits;
        if (start >= kImageBits || end > kImageBits)
            problems << problemAt(Problem::AreaPastImage, lineNumber, beginColumn, fields.at(beginColumn).trimmed(),
                                  int(std::min<qint64>(end, std::numeric_limits<int>::max())));
    }
    return problems;
}

ParsedFile parse(const QByteArray &bytes, const ModuleSizes &sizes)
{
    ParsedFile file;
    const DecodedText decoded = decode(bytes);
    file.encoding = decoded.encoding;
    QStringList lines = decoded.text.split(QLatin1Char('\n'));
    for (QString &line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    if (lines.isEmpty() || isBlank(lines.first())) {
        file.problems << problemAt(Problem::NoHeader, 1);
        return file;
    }

    const QStringList header = lines.first().split(QLatin1Char(','), Qt::KeepEmptyParts);
    for (int column = 0; column < kNamedColumns; ++column) {
        const QString field = header.value(column);
        if (column >= header.size() || (field != columnName(column) && field != columnKey(column))) {
            file.problems << problemAt(Problem::HeaderField, 1, column, field);
            return file;
        }
    }
    file.form = header.size() > kUidColumn && !header.at(kUidColumn).trimmed().isEmpty() ? Form::WithUid : Form::WithoutUid;

    for (int i = 1; i < lines.size(); ++i) {
        if (isBlank(lines.at(i)))
            continue;
        file.lines << DataLine{i + 1, lines.at(i)};
        file.problems << checkLine(lines.at(i), i + 1, file.form, sizes);
    }
    return file;
}

ParsedFile readFile(const QString &path, const ModuleSizes &sizes)
{
    QFile input(path);
    if (!input.open(QIODevice::ReadOnly)) {
        ParsedFile file;
        file.problems << problemAt(Problem::FileUnreadable, 0, -1, input.errorString());
        return file;
    }
    return parse(input.readAll(), sizes);
}

int modulesUnnamedWithoutUid(const SlaveList &slaves)
{
    int unnamed = 0;
    for (const SlaveSnapshot &slave : slaves)
        unnamed += slave->stationId == 0 && slave->described && !slave->recordCarriesStation ? 1 : 0;
    return unnamed;
}

std::optional<Problem> writeFile(const QString &path, Form form, const QStringList &lines)
{
    QSaveFile output(path);
    if (output.open(QIODevice::WriteOnly)) {
        const QByteArray bytes = encode(form, lines);
        if (output.write(bytes) == bytes.size() && output.commit())
            return std::nullopt;
    }
    return problemAt(Problem::FileUnwritable, 0, -1, output.errorString());
}

} // namespace appcore::ConfigCsv
