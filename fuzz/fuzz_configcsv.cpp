// A configuration file as the import reads it, in either encoding: the
// header and every line checked against the shipped description library,
// then each line the check passes taken by a slave of its module type, as an
// offline configuration takes it.

#include "FuzzSupport.h"

#include <ConfigCsv.h>
#include <Slave.h>
#include <SlaveFactory.h>

#include <memory>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzzing::silenceLogging();
    DeviceXmlLodaing::instance()->loadFolder(QStringLiteral(TARNBUS_SOURCE_DIR "/Xml"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace appcore::ConfigCsv;
    const ParsedFile file = parse(fuzzing::bytesOf(data, size), librarySizes());
    for (const Problem &problem : file.problems)
        problem.text();
    if (!file.ok())
        return 0;
    const bool withUid = file.form == Form::WithUid;
    for (const QString &line : file.lineTexts()) {
        const QStringList fields = line.split(QLatin1Char(','));
        std::unique_ptr<Slave> slave(SlaveFactory().create(fields.value(10).trimmed(), int(fields.value(1).toUInt())));
        if (withUid ? slave->applyCsvLineWithUid(line) : slave->applyCsvLine(line)) {
            slave->configurationRecord();
            slave->toCsvLineWithUid();
        }
    }
    return 0;
}
