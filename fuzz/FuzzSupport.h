#pragma once

#include <DeviceXmlLodaing.h>

#include <QByteArray>
#include <QLoggingCategory>
#include <QString>

#include <cstddef>
#include <cstdint>

// Shared pieces of the fuzz targets. Each target is one file defining
// LLVMFuzzerTestOneInput; it must not crash, hang, leak or trip a sanitizer
// for any input.
namespace fuzzing {

// The input as a byte array that does not copy it.
inline QByteArray bytesOf(const uint8_t *data, size_t size)
{
    return QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size));
}

// Malformed input is logged by the code under test on every run; a fuzzer
// needs none of it.
inline void silenceLogging()
{
    QLoggingCategory::setFilterRules(QStringLiteral("*=false"));
}

// The shipped description library and the tests' description fixtures, so
// that inputs naming a real module type reach that type's slave kind.
inline QList<DescriptionFilePtr> descriptionLibrary()
{
    static const QList<DescriptionFilePtr> library = [] {
        QList<DescriptionFilePtr> files;
        for (const char *folder : {"/Xml", "/tests/fixtures/xml", "/tests/adapter/fixtures"}) {
            DeviceXmlLodaing::instance()->loadFolder(QStringLiteral(TARNBUS_SOURCE_DIR) + QLatin1String(folder));
            files += DeviceXmlLodaing::instance()->files();
        }
        return files;
    }();
    return library;
}

} // namespace fuzzing
