// The TarnBUS tester: the main window.

#include "AppIdentity.h"
#include "DataFolders.h"
#include "Language.h"
#include "MainWindow.h"
#include "StartupTrace.h"
#include "VirtualAdapterLauncher.h"
#include "WindowCommandLine.h"

#include <QAction>
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
    StartupTrace::mark("main");
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

    // The window draws with Qt's raster engine only: on X11 the OpenGL
    // drivers need not be loaded for its first window, tens of milliseconds
    // of the start. Set only for that window (the integration is chosen once,
    // when the first window is made), so that programs started from here
    // get the environment as it was; a choice of the user's wins.
    const bool withoutOpenGl = !qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION");
    if (withoutOpenGl)
        qputenv("QT_XCB_GL_INTEGRATION", "none");
    QApplication app(argc, argv);
    StartupTrace::mark("QApplication");
    AppIdentity::apply();
    Language::apply(Language::startup(line.language));
    StartupTrace::mark("language");
    QGuiApplication::setDesktopFileName(AppIdentity::desktopId());
    QLoggingCategory::setFilterRules(QStringLiteral("tarnbus.*.debug=false"));
    MainWindow window;
    if (line.demo)
        window.setVirtualAdapter(VirtualAdapterLauncher::busFile());
    StartupTrace::mark("window built");
    window.showMaximized();
    if (withoutOpenGl)
        qunsetenv("QT_XCB_GL_INTEGRATION");
    // TARNBUS_STARTUP_TRACE=scan: "新建工程" once the window is drawn, as a
    // user would begin, to time the first scan of the bus as well.
    QAction *newProject = window.findChild<QAction *>(QStringLiteral("action_5"));
    StartupTrace::watchWindow(&window, [newProject] {
        if (newProject && qgetenv("TARNBUS_STARTUP_TRACE") == "scan")
            newProject->trigger();
    });
    return app.exec();
}
