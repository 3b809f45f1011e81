// Renders the topology of a bus file the way an adapter page shows it, to
// PNG files: the whole window at 1920 x 1080, zoomed in and zoomed out, and
// the same bus with every module twice (address collisions, capacity box).
//
//   build/bench/topology_png [bus.json] [output folder]
//
// Run from the repository root; defaults: sim/buses/demo.json, build/topology-png.

#include "TopologyBus.h"

#include <CouplerScene.h>
#include <GraphicsView.h>
#include <SVGManagement.h>
#include <SvgDevice.h>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QScrollBar>
#include <QStandardPaths>

#include <cstdio>

namespace {

void save(GraphicsView &view, const QString &file)
{
    QCoreApplication::processEvents();
    view.grab().save(file);
    std::printf("%s\n", qPrintable(file));
}

} // namespace

int main(int argc, char **argv)
{
    topologybus::preferOffscreen();
    QApplication app(argc, argv);
    // The checkout's descriptions, pictures and settings: what the user
    // imported or chose stays out (QStandardPaths' test mode).
    QStandardPaths::setTestModeEnabled(true);
    const QStringList args = app.arguments();
    const QString busFile = args.value(1, QStringLiteral("sim/buses/demo.json"));
    const QDir out(args.value(2, QStringLiteral("build/topology-png")));
    QDir().mkpath(out.path());

    const SlaveList slaves = topologybus::fromFile(busFile);
    if (slaves.isEmpty()) {
        std::fprintf(stderr, "no modules in %s\n", qPrintable(busFile));
        return 1;
    }
    const QString name = QFileInfo(busFile).baseName();

    SVGManagement svg;
    CouplerScene *scene = svg.createAdapterScene(0);
    GraphicsView view;
    view.setScene(scene);
    view.resize(1920, 1080);
    view.show();

    const auto toStart = [&view] {
        view.horizontalScrollBar()->setValue(view.horizontalScrollBar()->minimum());
        view.verticalScrollBar()->setValue(view.verticalScrollBar()->minimum());
    };
    svg.rebuildTopology(scene, slaves);
    toStart();
    save(view, out.filePath(name + "-1920x1080.png"));

    // Zoomed in by six wheel steps, on the adapter and the first modules.
    view.scale(1.1 * 1.1 * 1.1 * 1.1 * 1.1 * 1.1);
    toStart();
    save(view, out.filePath(name + "-zoom-in.png"));

    view.resetTransform();
    view.scale(0.9 * 0.9 * 0.9 * 0.9);
    toStart();
    save(view, out.filePath(name + "-zoom-out.png"));
    view.resetTransform();

    // Details in a window small enough to look at pixel for pixel: the
    // start of the bus as it is drawn at 1920 x 1080, then at three times
    // the size the adapter and the first modules, and the two row turns
    // when the bus has them.
    view.resize(960, 540);
    const auto detail = [&](const QString &what, QPointF centre) {
        view.centerOn(centre);
        save(view, out.filePath(name + "-detail-" + what + ".png"));
    };
    detail("actual-size", {480, 270});
    view.scale(3);
    detail("start", {240, 120});
    if (slaves.size() > 20)
        detail("right-turn", {1720, 260});
    if (slaves.size() > 40)
        detail("left-turn", {160, 490});
    view.resetTransform();
    view.resize(1920, 1080);

    // Every module twice: each station number red, and the capacity box
    // when the doubled bus exceeds the process image.
    SlaveList doubled = slaves;
    for (const SlaveSnapshot &slave : slaves)
        doubled.append(slave);
    svg.rebuildTopology(scene, doubled + doubled);
    toStart();
    save(view, out.filePath(name + "-collisions.png"));
    // The first lamp in its lit phase, close up.
    scene->slaveGroups().first()->lamp->setAttributeOnAll("path", "fill", SvgDevice::kLampLit);
    view.resize(960, 540);
    view.scale(3);
    view.centerOn(240, 120);
    save(view, out.filePath(name + "-collisions-detail.png"));
    return 0;
}
