// Rebuilding the topology of the 128-module bus (clear, adapter, 128 module
// groups, capacity) against the floor of loading the module pictures into
// an SVG renderer 128 times: again over the previous build (a reload of the
// bus, whose pictures the new build shares), and with no picture drawn
// before. Goal: at most 1.3 x the floor. Run from the repository root.

#include "TopologyBus.h"

#include <CouplerScene.h>
#include <SVGManagement.h>
#include <SvgTemplateCache.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <QSvgRenderer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kRuns = 25;

struct Figures {
    double first = 0;
    double median = 0;
    double best = 0;
};

Figures measure(const std::function<void()> &run, const std::function<void()> &before = {})
{
    std::vector<double> ms;
    for (int i = 0; i < kRuns; ++i) {
        if (before)
            before();
        QElapsedTimer timer;
        timer.start();
        run();
        ms.push_back(timer.nsecsElapsed() / 1e6);
    }
    Figures f;
    f.first = ms.front();
    std::sort(ms.begin(), ms.end());
    f.median = ms[ms.size() / 2];
    f.best = ms.front();
    return f;
}

} // namespace

int main(int argc, char **argv)
{
    topologybus::preferOffscreen();
    QApplication app(argc, argv);
    // The checkout's descriptions, pictures and settings: what the user
    // imported or chose stays out (QStandardPaths' test mode).
    QStandardPaths::setTestModeEnabled(true);

    const SlaveList slaves = topologybus::fromFile(QStringLiteral("sim/buses/full128.json"));
    if (slaves.size() != 128) {
        std::fprintf(stderr, "run from the repository root: sim/buses/full128.json, ./Xml and ./SVG are needed\n");
        return 1;
    }

    // The floor: every module's picture loaded into a renderer of its own.
    const Figures floor = measure([&] {
        for (const SlaveSnapshot &slave : slaves) {
            QSvgRenderer renderer;
            renderer.load(slave->imagePath);
        }
    });

    SVGManagement svg;
    CouplerScene *scene = svg.createAdapterScene(0);
    SvgTemplateCache::instance().clear();
    const Figures rebuild = measure([&] {
        svg.rebuildTopology(scene, slaves);
        // The pictures of the previous build go with it.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    });

    // The same with nothing drawn before: the previous build is gone first
    // (untimed), so that no module picture is there to be shared.
    const Figures cold = measure(
        [&] { svg.rebuildTopology(scene, slaves); },
        [&] {
            svg.clearScene(scene);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        });
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    std::printf("128 module pictures into a renderer (floor): median %.2f ms, best %.2f ms, first %.2f ms\n",
                floor.median, floor.best, floor.first);
    std::printf("rebuild of the 128-module topology:          median %.2f ms, best %.2f ms, first %.2f ms "
                "(templates read)\n",
                rebuild.median, rebuild.best, rebuild.first);
    std::printf("rebuild with no picture drawn before:        median %.2f ms, best %.2f ms\n", cold.median, cold.best);
    std::printf("rebuild / floor (medians): %.2f, with no picture drawn before %.2f   goal: <= 1.3\n",
                rebuild.median / floor.median, cold.median / floor.median);
    std::printf("scene items: %d, module groups: %d\n", int(scene->items().size()), scene->itemCount());
    return 0;
}
