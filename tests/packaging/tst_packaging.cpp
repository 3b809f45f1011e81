// The files the package installs beside the programs, against the
// programs: the udev rule names the adapters' USB ids and gives them to the
// user at the seat, the desktop entry and the AppStream data carry the
// window's desktop id, the changelog the version, and the completion every
// command and option of tarnbus-cli.

#include "AppIdentity.h"
#include "Commands.h"
#include "HidAccess.h"
#include "TestFiles.h"
#include "UsbGlobal.h"

#include <QDomDocument>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QtTest>

using testing_support::readAll;

namespace {

QString text(const QString &path)
{
    return QString::fromUtf8(readAll(path));
}

// The lines of a file that are not comments.
QStringList ruleLines(const QString &path)
{
    QStringList lines;
    for (const QString &line : text(path).split(QLatin1Char('\n'))) {
        if (!line.trimmed().isEmpty() && !line.trimmed().startsWith(QLatin1Char('#')))
            lines << line.trimmed();
    }
    return lines;
}

QString hex4(quint16 value)
{
    return QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0'));
}

} // namespace

class TestPackaging : public QObject
{
    Q_OBJECT

private slots:
    // The rule the programs name, matching the adapters' hidraw nodes only,
    // for the user at the seat, never for everybody.
    void udevRule()
    {
        const QString rule = QStringLiteral("packaging/") + QFileInfo(HidAccess::udevRule()).fileName();
        QVERIFY2(QFileInfo::exists(rule), qPrintable(rule));
        QCOMPARE(QFileInfo(HidAccess::udevRule()).path(), QStringLiteral("/usr/lib/udev/rules.d"));
        const QStringList lines = ruleLines(rule);
        QCOMPARE(lines.size(), 1);
        const QString line = lines.first();
        for (const QString &part : {QStringLiteral("SUBSYSTEM==\"hidraw\""),
                                    QStringLiteral("ATTRS{idVendor}==\"%1\"").arg(hex4(UsbGlobal::kVendorId)),
                                    QStringLiteral("ATTRS{idProduct}==\"%1\"").arg(hex4(UsbGlobal::kProductId)),
                                    QStringLiteral("TAG+=\"uaccess\"")})
            QVERIFY2(line.contains(part), qPrintable(part));
        QVERIFY(!line.contains(QStringLiteral("MODE")));
        QVERIFY(!line.contains(QStringLiteral("GROUP")));
    }

    void desktopEntry()
    {
        const QString path = QStringLiteral("packaging/%1.desktop").arg(AppIdentity::desktopId());
        QVERIFY2(QFileInfo::exists(path), qPrintable(path));
        QSettings entry(path, QSettings::IniFormat);
        entry.setIniCodec("UTF-8");
        entry.beginGroup(QStringLiteral("Desktop Entry"));
        QCOMPARE(entry.value(QStringLiteral("Exec")).toString(), QStringLiteral("tarnbus-tester"));
        QCOMPARE(entry.value(QStringLiteral("Icon")).toString(), AppIdentity::desktopId());
        QCOMPARE(entry.value(QStringLiteral("Type")).toString(), QStringLiteral("Application"));
        // QSettings reads the ";"-separated lists as they stand in the file.
        QVERIFY(text(path).contains(QStringLiteral("\nCategories=Development;Electronics;\n")));
        QVERIFY(text(path).contains(QStringLiteral("\nKeywords=TarnBUS;")));
        QVERIFY(QFileInfo::exists(QStringLiteral("packaging/icons/%1-48.png").arg(AppIdentity::desktopId())));
        QCOMPARE(QImage(QStringLiteral("packaging/icons/%1-48.png").arg(AppIdentity::desktopId())).size(), QSize(48, 48));
    }

    void appStream()
    {
        QDomDocument document;
        QVERIFY(document.setContent(readAll(QStringLiteral(TARNBUS_METAINFO))));
        const QDomElement component = document.documentElement();
        QCOMPARE(component.firstChildElement(QStringLiteral("id")).text(), AppIdentity::desktopId());
        QCOMPARE(component.firstChildElement(QStringLiteral("launchable")).text(), AppIdentity::desktopId() + QStringLiteral(".desktop"));
        QStringList provided;
        const QDomElement provides = component.firstChildElement(QStringLiteral("provides"));
        for (QDomElement e = provides.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
            provided << e.tagName() + QLatin1Char(':') + e.text();
        QCOMPARE(provided, (QStringList{QStringLiteral("binary:tarnbus-tester"), QStringLiteral("binary:tarnbus-cli"),
                                        QStringLiteral("modalias:usb:v%1p%2d*")
                                            .arg(hex4(UsbGlobal::kVendorId).toUpper(), hex4(UsbGlobal::kProductId).toUpper())}));
        QCOMPARE(component.firstChildElement(QStringLiteral("releases")).firstChildElement().attribute(QStringLiteral("version")),
                 QStringLiteral(TARNBUS_VERSION));
        QVERIFY(!component.firstChildElement(QStringLiteral("screenshots")).firstChildElement().isNull());
    }

    void changelogVersion()
    {
        const QString head = text(QStringLiteral("packaging/debian/changelog")).section(QLatin1Char('\n'), 0, 0);
        QCOMPARE(head, QStringLiteral("tarnbus-tester (" TARNBUS_VERSION ") unstable; urgency=medium"));
        QCOMPARE(AppIdentity::version(), QStringLiteral(TARNBUS_VERSION));
    }

    // The completion knows every command of tarnbus-cli and every option.
    void completionKnowsTheCommandLine()
    {
        const QString script = text(QStringLiteral("packaging/bash-completion/tarnbus-cli"));
        const QRegularExpression commandsLine(QStringLiteral("_tarnbus_cli_commands=\"([^\"]*)\""));
        const QStringList commands = commandsLine.match(script).captured(1).split(QLatin1Char(' '));
        for (const CommandSpec &spec : commandTable()) {
            QVERIFY2(commands.contains(spec.name), qPrintable(spec.name));
            for (const OptionSpec &option : spec.options) {
                for (const QString &name : option.names)
                    QVERIFY2(script.contains(QStringLiteral("--") + name), qPrintable(spec.name + QStringLiteral(" --") + name));
            }
        }
        QCOMPARE(commands.size(), commandTable().size() + 1); // and help
        for (const char *option : {"--adapter", "--bus", "--json", "--quiet", "--alignment", "--trace", "--help", "--version"})
            QVERIFY2(script.contains(QLatin1String(option)), option);
    }
};

QTEST_MAIN(TestPackaging)
#include "tst_packaging.moc"
