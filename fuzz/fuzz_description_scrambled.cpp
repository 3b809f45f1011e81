// The scrambled form of a description file. The input is the XML text, so
// that the fuzzer mutates the structure; it is scrambled and then loaded the
// way the loader loads a stored file.

#include "FuzzSupport.h"

#include <DescriptionParser.h>
#include <ScrambledXml.h>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzzing::silenceLogging();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray text = fuzzing::bytesOf(data, size);
    const QByteArray stored = ScrambledXml::scramble(text);
    if (!ScrambledXml::hasMarker(stored) || ScrambledXml::xmlText(stored) != text)
        __builtin_trap(); // the two forms must be each other's inverse
    parseDescriptionBytes(stored);
    return 0;
}
