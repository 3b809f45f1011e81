// descriptions and add-description: the device descriptions the tool reads,
// and the import of a new one into the user's data folder, as the window's
// "导入XML文件" does. Neither talks to an adapter.

#include "Commands.h"
#include "Texts.h"

#include "DataFolders.h"
#include "DescriptionImport.h"
#include "DescriptionParser.h"
#include "DeviceXmlLodaing.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>

namespace commands {

int descriptions(Context &ctx)
{
    struct Found {
        QString path;
        QStringList types; // the module types it describes
        bool readable = false;
    };
    QList<Found> found;
    for (const QString &path : DataFolders::mergedFiles(DeviceXmlLodaing::folders())) {
        Found file{QDir::cleanPath(QFileInfo(path).absoluteFilePath()), {}, false};
        QFile in(path);
        if (in.open(QIODevice::ReadOnly)) {
            file.readable = true;
            QString error;
            const DescriptionFile parsed = parseDescriptionBytes(in.readAll(), &error);
            for (const auto &entry : parsed.modules)
                file.types << entry.second->typeName;
        }
        found.append(file);
    }

    if (ctx.output.json()) {
        QJsonArray out;
        for (const Found &file : found)
            out.append(QJsonObject{{QStringLiteral("file"), file.path},
                                   {QStringLiteral("readable"), file.readable},
                                   {QStringLiteral("modules"), QJsonArray::fromStringList(file.types)}});
        ctx.output.document(QJsonObject{{QStringLiteral("userFolder"), DataFolders::userFolder(DataFolders::kDescriptions)},
                                        {QStringLiteral("descriptions"), out}});
        return ExitStatus::Success;
    }
    if (found.isEmpty()) {
        ctx.output.note(Texts::tr("no device descriptions (Xml folder) in %1").arg(DataFolders::roots().join(QLatin1String(", "))));
        return ExitStatus::Success;
    }
    QList<QStringList> rows{{Texts::tr("FILE"), Texts::tr("MODULES")}};
    for (const Found &file : found)
        rows.append({file.path, file.readable ? QString::number(file.types.size()) : Texts::tr("unreadable")});
    ctx.output.table(rows);
    return ExitStatus::Success;
}

int addDescription(Context &ctx)
{
    const QString source = ctx.arguments.first();
    const DescriptionImport::Outcome outcome =
        DescriptionImport::importDescription(source, DataFolders::userFolder(DataFolders::kDescriptions));
    if (!outcome.ok) {
        CliError error = CliError::usage(outcome.error);
        error.file = source;
        return ctx.output.fail(error);
    }
    if (ctx.output.json())
        ctx.output.document(QJsonObject{{QStringLiteral("imported"), outcome.destination}});
    else
        ctx.output.line(Texts::tr("%1 imported as %2").arg(source, outcome.destination));
    return ExitStatus::Success;
}

} // namespace commands
