#pragma once

// Whole files for tests: read at once, written at once.

#include <QByteArray>
#include <QFile>
#include <QString>

namespace testing_support {

// The file's bytes; empty when it cannot be read.
inline QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace testing_support
