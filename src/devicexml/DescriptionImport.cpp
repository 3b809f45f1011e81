#include "DescriptionImport.h"

#include "DescriptionParser.h"
#include "DeviceXmlLog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace DescriptionImport {

namespace {

// tr() of the context "XMLConfig", so that lupdate files the texts there.
struct Texts
{
    Q_DECLARE_TR_FUNCTIONS(XMLConfig)
};

Outcome failed(const QString &error)
{
    Outcome outcome;
    outcome.error = error;
    qCWarning(lcDeviceXml).noquote() << "import:" << error;
    return outcome;
}

// Reads a whole file; the reason in error when it cannot.
bool readAll(const QString &path, QByteArray &bytes, QString &error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = Texts::tr("无法读取文件%1: %2").arg(QDir::toNativeSeparators(path), file.errorString());
        return false;
    }
    bytes = file.readAll();
    return true;
}

// Writes bytes as the file at path in one piece: an existing file is
// replaced only when the new content has been written completely.
bool writeWhole(const QString &path, const QByteArray &bytes, QString &error)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        error = Texts::tr("无法创建文件夹%1").arg(QDir::toNativeSeparators(folder));
        return false;
    }
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    error = Texts::tr("无法写入%1: %2").arg(QDir::toNativeSeparators(path), file.errorString());
    return false;
}

} // namespace

QString destinationFor(const QString &sourcePath, const QString &folder)
{
    const QString name = QFileInfo(QDir::fromNativeSeparators(sourcePath)).fileName();
    const QString base = name.section(QLatin1Char('.'), 0, 0);
    if (base.isEmpty())
        return QString();
    return QStringLiteral("%1/%2.xml").arg(folder, base);
}

Outcome importDescription(const QString &sourcePath, const QString &folder)
{
    const QString destination = destinationFor(sourcePath, folder);
    if (destination.isEmpty())
        return failed(Texts::tr("文件名无效: %1").arg(QDir::toNativeSeparators(sourcePath)));
    QByteArray bytes;
    QString error;
    if (!readAll(sourcePath, bytes, error))
        return failed(error);
    // Only a description may replace a description.
    const DescriptionFile parsed = parseDescriptionBytes(bytes, &error);
    if (!error.isEmpty())
        return failed(Texts::tr("%1 不是有效的XML文件: %2").arg(QDir::toNativeSeparators(sourcePath), error));
    if (parsed.modules.empty())
        return failed(Texts::tr("%1 中没有设备描述").arg(QDir::toNativeSeparators(sourcePath)));
    if (!writeWhole(destination, bytes, error))
        return failed(error);
    Outcome outcome;
    outcome.ok = true;
    outcome.destination = destination;
    return outcome;
}

QString pictureFolder(const QString &imageDir, const QString &svgFolder)
{
    // Either separator counts: descriptions travel between systems.
    const QString name = QString(imageDir).replace(QLatin1Char('\\'), QLatin1Char('/')).trimmed();
    if (name.isEmpty() || QDir::isAbsolutePath(name) || name.startsWith(QLatin1Char('/'))
        || (name.size() > 1 && name.at(1) == QLatin1Char(':')))
        return QString();
    const QStringList parts = name.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    bool named = false;
    for (const QString &part : parts) {
        if (part == QLatin1String(".."))
            return QString();
        named = named || part != QLatin1String(".");
    }
    if (!named)
        return QString();
    return svgFolder + QLatin1Char('/') + QDir::cleanPath(name);
}

Outcome importPicture(const QString &sourcePath, const QString &folder)
{
    Outcome outcome;
    outcome.destination = folder + QLatin1Char('/') + QFileInfo(sourcePath).fileName();
    // Copying a file onto itself would only risk it.
    const QString sourceFile = QFileInfo(sourcePath).canonicalFilePath();
    if (!sourceFile.isEmpty() && sourceFile == QFileInfo(outcome.destination).canonicalFilePath()) {
        outcome.ok = true;
        return outcome;
    }
    QByteArray bytes;
    QString error;
    if (!readAll(sourcePath, bytes, error) || !writeWhole(outcome.destination, bytes, error))
        return failed(error);
    outcome.ok = true;
    return outcome;
}

} // namespace DescriptionImport
