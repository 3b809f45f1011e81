// Writes every description file of the given folders as plain XML text:
// the seed inputs of targets that take the text rather than the stored form.
//
//   seed_unscramble <output folder> <folder> ...

#include <ScrambledXml.h>

#include <QDir>
#include <QFile>

#include <cstdio>

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
            QFile out(QStringLiteral("%1/%2-%3").arg(output, folder.dirName(), entry.fileName()));
            if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly))
                return 1;
            out.write(ScrambledXml::xmlText(in.readAll()));
            ++written;
        }
    }
    std::printf("%d description texts in %s\n", written, argv[1]);
    return written > 0 ? 0 : 1;
}
