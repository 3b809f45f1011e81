// A description file as stored, plain or scrambled: parsed the way the
// loader parses it, and every module it describes made into a slave.

#include "FuzzSupport.h"

#include <DescriptionParser.h>
#include <Slave.h>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzzing::silenceLogging();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const DescriptionFile file = parseDescriptionBytes(fuzzing::bytesOf(data, size));
    for (const auto &entry : file.modules) {
        Slave slave(1);
        slave.loadDescription(entry.second.get());
        slave.ioLengths();
        slave.ioWindow();
        slave.configurationRecord();
    }
    return 0;
}
