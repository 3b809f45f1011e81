#include "BusFile.h"

#include "Catalogue.h"
#include "FaultInjector.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <algorithm>
#include <cctype>
#include <set>

namespace tbsim {

namespace {

// A failed read; carries the place and the reason up to parseBus.
struct BusFileError {
    std::string text;
};

[[noreturn]] void fail(const std::string &where, const std::string &why)
{
    throw BusFileError{where + ": " + why};
}

std::string keyPath(const std::string &where, const QString &key)
{
    return where + "." + key.toStdString();
}

// One JSON object being read: every key must be read exactly once, the
// rest are unknown keys.
class ObjectReader
{
public:
    ObjectReader(const QJsonValue &value, std::string where)
        : m_where(std::move(where))
    {
        if (!value.isObject())
            fail(m_where, "expected an object");
        m_object = value.toObject();
    }

    const std::string &where() const { return m_where; }
    bool has(const char *key) const { return m_object.contains(QLatin1String(key)); }

    QJsonValue take(const char *key)
    {
        m_read.insert(QLatin1String(key));
        return m_object.value(QLatin1String(key));
    }

    long long integer(const char *key, long long fallback, long long min, long long max)
    {
        const QJsonValue value = take(key);
        if (value.isUndefined())
            return fallback;
        long long number = 0;
        if (value.isString()) {
            // Hexadecimal with "0x", decimal otherwise (never octal).
            const QString digits = value.toString().trimmed();
            const bool isHex = digits.startsWith(QLatin1String("0x"), Qt::CaseInsensitive);
            bool ok = false;
            number = isHex ? digits.mid(2).toLongLong(&ok, 16) : digits.toLongLong(&ok, 10);
            if (!ok)
                fail(keyPath(m_where, QLatin1String(key)), "\"" + value.toString().toStdString() + "\" is not a number");
        } else if (value.isDouble() && value.toDouble() == double(value.toVariant().toLongLong())) {
            number = value.toVariant().toLongLong();
        } else {
            fail(keyPath(m_where, QLatin1String(key)), "expected an integer");
        }
        if (number < min || number > max)
            fail(keyPath(m_where, QLatin1String(key)),
                 std::to_string(number) + " outside " + std::to_string(min) + ".." + std::to_string(max));
        return number;
    }

    std::string text(const char *key, const std::string &fallback, size_t maxSize)
    {
        const QJsonValue value = take(key);
        if (value.isUndefined())
            return fallback;
        if (!value.isString())
            fail(keyPath(m_where, QLatin1String(key)), "expected a string");
        const QString s = value.toString();
        for (const QChar c : s) {
            if (c.unicode() < 0x20 || c.unicode() > 0x7E)
                fail(keyPath(m_where, QLatin1String(key)), "only printable ASCII characters are allowed");
        }
        if (size_t(s.size()) > maxSize)
            fail(keyPath(m_where, QLatin1String(key)), "longer than " + std::to_string(maxSize) + " characters");
        return s.toStdString();
    }

    bool boolean(const char *key, bool fallback)
    {
        const QJsonValue value = take(key);
        if (value.isUndefined())
            return fallback;
        if (!value.isBool())
            fail(keyPath(m_where, QLatin1String(key)), "expected true or false");
        return value.toBool();
    }

    Bytes hex(const char *key, const Bytes &fallback, int size)
    {
        const QJsonValue value = take(key);
        if (value.isUndefined())
            return fallback;
        const QString s = value.toString();
        const bool isHex = std::all_of(s.begin(), s.end(), [](QChar c) { return isxdigit(c.toLatin1()); });
        if (!value.isString() || !isHex || s.size() % 2 != 0)
            fail(keyPath(m_where, QLatin1String(key)), "expected hexadecimal bytes");
        const QByteArray bytes = QByteArray::fromHex(s.toLatin1());
        if (size >= 0 && bytes.size() != size)
            fail(keyPath(m_where, QLatin1String(key)), "expected " + std::to_string(size) + " bytes");
        return Bytes(bytes.begin(), bytes.end());
    }

    template <size_t N>
    std::array<uint8_t, N> byteList(const char *key, const std::array<uint8_t, N> &fallback)
    {
        const QJsonValue value = take(key);
        if (value.isUndefined())
            return fallback;
        const QJsonArray list = value.toArray();
        if (!value.isArray() || size_t(list.size()) != N)
            fail(keyPath(m_where, QLatin1String(key)), "expected a list of " + std::to_string(N) + " numbers");
        std::array<uint8_t, N> bytes{};
        for (size_t i = 0; i < N; ++i) {
            const int number = list.at(int(i)).toInt(-1);
            if (number < 0 || number > 255)
                fail(keyPath(m_where, QLatin1String(key)), "expected numbers 0..255");
            bytes[i] = uint8_t(number);
        }
        return bytes;
    }

    QJsonArray list(const char *key)
    {
        const QJsonValue value = take(key);
        if (!value.isUndefined() && !value.isArray())
            fail(keyPath(m_where, QLatin1String(key)), "expected a list");
        return value.toArray();
    }

    // Call once every key has been read.
    void finish() const
    {
        for (auto it = m_object.begin(); it != m_object.end(); ++it) {
            if (!m_read.contains(it.key()))
                fail(m_where, "unknown key \"" + it.key().toStdString() + "\"");
        }
    }

private:
    std::string m_where;
    QJsonObject m_object;
    QSet<QString> m_read;
};

template <size_t N>
std::array<uint8_t, N> toArray(const Bytes &bytes)
{
    std::array<uint8_t, N> array{};
    std::copy_n(bytes.begin(), std::min(bytes.size(), N), array.begin());
    return array;
}

InputSource readInputs(const QJsonValue &value, const std::string &where, int bitsPerChannel)
{
    ObjectReader r(value, where);
    InputSource source;
    const std::string kind = r.text("source", "none", 16);
    if (kind == "none") {
        source.kind = InputSource::None;
    } else if (kind == "toggle") {
        source.kind = InputSource::Toggle;
    } else if (kind == "count") {
        source.kind = InputSource::Count;
    } else if (kind == "constant") {
        source.kind = InputSource::Constant;
        if (r.has("values")) {
            const QJsonArray values = r.list("values");
            source.constant.assign(size_t(values.size() * bitsPerChannel + 7) / 8, 0);
            for (int channel = 0; channel < values.size(); ++channel) {
                const qint64 v = values.at(channel).toVariant().toLongLong();
                for (int bit = 0; bit < bitsPerChannel; ++bit) {
                    const size_t n = size_t(channel * bitsPerChannel + bit);
                    if ((v >> bit) & 1)
                        source.constant[n / 8] |= uint8_t(1u << (n % 8));
                }
            }
        } else {
            source.constant = r.hex("hex", Bytes(), -1);
        }
    } else if (kind == "wire") {
        source.kind = InputSource::Wire;
        source.from = r.text("from", "", kUidSize);
        source.fromChannel = int(r.integer("fromChannel", 0, 0, kMaxChannels));
        if (source.from.empty())
            fail(keyPath(where, QLatin1String("from")), "a wire needs the uid of the module it comes from");
    } else {
        fail(keyPath(where, QLatin1String("source")), "\"" + kind + "\" is none of none, constant, toggle, wire, count");
    }
    r.finish();
    return source;
}

Module readModule(const QJsonValue &value, const std::string &where)
{
    ObjectReader r(value, where);
    if (!r.has("typeCode") || !r.has("uid"))
        fail(where, "a module needs \"typeCode\" and \"uid\"");
    const uint16_t typeCode = uint16_t(r.integer("typeCode", 0, 0, 0xFFFF));
    Module m = catalogueModule(typeCode, r.text("uid", "", kUidSize), int(r.integer("station", 0, 0, kMaxStation)));
    m.local = r.boolean("local", false);
    m.bitsPerChannel = int(r.integer("bitsPerChannel", m.bitsPerChannel, 1, 32));
    m.inChannels = int(r.integer("inChannels", m.inChannels, 0, kMaxChannels));
    m.outChannels = int(r.integer("outChannels", m.outChannels, 0, kMaxChannels));
    // A type the catalogue does not know has as many channels as it is given.
    const bool known = catalogueEntry(typeCode) != nullptr;
    m.inCapacity = int(r.integer("inCapacity", known ? m.inCapacity : m.inChannels, 0, kMaxChannels));
    m.outCapacity = int(r.integer("outCapacity", known ? m.outCapacity : m.outChannels, 0, kMaxChannels));
    m.inStart = int(r.integer("inStart", 0, 0, kImageBits - 1));
    m.outStart = int(r.integer("outStart", 0, 0, kImageBits - 1));
    m.state = uint8_t(r.integer("state", m.state, 0, 0xFF));
    m.fault = uint8_t(r.integer("fault", 0, 0, 0x3F));
    m.params = toArray<kParamSize>(r.hex("params", Bytes(kParamSize, 0), kParamSize));
    m.hardware = toArray<2>(r.hex("hardware", Bytes(2, 0), 2));
    m.name = r.text("name", m.name, kNameSize);
    if (r.has("inputs"))
        m.inputs = readInputs(r.take("inputs"), keyPath(where, QLatin1String("inputs")), m.bitsPerChannel);
    r.finish();
    return m;
}

FaultRule readFault(const QJsonValue &value, const std::string &where)
{
    ObjectReader r(value, where);
    FaultRule rule;
    const std::string kind = r.text("kind", "", 32);
    const std::optional<FaultKind> known = faultKindFromName(kind);
    if (!known)
        fail(keyPath(where, QLatin1String("kind")), "unknown fault kind \"" + kind + "\"");
    rule.kind = *known;
    rule.code = int(r.integer("command", -1, -1, 0xFF));
    rule.param1 = int(r.integer("param1", -1, -1, 0xFF));
    rule.param2 = int(r.integer("param2", -1, -1, 0xFF));
    rule.skip = int(r.integer("after", 0, 0, 1 << 30));
    rule.count = int(r.integer("count", -1, 1, 1 << 30));
    rule.delayMs = int(r.integer("delayMs", 0, 0, 600000));
    rule.replugMs = int(r.integer("replugMs", 0, 0, 600000));
    r.finish();
    return rule;
}

char readLetter(ObjectReader &r, const char *key, char fallback)
{
    const std::string text = r.text(key, std::string(1, fallback), 1);
    if (text.size() != 1)
        fail(keyPath(r.where(), QLatin1String(key)), "expected one letter");
    return text[0];
}

BootLoaderConfig readBootLoader(const QJsonValue &value, const std::string &where)
{
    ObjectReader r(value, where);
    BootLoaderConfig b;
    b.type = r.text("type", b.type, 49);
    b.bootLetter = readLetter(r, "bootLetter", b.bootLetter);
    b.appLetter = readLetter(r, "appLetter", b.appLetter);
    b.startAddress = uint32_t(r.integer("startAddress", b.startAddress, 0, 0xFFFFFFFFLL));
    b.startsInBootLoader = r.boolean("startsInBootLoader", b.startsInBootLoader);
    b.answersRestart = r.boolean("answersRestart", b.answersRestart);
    b.rollsBack = r.boolean("rollsBack", b.rollsBack);
    r.finish();
    return b;
}

AdapterConfig readAdapter(const QJsonValue &value, const std::string &where)
{
    ObjectReader r(value, where);
    AdapterConfig c;
    if (!r.has("serial"))
        fail(where, "an adapter needs a \"serial\"");
    c.serial = r.text("serial", "", 126);
    c.manufacturer = r.text("manufacturer", c.manufacturer, 126);
    c.product = r.text("product", c.product, 126);
    c.release = uint16_t(r.integer("release", c.release, 0, 0xFFFF));
    c.name = r.text("name", c.name, 32);
    c.hardware = toArray<2>(r.hex("hardware", Bytes(c.hardware.begin(), c.hardware.end()), 2));
    c.boot = r.byteList("boot", c.boot);
    c.app = r.byteList("app", c.app);
    c.settings = uint8_t(r.integer("settings", c.settings, 0, 0xFF));
    c.threshold = uint16_t(r.integer("threshold", c.threshold, 201, 2999));
    c.power = uint8_t(r.integer("power", c.power, 0, 0xFF));
    c.temperature = uint8_t(r.integer("temperature", c.temperature, 0, 0xFF));
    c.status = uint8_t(r.integer("status", c.status, 0, 0xFF));
    c.configWriteFlag = uint8_t(r.integer("configWriteFlag", c.configWriteFlag, 0, 0xFF));
    c.scanReads = int(r.integer("scanReads", c.scanReads, 0, 1000));
    c.restartMs = int(r.integer("restartMs", c.restartMs, 0, 600000));
    c.openElsewhere = r.boolean("openElsewhere", c.openElsewhere);
    if (r.has("bootLoader"))
        c.bootLoader = readBootLoader(r.take("bootLoader"), keyPath(where, QLatin1String("bootLoader")));
    const QJsonArray modules = r.list("modules");
    for (int i = 0; i < modules.size(); ++i)
        c.modules.push_back(readModule(modules.at(i), where + ".modules[" + std::to_string(i) + "]"));
    const QJsonArray faults = r.list("faults");
    for (int i = 0; i < faults.size(); ++i)
        c.faults.push_back(readFault(faults.at(i), where + ".faults[" + std::to_string(i) + "]"));
    r.finish();
    if (const std::string why = checkAdapter(c); !why.empty())
        fail(where, why);
    return c;
}

std::string lineAndColumn(const std::string &text, int offset)
{
    int line = 1;
    int column = 1;
    for (int i = 0; i < offset && i < int(text.size()); ++i) {
        if (text[size_t(i)] == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

std::string checkModule(const AdapterConfig &config, const Module &m)
{
    const std::string who = "module " + m.uid + ": ";
    if (m.uid.size() != size_t(kUidSize))
        return who + "the uid must have 12 characters";
    if (m.station < 0 || m.station > kMaxStation)
        return who + "station outside 0..128";
    if (m.local && m.station != 0)
        return who + "the local module answers at station 0";
    if (m.bitsPerChannel < 1 || m.bitsPerChannel > 32)
        return who + "bits per channel outside 1..32";
    if (m.inChannels > m.inCapacity || m.outChannels > m.outCapacity || m.inCapacity > kMaxChannels
        || m.outCapacity > kMaxChannels || m.inChannels < 0 || m.outChannels < 0)
        return who + "more channels than the module has (or above 127)";
    if (m.inStart < 0 || m.inStart + m.inBits() > kImageBits)
        return who + "input area beyond bit 511";
    if (m.outStart < 0 || m.outStart + m.outBits() > kImageBits)
        return who + "output area beyond bit 511";
    if (m.name.size() > size_t(kNameSize))
        return who + "name longer than 20 characters";
    if (m.inputs.kind == InputSource::Wire) {
        const auto from = std::find_if(config.modules.begin(), config.modules.end(),
                                       [&m](const Module &other) { return other.uid == m.inputs.from; });
        if (from == config.modules.end())
            return who + "inputs wired from " + m.inputs.from + ", which is not on the bus";
        if (from->bitsPerChannel != m.bitsPerChannel)
            return who + "inputs wired from " + m.inputs.from + ", whose channels have another bit width";
    }
    return std::string();
}

} // namespace

std::string checkAdapter(const AdapterConfig &config)
{
    if (config.serial.empty())
        return "the serial number is empty";
    if (config.name.size() > 32)
        return "the adapter name is longer than 32 characters";
    if (config.scanReads < 0 || config.restartMs < 0)
        return "scanReads and restartMs cannot be negative";
    std::set<std::string> uids;
    int locals = 0;
    for (const Module &m : config.modules) {
        if (const std::string why = checkModule(config, m); !why.empty())
            return why;
        if (!uids.insert(m.uid).second)
            return "module " + m.uid + ": the uid is used twice";
        locals += m.local ? 1 : 0;
    }
    if (locals > 1)
        return "more than one local module";
    return std::string();
}

bool parseBus(const std::string &json, std::vector<AdapterConfig> *adapters, std::string *error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(json), &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        *error = "not valid JSON at " + lineAndColumn(json, parseError.offset) + ": "
            + parseError.errorString().toStdString();
        return false;
    }
    try {
        if (!document.isObject())
            fail("bus", "expected an object with \"adapters\"");
        ObjectReader root(document.object(), "bus");
        std::vector<AdapterConfig> result;
        std::set<std::string> serials;
        const QJsonArray list = root.list("adapters");
        for (int i = 0; i < list.size(); ++i) {
            const std::string where = "adapters[" + std::to_string(i) + "]";
            result.push_back(readAdapter(list.at(i), where));
            if (!serials.insert(result.back().serial).second)
                fail(where, "serial " + result.back().serial + " is used twice");
        }
        root.finish();
        *adapters = std::move(result);
        return true;
    } catch (const BusFileError &e) {
        *error = e.text;
        return false;
    }
}

bool readBusFile(const std::string &path, std::vector<AdapterConfig> *adapters, std::string *error)
{
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        *error = path + ": " + file.errorString().toStdString();
        return false;
    }
    const QByteArray content = file.readAll();
    if (!parseBus(content.toStdString(), adapters, error)) {
        *error = path + ": " + *error;
        return false;
    }
    return true;
}

} // namespace tbsim
