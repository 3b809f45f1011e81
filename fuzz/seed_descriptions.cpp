// Writes the description files of the given folders as plain XML text, each
// whole and each of its modules as a document of its own: the seeds of the
// description targets. Small documents keep the fuzzer fast.
//
//   seed_descriptions <output folder> <folder> ...

#include <ScrambledXml.h>

#include <QDir>
#include <QDomDocument>
#include <QFile>

#include <cstdio>

namespace {

bool write(const QString &path, const QByteArray &bytes)
{
    QFile out(path);
    return out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size();
}

// One document per Module element of text, under a copy of its TarnBus element.
QList<QByteArray> moduleDocuments(const QByteArray &text)
{
    QList<QByteArray> documents;
    QDomDocument whole;
    if (!whole.setContent(text))
        return documents;
    const QDomNodeList buses = whole.elementsByTagName(QStringLiteral("TarnBus"));
    for (int b = 0; b < buses.size(); ++b) {
        const QDomElement bus = buses.at(b).toElement();
        for (QDomElement module = bus.firstChildElement(QStringLiteral("Module")); !module.isNull();
             module = module.nextSiblingElement(QStringLiteral("Module"))) {
            QDomDocument single;
            QDomElement info = single.createElement(QStringLiteral("TarnBusInfo"));
            single.appendChild(info);
            QDomElement copy = single.importNode(bus.cloneNode(false), true).toElement();
            info.appendChild(copy);
            copy.appendChild(single.importNode(module, true));
            documents.append(single.toByteArray(1));
        }
    }
    return documents;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <output folder> <folder> ...\n", argv[0]);
        return 2;
    }
    const QString output = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(output);
    int written = 0;
    for (int i = 2; i < argc; ++i) {
        const QDir folder(QString::fromLocal8Bit(argv[i]));
        for (const QFileInfo &entry : folder.entryInfoList({QStringLiteral("*.xml")}, QDir::Files, QDir::Name)) {
            QFile in(entry.filePath());
            if (!in.open(QIODevice::ReadOnly))
                return 1;
            const QByteArray text = ScrambledXml::xmlText(in.readAll());
            const QString stem = QStringLiteral("%1/%2-%3").arg(output, folder.dirName(), entry.completeBaseName());
            if (!write(stem + QStringLiteral(".xml"), text))
                return 1;
            ++written;
            const QList<QByteArray> modules = moduleDocuments(text);
            for (int m = 0; m < modules.size(); ++m) {
                if (!write(QStringLiteral("%1-module%2.xml").arg(stem).arg(m, 3, 10, QLatin1Char('0')), modules[m]))
                    return 1;
                ++written;
            }
        }
    }
    std::printf("%d description texts in %s\n", written, argv[1]);
    return written > 0 ? 0 : 1;
}
