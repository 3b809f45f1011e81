// The window's own command line: --help, --version and --demo [BUS], read
// before the application object exists; Qt's options pass through.

#include "WindowCommandLine.h"

#include <QtTest>

using Action = WindowCommandLine::Action;

class TestAppCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void parse_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("action");
        QTest::addColumn<bool>("demo");
        QTest::addColumn<QString>("bus");
        QTest::addColumn<QString>("language");
        QTest::newRow("nothing") << QStringList{} << int(Action::RunWindow) << false << "" << QString();
        QTest::newRow("Qt's options") << QStringList{"-platform", "offscreen", "-style", "fusion"} << int(Action::RunWindow)
                                      << false << "" << QString();
        QTest::newRow("--demo") << QStringList{"--demo"} << int(Action::RunWindow) << true << "" << QString();
        QTest::newRow("--demo BUS") << QStringList{"--demo", "my.json"} << int(Action::RunWindow) << true << "my.json" << QString();
        QTest::newRow("--demo=BUS") << QStringList{"--demo=my.json"} << int(Action::RunWindow) << true << "my.json" << QString();
        QTest::newRow("--demo, then a Qt option") << QStringList{"--demo", "-platform", "offscreen"} << int(Action::RunWindow)
                                                  << true << "" << QString();
        QTest::newRow("a Qt option, then --demo BUS") << QStringList{"-platform", "offscreen", "--demo", "a.json"}
                                                      << int(Action::RunWindow) << true << "a.json" << QString();
        QTest::newRow("--demo= without a file") << QStringList{"--demo="} << int(Action::Fail) << true << "" << QString();
        QTest::newRow("--help") << QStringList{"--help"} << int(Action::ShowHelp) << false << "" << QString();
        QTest::newRow("-h after --demo") << QStringList{"--demo", "-h"} << int(Action::ShowHelp) << true << "" << QString();
        QTest::newRow("--version") << QStringList{"--version"} << int(Action::ShowVersion) << false << "" << QString();
        QTest::newRow("--lang en") << QStringList{"--lang", "en"} << int(Action::RunWindow) << false << "" << "en";
        QTest::newRow("--lang=zh with --demo") << QStringList{"--demo", "--lang=zh"} << int(Action::RunWindow) << true << ""
                                               << "zh";
        QTest::newRow("--lang fr") << QStringList{"--lang", "fr"} << int(Action::Fail) << false << "" << "fr";
        QTest::newRow("--lang without a value") << QStringList{"--lang"} << int(Action::Fail) << false << "" << QString();
    }
    void parse()
    {
        QFETCH(QStringList, args);
        QFETCH(int, action);
        QFETCH(bool, demo);
        QFETCH(QString, bus);
        QFETCH(QString, language);
        const WindowCommandLine line = WindowCommandLine::parse(QStringList{"tarnbus-tester"} + args);
        QCOMPARE(int(line.action), action);
        QCOMPARE(line.demo, demo);
        QCOMPARE(line.demoBus, bus);
        QCOMPARE(line.language, language);
        QCOMPARE(line.error.isEmpty(), action != int(Action::Fail));
    }

    // The help is what the manual page is made of: a usage line, every
    // option, the exit status.
    void help()
    {
        const QString help = WindowCommandLine::helpText();
        QVERIFY(help.startsWith(QStringLiteral("Usage: tarnbus-tester ")));
        for (const char *option : {"--demo [BUS]", "--lang zh|en", "-h, --help", "--version", "Exit status:"})
            QVERIFY2(help.contains(QLatin1String(option)), option);
        QCOMPARE(WindowCommandLine::versionText(), QStringLiteral("tarnbus-tester " TARNBUS_VERSION "\n"));
    }
};

QTEST_MAIN(TestAppCommandLine)
#include "tst_app_commandline.moc"
