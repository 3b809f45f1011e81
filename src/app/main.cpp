// The TarnBUS tester: the main window.

#include "AppIdentity.h"
#include "DataFolders.h"
#include "Language.h"
#include "MainWindow.h"
#include "VirtualAdapterLauncher.h"
#include "WindowCommandLine.h"

#include <QApplication>
#include <QLoggingCategory>

#include <cstdio>

namespace {

constexpr int kBadUsage = 2;

QStringList argumentList(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

int fail(const QString &message)
{
    std::fprintf(stderr, "tarnbus-tester: %s\n", message.toLocal8Bit().constData());
    return kBadUsage;
}

} // namespace

int main(int argc, char *argv[])
{
    const WindowCommandLine line = WindowCommandLine::parse(argumentList(argc, argv));
    switch (line.action) {
    case WindowCommandLine::Action::ShowHelp:
        std::fputs(WindowCommandLine::helpText().toLocal8Bit().constData(), stdout);
        return 0;
    case WindowCommandLine::Action::ShowVersion:
        std::fputs(WindowCommandLine::versionText().toLocal8Bit().constData(), stdout);
        return 0;
    case WindowCommandLine::Action::Fail:
        return fail(line.error);
    case WindowCommandLine::Action::RunWindow:
        break;
    }
    if (line.demo && !VirtualAdapterLauncher::isRunning()) {
        const QString bus = line.demoBus.isEmpty() ? DataFolders::demoBus() : line.demoBus;
        if (bus.isEmpty())
            return fail(WindowCommandLine::tr("--demo: the demonstration bus (buses/demo.json) is in none of %1")
                            .arg(DataFolders::roots().join(QLatin1String(", "))));
        return fail(QStringLiteral("--demo: ") + VirtualAdapterLauncher::restart(argv, bus));
    }

    QApplication app(argc, argv);
    AppIdentity::apply();
    Language::apply(Language::startup(line.language));
    QGuiApplication::setDesktopFileName(AppIdentity::desktopId());
    QLoggingCategory::setFilterRules(QStringLiteral("tarnbus.*.debug=false"));
    MainWindow window;
    if (line.demo)
        window.setVirtualAdapter(VirtualAdapterLauncher::busFile());
    window.showMaximized();
    return app.exec();
}
