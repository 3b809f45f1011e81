// Renders the compiled-in images from their SVG sources.
//
//   render_icons render <resources-dir>
//       reads <resources-dir>/icons/icons.list, renders every PNG it names into
//       <resources-dir>/image/ at the listed pixel size and writes
//       <resources-dir>/resources.qrc, which serves each image as ":/image/<name>".
//   render_icons png <source.svg> <pixels> <out.png>
//       renders one SVG as a square PNG (the desktop icon of the package).
//   render_icons sheet <resources-dir> <out.png> [zoom]
//       draws every listed image as shipped on one contact sheet, with its name, its
//       pixel size and how it looks at 32, 24 and 16 pixels; zoom > 1 enlarges the
//       finished sheet pixel for pixel, for a close look.
//
// The PNGs and the resource file are committed: the build never renders. Run it
// through tools/render_icons.sh after changing an SVG or the list.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSvgRenderer>
#include <QTextStream>
#include <QVector>

#include <algorithm>
#include <cstdio>

namespace {

// One line of icons.list: the resource name, its SVG source in icons/ and the pixel
// size of the PNG (0 when the SVG itself is served).
struct Entry
{
    QString group;
    QString name;
    QString source;
    int size = 0;
};

constexpr int kPreview = 64;                    // the large rendition on the sheet
constexpr int kSmallSizes[] = {32, 24, 16};     // menu, tree and toolbar sizes
constexpr int kCellWidth = 168;
constexpr int kCellHeight = 112;
constexpr int kColumns = 6;
constexpr int kGroupHeight = 30;
constexpr int kMargin = 16;

void fail(const QString &message)
{
    std::fprintf(stderr, "render_icons: %s\n", qPrintable(message));
}

bool readList(const QString &resourcesDir, QVector<Entry> *entries)
{
    QFile file(resourcesDir + QStringLiteral("/icons/icons.list"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        fail(file.fileName() + QStringLiteral(": ") + file.errorString());
        return false;
    }
    QString group;
    int lineNumber = 0;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        ++lineNumber;
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            group = line.mid(1, line.size() - 2);
            continue;
        }
        const QStringList fields = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        bool sizeOk = false;
        const int size = fields.value(2).toInt(&sizeOk);
        const bool served = fields.value(2) == QLatin1String("svg");
        if (fields.size() != 3 || (!served && (!sizeOk || size <= 0))
            || served != fields[0].endsWith(QLatin1String(".svg"))) {
            fail(QStringLiteral("icons.list:%1: expected \"<name> <source.svg> <pixels|svg>\"").arg(lineNumber));
            return false;
        }
        entries->append({group, fields[0], fields[1], served ? 0 : size});
    }
    return true;
}

QImage renderSvg(QSvgRenderer &renderer, int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform | QPainter::TextAntialiasing);
    renderer.render(&painter, QRectF(0, 0, size, size));
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

bool writeQrc(const QString &resourcesDir, const QVector<Entry> &entries)
{
    QSaveFile file(resourcesDir + QStringLiteral("/resources.qrc"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        fail(file.fileName() + QStringLiteral(": ") + file.errorString());
        return false;
    }
    QTextStream out(&file);
    out << "<!DOCTYPE RCC>\n"
           "<!-- Written by tools/render_icons.sh from icons/icons.list; edit the list, not this file. -->\n"
           "<RCC version=\"1.0\">\n"
           "    <qresource prefix=\"/image\">\n";
    for (const Entry &entry : entries) {
        const QString file = entry.size == 0 ? QStringLiteral("icons/") + entry.source : QStringLiteral("image/") + entry.name;
        out << "        <file alias=\"" << entry.name << "\">" << file << "</file>\n";
    }
    out << "    </qresource>\n"
           "</RCC>\n";
    out.flush();
    return file.commit();
}

int render(const QString &resourcesDir)
{
    QVector<Entry> entries;
    if (!readList(resourcesDir, &entries))
        return 1;
    QDir().mkpath(resourcesDir + QStringLiteral("/image"));
    for (const Entry &entry : entries) {
        const QString source = resourcesDir + QStringLiteral("/icons/") + entry.source;
        QSvgRenderer renderer(source);
        if (!renderer.isValid()) {
            fail(source + QStringLiteral(": not a valid SVG"));
            return 1;
        }
        if (renderer.viewBoxF().width() != renderer.viewBoxF().height()) {
            fail(source + QStringLiteral(": the view box is not square"));
            return 1;
        }
        if (entry.size == 0)
            continue;
        QSaveFile file(resourcesDir + QStringLiteral("/image/") + entry.name);
        if (!file.open(QIODevice::WriteOnly) || !renderSvg(renderer, entry.size).save(&file, "PNG") || !file.commit()) {
            fail(file.fileName() + QStringLiteral(": cannot write"));
            return 1;
        }
    }
    if (!writeQrc(resourcesDir, entries))
        return 1;
    std::printf("rendered %d images into %s/image\n", int(entries.size()), qPrintable(resourcesDir));
    return 0;
}

int png(const QString &source, int size, const QString &outPath)
{
    QSvgRenderer renderer(source);
    if (!renderer.isValid() || size <= 0) {
        fail(source + QStringLiteral(": not a valid SVG, or no size"));
        return 1;
    }
    QSaveFile file(outPath);
    if (!file.open(QIODevice::WriteOnly) || !renderSvg(renderer, size).save(&file, "PNG") || !file.commit()) {
        fail(outPath + QStringLiteral(": cannot write"));
        return 1;
    }
    std::printf("rendered %s at %d pixels into %s\n", qPrintable(source), size, qPrintable(outPath));
    return 0;
}

// The image as shipped, and a rendition at `size` pixels the way QIcon produces it:
// a PNG is scaled smoothly, an SVG is drawn at that size.
struct Shipped
{
    QImage image;
    QString svgPath;

    QImage at(int size) const
    {
        if (!svgPath.isEmpty()) {
            QSvgRenderer renderer(svgPath);
            return renderSvg(renderer, size);
        }
        if (image.width() <= size && image.height() <= size)
            return image;
        return image.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
};

int sheet(const QString &resourcesDir, const QString &outPath, int zoom)
{
    QVector<Entry> entries;
    if (!readList(resourcesDir, &entries))
        return 1;

    QStringList groups;
    for (const Entry &entry : entries) {
        if (!groups.contains(entry.group))
            groups.append(entry.group);
    }
    int rows = 0;
    for (const QString &group : groups) {
        const int count = int(std::count_if(entries.begin(), entries.end(), [&](const Entry &e) { return e.group == group; }));
        rows += (count + kColumns - 1) / kColumns;
    }
    const int width = 2 * kMargin + kColumns * kCellWidth;
    const int height = 2 * kMargin + int(groups.size()) * kGroupHeight + rows * kCellHeight;

    QImage sheetImage(width, height, QImage::Format_ARGB32_Premultiplied);
    sheetImage.fill(Qt::white);
    QPainter painter(&sheetImage);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    QFont nameFont(QStringLiteral("DejaVu Sans"));
    nameFont.setPixelSize(12);
    QFont noteFont = nameFont;
    noteFont.setPixelSize(10);
    QFont groupFont = nameFont;
    groupFont.setPixelSize(14);
    groupFont.setBold(true);

    int y = kMargin;
    for (const QString &group : groups) {
        painter.setFont(groupFont);
        painter.setPen(QColor(0x37, 0x47, 0x4F));
        painter.drawText(QRect(kMargin, y, width - 2 * kMargin, kGroupHeight), Qt::AlignLeft | Qt::AlignVCenter, group);
        painter.setPen(QColor(0xCF, 0xD8, 0xDC));
        painter.drawLine(kMargin, y + kGroupHeight - 4, width - kMargin, y + kGroupHeight - 4);
        y += kGroupHeight;
        int column = 0;
        for (const Entry &entry : entries) {
            if (entry.group != group)
                continue;
            Shipped shipped;
            QString sizeNote;
            if (entry.size == 0) {
                shipped.svgPath = resourcesDir + QStringLiteral("/icons/") + entry.source;
                sizeNote = QStringLiteral("SVG");
            } else {
                shipped.image = QImage(resourcesDir + QStringLiteral("/image/") + entry.name);
                if (shipped.image.isNull()) {
                    fail(entry.name + QStringLiteral(": missing, run render first"));
                    return 1;
                }
                sizeNote = QStringLiteral("%1×%2").arg(shipped.image.width()).arg(shipped.image.height());
            }
            const int x = kMargin + column * kCellWidth;
            const QImage large = shipped.at(kPreview);
            painter.drawImage(x + 8 + (kPreview - large.width()) / 2, y + 6 + (kPreview - large.height()) / 2, large);
            // 32 above, 24 and 16 side by side below it.
            const int smallX = x + 8 + kPreview + 10;
            painter.drawImage(smallX, y + 6, shipped.at(kSmallSizes[0]));
            painter.drawImage(smallX, y + 6 + 36, shipped.at(kSmallSizes[1]));
            painter.drawImage(smallX + 28, y + 6 + 36, shipped.at(kSmallSizes[2]));
            painter.setPen(QColor(0x26, 0x32, 0x38));
            painter.setFont(nameFont);
            painter.drawText(QRect(x, y + kPreview + 14, kCellWidth - 8, 16), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral(" ") + entry.name);
            painter.setPen(QColor(0x78, 0x90, 0x9C));
            painter.setFont(noteFont);
            painter.drawText(QRect(x, y + kPreview + 30, kCellWidth - 8, 14), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral(" ") + sizeNote);
            if (++column == kColumns) {
                column = 0;
                y += kCellHeight;
            }
        }
        if (column != 0)
            y += kCellHeight;
    }
    painter.end();

    QImage finished = sheetImage.convertToFormat(QImage::Format_RGB32);
    if (zoom > 1)
        finished = finished.scaled(finished.size() * zoom, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    QDir().mkpath(QFileInfo(outPath).absolutePath());
    if (!finished.save(outPath, "PNG")) {
        fail(outPath + QStringLiteral(": cannot write"));
        return 1;
    }
    std::printf("contact sheet of %d images: %s\n", int(entries.size()), qPrintable(outPath));
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QLatin1String("render"))
        return render(args[2]);
    if (args.size() == 5 && args[1] == QLatin1String("png"))
        return png(args[2], args[3].toInt(), args[4]);
    if ((args.size() == 4 || args.size() == 5) && args[1] == QLatin1String("sheet"))
        return sheet(args[2], args[3], args.value(4, QStringLiteral("1")).toInt());
    std::fprintf(stderr,
                 "usage: render_icons render <resources-dir>\n"
                 "       render_icons png <source.svg> <pixels> <out.png>\n"
                 "       render_icons sheet <resources-dir> <out.png> [zoom]\n");
    return 2;
}
