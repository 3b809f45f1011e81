// The reference of bench_startup: a bare Qt main window, shown maximized as
// the tester's is, that reports its start-up phases the way the tester does
// (StartupTrace).

#include "StartupTrace.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    StartupTrace::mark("main");
    QApplication app(argc, argv);
    StartupTrace::mark("QApplication");
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("bare"));
    StartupTrace::mark("window built");
    window.showMaximized();
    StartupTrace::watchWindow(&window);
    return app.exec();
}
