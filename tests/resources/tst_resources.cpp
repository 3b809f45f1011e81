// The compiled-in images: every image the window is built with, and every
// ":/image/..." path the sources under src/ name, exists in tarnbus_resources and
// loads at the size it is shown. The sources are read at run time (the working
// directory is the repository root), so code added later is covered too.

#include "TarnBusResources.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QPixmap>
#include <QRegularExpression>
#include <QSet>
#include <QTextStream>
#include <QtTest>

namespace {

const QString kPrefix = QStringLiteral(":/image/");

// How an image is shown, which fixes the size it has to load at.
enum class Use {
    Action,   // tool bar and menu icon: a 32-unit drawing, 64 pixels as PNG
    TreeIcon, // project tree entry: a 24-unit drawing, 48 pixels as PNG
    Lamp,     // bus status lamp, a label's background image: exactly 20 pixels
    State,    // message box and module state: 48 pixels
    Locate,   // locating lamp of a module tile: exactly 24 pixels
    App,      // the window icon: 256 pixels
};

struct Listed
{
    const char *name;
    Use use;
};

// Every image the main window, the project tree and the module tiles are built with.
const Listed kListed[] = {
    {"help.svg", Use::Action},        {"about.svg", Use::Action},      {"create.svg", Use::Action},
    {"force.png", Use::Action},       {"exit.svg", Use::Action},       {"save.png", Use::Action},
    {"Configure.png", Use::Action},   {"update.svg", Use::Action},     {"input.svg", Use::Action},
    {"dload1.svg", Use::Action},      {"bit.png", Use::Action},        {"Byte.png", Use::Action},
    {"uforce.png", Use::Action},      {"set.png", Use::Action},        {"compare.png", Use::Action},
    {"uallocation.png", Use::Action}, {"auto.png", Use::Action},       {"execl.png", Use::Action},
    {"macexecl.png", Use::Action},    {"upload.png", Use::Action},     {"wait.png", Use::Action},
    {"create.png", Use::Action},      {"swap.png", Use::Action},       {"update.png", Use::Action},
    {"dload.png", Use::Action},       {"del.png", Use::Action},        {"edit.png", Use::Action},
    {"adapter.png", Use::TreeIcon},   {"mslave.png", Use::TreeIcon},   {"force.svg", Use::TreeIcon},
    {"0.png", Use::Lamp},             {"1.png", Use::Lamp},
    {"slave.png", Use::State},        {"abnormal.png", Use::State},    {"online.png", Use::State},
    {"unslave.png", Use::State},      {"slave_off.png", Use::State},   {"slave_undef.png", Use::State},
    {"slave_unxx.png", Use::State},   {"csvSet.png", Use::State},      {"brush.svg", Use::State},
    {"LON.png", Use::Locate},         {"LOFF.png", Use::Locate},
    {"app.svg", Use::App},            {"app.png", Use::App},
};

// The pixel size a PNG is rendered at, and the size it is drawn at on screen.
QSize pngSize(Use use)
{
    switch (use) {
    case Use::Action: return QSize(64, 64);
    case Use::TreeIcon: return QSize(48, 48);
    case Use::Lamp: return QSize(20, 20);
    case Use::State: return QSize(48, 48);
    case Use::Locate: return QSize(24, 24);
    case Use::App: return QSize(256, 256);
    }
    return QSize();
}

QSize shownSize(Use use)
{
    switch (use) {
    case Use::Action: return QSize(32, 32);
    case Use::TreeIcon: return QSize(24, 24);
    case Use::Lamp: return QSize(20, 20);
    case Use::State: return QSize(48, 48);
    case Use::Locate: return QSize(24, 24);
    case Use::App: return QSize(64, 64);
    }
    return QSize();
}

// A ":/image/..." reference in a source file: the image name as written (with a
// %1-style placeholder when the name is built at run time) and where it stands.
struct Reference
{
    QString name;
    QString where;
};

QVector<Reference> referencesIn(const QString &text, const QString &fileName)
{
    static const QRegularExpression pattern(QStringLiteral(":/image/([^\"'<>()\\s;,\\\\]*)"));
    QVector<Reference> references;
    QRegularExpressionMatchIterator it = pattern.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        const int line = text.leftRef(match.capturedStart()).count(QLatin1Char('\n')) + 1;
        references.append({match.captured(1), QStringLiteral("%1:%2").arg(fileName).arg(line)});
    }
    return references;
}

QStringList resourceNames()
{
    return QDir(kPrefix).entryList(QDir::Files, QDir::Name);
}

// Why the image does not load as a pixmap and as an icon of `size`, or an empty
// string. An icon is never scaled up, so one drawn smaller than `size` loads at its
// own size.
QString loadProblem(const QString &name, const QSize &size)
{
    const QString path = kPrefix + name;
    if (!QFile::exists(path))
        return QStringLiteral("not in the resources");
    const QPixmap pixmap(path);
    if (pixmap.isNull())
        return QStringLiteral("does not load as a pixmap");
    const QSize expected = pixmap.size().boundedTo(size);
    const QPixmap shown = QIcon(path).pixmap(size);
    if (shown.isNull() || shown.size() != expected)
        return QStringLiteral("does not load as an icon of %1×%2").arg(expected.width()).arg(expected.height());
    return QString();
}

// The size an image is shown at: known for the listed ones, a menu icon's otherwise.
QSize shownSizeOf(const QString &name)
{
    for (const Listed &listed : kListed) {
        if (name == QLatin1String(listed.name))
            return shownSize(listed.use);
    }
    return QSize(32, 32);
}

// How far apart two images of the same size are: the mean difference per channel.
double meanDifference(const QImage &a, const QImage &b)
{
    const QImage left = a.convertToFormat(QImage::Format_ARGB32);
    const QImage right = b.convertToFormat(QImage::Format_ARGB32);
    double total = 0;
    for (int y = 0; y < left.height(); ++y) {
        for (int x = 0; x < left.width(); ++x) {
            const QRgb p = left.pixel(x, y);
            const QRgb q = right.pixel(x, y);
            total += qAbs(qRed(p) - qRed(q)) + qAbs(qGreen(p) - qGreen(q)) + qAbs(qBlue(p) - qBlue(q))
                     + qAbs(qAlpha(p) - qAlpha(q));
        }
    }
    return total / (4.0 * left.width() * left.height());
}

} // namespace

class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void listedImage_data();
    void listedImage();
    void referenceExtraction_data();
    void referenceExtraction();
    void sourceReferences();
    void everyImageIsUsed();
    void statesLookDifferent_data();
    void statesLookDifferent();
};

void TestResources::initTestCase()
{
    initTarnBusResources();
    initTarnBusResources(); // a second call is harmless
    QVERIFY2(QDir(kPrefix).exists(), "the resource folder :/image is missing");
    QVERIFY2(QDir(QStringLiteral("src")).exists(), "run from the repository root: src/ is not here");
}

void TestResources::listedImage_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("use");
    for (const Listed &listed : kListed)
        QTest::newRow(listed.name) << QString::fromLatin1(listed.name) << int(listed.use);
}

void TestResources::listedImage()
{
    QFETCH(QString, name);
    QFETCH(int, use);
    const Use how = Use(use);
    const QString path = kPrefix + name;
    QVERIFY2(QFile::exists(path), qPrintable(path + QStringLiteral(" is not in the resources")));

    QImageReader reader(path);
    QVERIFY2(reader.canRead(), qPrintable(path + QStringLiteral(": ") + reader.errorString()));
    if (name.endsWith(QLatin1String(".png"))) {
        QCOMPARE(reader.format(), QByteArray("png"));
        QCOMPARE(reader.size(), pngSize(how));
    } else {
        QCOMPARE(reader.format(), QByteArray("svg"));
    }

    const QString problem = loadProblem(name, shownSize(how));
    QVERIFY2(problem.isEmpty(), qPrintable(path + QStringLiteral(": ") + problem));

    // Icons are drawn on a transparent ground: no corner may be painted.
    const QImage image = QIcon(path).pixmap(shownSize(how)).toImage().convertToFormat(QImage::Format_ARGB32);
    const int last = image.width() - 1;
    for (const QPoint corner : {QPoint(0, 0), QPoint(last, 0), QPoint(0, last), QPoint(last, last)})
        QVERIFY2(qAlpha(image.pixel(corner)) == 0, qPrintable(path + QStringLiteral(" has an opaque corner")));
}

void TestResources::referenceExtraction_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("code") << QStringLiteral("act->setIcon(QIcon(\":/image/save.png\"));") << QStringList{"save.png"};
    QTest::newRow("literal") << QStringLiteral("QIcon(QStringLiteral(\":/image/help.svg\"))") << QStringList{"help.svg"};
    QTest::newRow("designer icon") << QStringLiteral("<iconset resource=\"../../resources/resources.qrc\">\n"
                                                     "<normaloff>:/image/bit.png</normaloff>:/image/bit.png</iconset>")
                                   << QStringList{"bit.png", "bit.png"};
    QTest::newRow("style sheet") << QStringLiteral("setStyleSheet(\"border-image: url(:/image/0.png);\")")
                                 << QStringList{"0.png"};
    QTest::newRow("qrc url") << QStringLiteral("QUrl(\"qrc:/image/app.svg\")") << QStringList{"app.svg"};
    QTest::newRow("built name") << QStringLiteral("QString(\":/image/%1.png\").arg(on ? 0 : 1)")
                                << QStringList{"%1.png"};
    QTest::newRow("joined name") << QStringLiteral("QString(\":/image/\") + name") << QStringList{""};
    QTest::newRow("two") << QStringLiteral("a(\":/image/LON.png\"); b(\":/image/LOFF.png\");")
                         << QStringList{"LON.png", "LOFF.png"};
    QTest::newRow("none") << QStringLiteral("QIcon(\":/images/other.png\")") << QStringList{};
}

void TestResources::referenceExtraction()
{
    QFETCH(QString, text);
    QFETCH(QStringList, names);
    QStringList found;
    for (const Reference &reference : referencesIn(text, QStringLiteral("sample")))
        found << reference.name;
    QCOMPARE(found, names);
}

void TestResources::sourceReferences()
{
    const QStringList available = resourceNames();
    QStringList problems;
    int checked = 0;
    QDirIterator files(QStringLiteral("src"), {"*.cpp", "*.h", "*.ui"}, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString fileName = files.next();
        QFile file(fileName);
        QVERIFY2(file.open(QIODevice::ReadOnly | QIODevice::Text), qPrintable(fileName));
        for (const Reference &reference : referencesIn(QString::fromUtf8(file.readAll()), fileName)) {
            ++checked;
            if (reference.name.isEmpty()) {
                qInfo("%s: an image name joined at run time is not checked", qPrintable(reference.where));
            } else if (reference.name.contains(QLatin1Char('%'))) {
                // A name with %1-style placeholders must match at least one image.
                QStringList parts = reference.name.split(QRegularExpression(QStringLiteral("%\\d+")));
                for (QString &part : parts)
                    part = QRegularExpression::escape(part);
                const QRegularExpression name(QRegularExpression::anchoredPattern(parts.join(QStringLiteral(".+"))));
                if (available.filter(name).isEmpty())
                    problems << reference.where + QStringLiteral(": no image matches ") + kPrefix + reference.name;
            } else {
                const QString problem = loadProblem(reference.name, shownSizeOf(reference.name));
                if (!problem.isEmpty())
                    problems << reference.where + QStringLiteral(": ") + kPrefix + reference.name + QStringLiteral(" ") + problem;
            }
        }
    }
    qInfo("%d image references under src/", checked);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
}

void TestResources::everyImageIsUsed()
{
    QSet<QString> used;
    for (const Listed &listed : kListed)
        used.insert(QString::fromLatin1(listed.name));
    QDirIterator files(QStringLiteral("src"), {"*.cpp", "*.h", "*.ui"}, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        for (const Reference &reference : referencesIn(QString::fromUtf8(file.readAll()), file.fileName()))
            used.insert(reference.name);
    }
    QStringList unused;
    for (const QString &name : resourceNames()) {
        if (!used.contains(name))
            unused << name;
    }
    QVERIFY2(unused.isEmpty(), qPrintable(QStringLiteral("images nothing uses: ") + unused.join(QStringLiteral(", "))));
}

void TestResources::statesLookDifferent_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::newRow("alignment") << "bit.png" << "Byte.png";
    QTest::newRow("status lamp") << "0.png" << "1.png";
    QTest::newRow("locating lamp") << "LON.png" << "LOFF.png";
    QTest::newRow("force") << "force.png" << "uforce.png";
    const QStringList states{"slave.png", "unslave.png", "slave_off.png", "slave_undef.png", "slave_unxx.png", "csvSet.png"};
    for (int i = 0; i < states.size(); ++i) {
        for (int j = i + 1; j < states.size(); ++j)
            QTest::newRow(qPrintable(states[i] + QLatin1Char('/') + states[j])) << states[i] << states[j];
    }
}

void TestResources::statesLookDifferent()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    const QImage a(kPrefix + first);
    const QImage b(kPrefix + second);
    QVERIFY(!a.isNull() && !b.isNull());
    QCOMPARE(a.size(), b.size());
    // An average of 4 levels per channel is far above rendering noise and far below
    // what the pairs differ by when drawn apart.
    const double difference = meanDifference(a, b);
    QVERIFY2(difference > 4.0, qPrintable(QStringLiteral("%1 and %2 hardly differ (%3)").arg(first, second).arg(difference)));
}

int main(int argc, char *argv[])
{
    // Nothing here is put on a screen, and Qt 5.15's offscreen platform never frees
    // its screen, which the sanitizer build's leak check reports: the minimal
    // platform serves and frees everything.
    qputenv("QT_QPA_PLATFORM", "minimal");
    QGuiApplication app(argc, argv);
    TestResources test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_resources.moc"
