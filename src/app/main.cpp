// The TarnBUS tester: the main window.

#include "MainWindow.h"

#include <QApplication>
#include <QLoggingCategory>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TarnBUSTesterTool"));
    QApplication::setApplicationVersion(QStringLiteral(TARNBUS_VERSION));
    QLoggingCategory::setFilterRules(QStringLiteral("tarnbus.*.debug=false"));
    MainWindow window;
    window.showMaximized();
    return app.exec();
}
