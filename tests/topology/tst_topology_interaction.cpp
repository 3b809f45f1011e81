// What the user does with the topology: presses, double-clicks and hovering
// on the pictures, the locating lamps, zooming with the wheel and panning;
// and that each page's reports reach only that page's listeners.

#include "TopologyTestBus.h"

#include <CouplerScene.h>
#include <GraphicsView.h>
#include <SVGManagement.h>
#include <SvgDevice.h>
#include <SvgDocument.h>

#include <QSignalSpy>
#include <QtTest>

#include <memory>

using namespace topotest;

namespace {

// One adapter page: its manager, scene and view.
struct Page {
    explicit Page(const SlaveList &slaves)
        : bus(slaves)
    {
        scene = svg.createAdapterScene(0);
        svg.rebuildTopology(scene, bus);
        view.setScene(scene);
        view.resize(800, 600);
        view.show();
    }

    SvgDevice *module(int i) { return svg.modulePicture(scene, bus.at(i)->recordId); }
    SvgDevice *lamp(int i) { return svg.lampPicture(scene, bus.at(i)->recordId); }
    // Where a point of a picture is in the viewport.
    QPoint at(const QGraphicsItem *item, QPointF local) { return view.mapFromScene(item->mapToScene(local)); }
    QPoint onLamp(int i) { return at(lamp(i), {12, 12}); }
    QPoint onModule(int i) { return at(module(i), {38, 70}); }

    void press(QPoint pos, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mousePress(view.viewport(), button, Qt::NoModifier, pos);
        QTest::mouseRelease(view.viewport(), button, Qt::NoModifier, pos);
    }
    // As the window system delivers it: press, release, double-click, release.
    void doubleClick(QPoint pos)
    {
        press(pos);
        QTest::mouseDClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, pos);
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, Qt::NoModifier, pos);
    }
    void move(QPoint pos, Qt::MouseButtons buttons = Qt::NoButton)
    {
        QMouseEvent event(QEvent::MouseMove, pos, view.viewport()->mapToGlobal(pos), Qt::NoButton, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(view.viewport(), &event);
    }
    void wheel(int delta)
    {
        const QPoint pos = view.viewport()->rect().center();
        QWheelEvent event(QPointF(pos), QPointF(view.viewport()->mapToGlobal(pos)), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view.viewport(), &event);
    }
    QPointF centre() { return view.mapToScene(view.viewport()->rect().center()); }

    SlaveList bus;
    SVGManagement svg;
    CouplerScene *scene = nullptr;
    GraphicsView view;
};

using Requests = QList<QPair<quint64, bool>>;

Requests requestsOf(const QSignalSpy &spy)
{
    Requests requests;
    for (const QList<QVariant> &args : spy)
        requests.append({args.at(0).value<quint64>(), args.at(1).toBool()});
    return requests;
}

bool allAre(const QStringList &fills, const QString &fill)
{
    return !fills.isEmpty() && fills.count(fill) == fills.size();
}

bool allPaths(const SvgDevice *lamp, const QString &fill)
{
    return allAre(lamp->attributeOfAll("path", "fill"), fill);
}

} // namespace

class TestTopologyInteraction : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        testing_support::useTestFolders();
        loadDescriptions();
        m_bus = {module(kDI8, 1, {0, 8}), module(kDO8, 2, {}, {0, 8}), module(kDI16, 3, {8, 16})};
    }

    void pressOnPictures()
    {
        Page page(m_bus);
        QVERIFY(QTest::qWaitForWindowExposed(&page.view));
        QSignalSpy clicks(&page.svg, &SVGManagement::sigClickEvent);

        page.press(page.onModule(1));
        page.press(page.at(page.scene->items(Qt::AscendingOrder).first(), {75, 150})); // the adapter
        QCOMPARE(clicks.size(), 2);
        QCOMPARE(clicks.at(0).at(0).toByteArray(), uuidOf(2));
        QCOMPARE(clicks.at(1).at(0).toByteArray(), QByteArray());
    }

    void doubleClickOnAModule()
    {
        Page page(m_bus);
        QVERIFY(QTest::qWaitForWindowExposed(&page.view));
        QSignalSpy opens(&page.svg, &SVGManagement::sigOpenIoTest);
        QSignalSpy doubleClicks(&page.svg, &SVGManagement::sigDoubleClickEvent);

        page.doubleClick(page.onModule(2));
        QCOMPARE(opens.size(), 1);
        QCOMPARE(opens.first().at(0).value<quint64>(), m_bus.at(2)->recordId);
        QCOMPARE(opens.first().at(1).toString(), QStringLiteral("站号:3  类型:TB-DI16-P"));
        QCOMPARE(doubleClicks.size(), 1);
        QCOMPARE(doubleClicks.first().at(0).toString(), QString::fromLatin1(uuidOf(3)));
    }

    void hoveringAModule()
    {
        Page page(m_bus);
        QVERIFY(QTest::qWaitForWindowExposed(&page.view));
        QSignalSpy hover(&page.svg, &SVGManagement::sigHoverEnterEvent);
        page.move(page.onModule(0));
        page.move(page.at(page.module(0), {38, -60})); // above the rail: nothing there
        QCOMPARE(hover.size(), 2);
        QCOMPARE(hover.at(0).at(0).toBool(), true);
        QCOMPARE(hover.at(1).at(0).toBool(), false);
    }

    void lampPresses_data()
    {
        QTest::addColumn<int>("forced");
        QTest::addColumn<int>("presses");
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("blinking");
        QTest::addColumn<QList<bool>>("requests");
        QTest::newRow("one press starts blinking") << 0 << 1 << int(Qt::LeftButton) << true << QList<bool>{true};
        QTest::newRow("a second press stops it") << 0 << 2 << int(Qt::LeftButton) << false << QList<bool>{true, false};
        QTest::newRow("three presses") << 0 << 3 << int(Qt::LeftButton) << true << QList<bool>{true, false, true};
        QTest::newRow("forced slave") << 1 << 1 << int(Qt::LeftButton) << false << QList<bool>{};
        QTest::newRow("right button") << 0 << 1 << int(Qt::RightButton) << false << QList<bool>{};
    }

    void lampPresses()
    {
        QFETCH(int, forced);
        QFETCH(int, presses);
        QFETCH(int, button);
        QFETCH(bool, blinking);
        QFETCH(QList<bool>, requests);
        Page page(m_bus);
        QVERIFY(QTest::qWaitForWindowExposed(&page.view));
        page.svg.onUpdateSlave(changed(m_bus.at(1), [forced](SlaveState &s) { s.forcedState = forced; }));
        QSignalSpy lampRequests(&page.svg, &SVGManagement::sigLampRequest);
        QSignalSpy closeOthers(&page.svg, &SVGManagement::sigCloseLamp);
        QSignalSpy lampClicks(page.lamp(1), &SvgDevice::sigClickEvent);

        for (int i = 0; i < presses; ++i)
            page.press(page.onLamp(1), Qt::MouseButton(button));

        SvgDevice *lamp = page.lamp(1);
        QCOMPARE(lampClicks.size(), presses);
        QCOMPARE(lamp->isBlinking(), blinking);
        QVERIFY(allPaths(lamp, SvgDevice::kLampOff));
        Requests expected;
        for (bool on : requests)
            expected.append({m_bus.at(1)->recordId, on});
        QCOMPARE(requestsOf(lampRequests), expected);
        QCOMPARE(closeOthers.size(), requests.size());
        for (const QList<QVariant> &args : closeOthers)
            QCOMPARE(args.at(0).toByteArray(), uuidOf(2));
    }

    void blinking()
    {
        Page page(m_bus);
        QVERIFY(QTest::qWaitForWindowExposed(&page.view));
        QSignalSpy lampRequests(&page.svg, &SVGManagement::sigLampRequest);
        SvgDevice *lamp = page.lamp(0);
        page.press(page.onLamp(0));
        QVERIFY(lamp->isBlinking());

        // Each lit phase asks for the lamp again.
        lamp->onUpdateLampStatus();
        QVERIFY(lamp->isLit());
        QVERIFY(allPaths(lamp, QStringLiteral("#e53935")));
        lamp->onUpdateLampStatus();
        QVERIFY(!lamp->isLit());
        QVERIFY(allPaths(lamp, SvgDevice::kLampOff));
        lamp->onUpdateLampStatus();
        QVERIFY(allPaths(lamp, QStringLiteral("#e53935")));
        QCOMPARE(lampRequests.size(), 3);

        // Pressed while lit: dark and still.
        page.press(page.onLamp(0));
        QVERIFY(!lamp->isBlinking());
        QVERIFY(!lamp->isLit());
        QVERIFY(allPaths(lamp, SvgDevice::kLampOff));
        QCOMPARE(requestsOf(lampRequests).last(), qMakePair(m_bus.at(0)->recordId, false));
        // What is drawn is dark too.
        QVERIFY(allAre(SvgDocument(SvgTemplate::parse(lamp->svgBytes())).attributeOfAll("path", "fill"), SvgDevice::kLampOff));
    }

    void blinkingEndsWhenTheSlaveIsForced()
    {
        Page page(m_bus);
        QVERIFY(QTest::qWaitForWindowExposed(&page.view));
        page.press(page.onLamp(0));
        page.lamp(0)->onUpdateLampStatus();
        QVERIFY(page.lamp(0)->isLit());
        QSignalSpy lampRequests(&page.svg, &SVGManagement::sigLampRequest);

        page.svg.onUpdateSlaves({changed(m_bus.at(0), [](SlaveState &s) { s.forcedState = 1; })});
        page.lamp(0)->onUpdateLampStatus();
        page.lamp(0)->onUpdateLampStatus();
        QVERIFY(!page.lamp(0)->isBlinking());
        QVERIFY(allPaths(page.lamp(0), SvgDevice::kLampOff));
        QVERIFY(lampRequests.isEmpty());
    }

    void doubleClickOnALampSwitchesItOnce()
    {
        Page page(m_bus);
        QVERIFY(QTest::qWaitForWindowExposed(&page.view));
        QSignalSpy lampRequests(&page.svg, &SVGManagement::sigLampRequest);
        page.doubleClick(page.onLamp(2));
        QVERIFY(page.lamp(2)->isBlinking());
        QCOMPARE(requestsOf(lampRequests), (Requests{{m_bus.at(2)->recordId, true}}));
    }

    void closingLamps()
    {
        Page page(m_bus);
        QVERIFY(QTest::qWaitForWindowExposed(&page.view));
        const auto blinkAll = [&] {
            for (int i = 0; i < m_bus.size(); ++i) {
                if (!page.lamp(i)->isBlinking())
                    page.press(page.onLamp(i));
                page.lamp(i)->onUpdateLampStatus();
            }
        };
        const auto blinking = [&] {
            QList<bool> states;
            for (int i = 0; i < m_bus.size(); ++i)
                states.append(page.lamp(i)->isBlinking() && !allPaths(page.lamp(i), SvgDevice::kLampOff));
            return states;
        };
        QSignalSpy lampRequests(&page.svg, &SVGManagement::sigLampRequest);

        blinkAll();
        page.svg.onCloseOtherLamps(uuidOf(2));
        QCOMPARE(blinking(), (QList<bool>{false, true, false}));

        page.svg.onCloseLamp(m_bus.at(1)->recordId);
        QCOMPARE(blinking(), (QList<bool>{false, false, false}));

        blinkAll();
        page.svg.onCloseAllLamps();
        QCOMPARE(blinking(), (QList<bool>{false, false, false}));
        // Closing asks nothing of the adapter: only presses and lit phases do.
        QCOMPARE(lampRequests.size(), 3 + 3 + 3 + 3);
    }

    // Each page's reports reach that page's listeners only.
    void twoPagesKeepTheirReportsApart()
    {
        Page a(m_bus);
        Page b({module(kDI8, 1, {0, 8}), module(kDO8, 2, {}, {0, 8})});
        QVERIFY(QTest::qWaitForWindowExposed(&a.view));
        QVERIFY(QTest::qWaitForWindowExposed(&b.view));
        const auto spies = [](SVGManagement &svg) {
            std::vector<std::unique_ptr<QSignalSpy>> list;
            list.emplace_back(new QSignalSpy(&svg, &SVGManagement::sigClickEvent));
            list.emplace_back(new QSignalSpy(&svg, &SVGManagement::sigDoubleClickEvent));
            list.emplace_back(new QSignalSpy(&svg, &SVGManagement::sigCloseLamp));
            list.emplace_back(new QSignalSpy(&svg, &SVGManagement::sigHoverEnterEvent));
            list.emplace_back(new QSignalSpy(&svg, &SVGManagement::sigLampRequest));
            list.emplace_back(new QSignalSpy(&svg, &SVGManagement::sigOpenIoTest));
            return list;
        };
        const auto counts = [](const std::vector<std::unique_ptr<QSignalSpy>> &list) {
            QList<int> n;
            for (const auto &spy : list)
                n.append(spy->size());
            return n;
        };
        const auto spiesA = spies(a.svg);
        const auto spiesB = spies(b.svg);

        a.move(a.onModule(0));
        a.press(a.onModule(0));
        a.doubleClick(a.onModule(1));
        a.press(a.onLamp(1));
        a.lamp(1)->onUpdateLampStatus();

        // clicks (the press, the double-click's first press), double-click,
        // lamp switched and lit, hover (into module 0, over to module 1 and
        // to lamp 1), the lamp requests, IO test
        QCOMPARE(counts(spiesA), (QList<int>{2, 1, 2, 5, 2, 1}));
        QCOMPARE(counts(spiesB), (QList<int>{0, 0, 0, 0, 0, 0}));

        // A lamp on one page is not closed by the other page.
        b.press(b.onLamp(1));
        a.svg.onCloseAllLamps();
        QVERIFY(b.lamp(1)->isBlinking());
        QVERIFY(!a.lamp(1)->isBlinking());
    }

    // A listener may redraw the topology while a picture reports a press.
    void redrawFromAReport()
    {
        Page page(m_bus);
        QVERIFY(QTest::qWaitForWindowExposed(&page.view));
        connect(&page.svg, &SVGManagement::sigClickEvent, &page.svg,
                [&page] { page.svg.rebuildTopology(page.scene, page.bus); });
        connect(&page.svg, &SVGManagement::sigLampRequest, &page.svg,
                [&page] { page.svg.rebuildTopology(page.scene, page.bus); });
        const QPoint lamp = page.onLamp(0);
        page.press(page.onModule(0));
        page.press(lamp);
        page.doubleClick(page.onModule(1));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(page.scene->slaveGroups().size(), m_bus.size());
        QVERIFY(!page.lamp(0)->isBlinking());
    }

    void wheelZoom()
    {
        Page page(m_bus);
        QCOMPARE(page.view.transform().m11(), 1.0);
        for (int i = 0; i < 3; ++i)
            page.wheel(-120);
        QVERIFY(qFuzzyCompare(page.view.transform().m11(), 0.9 * 0.9 * 0.9));
        QVERIFY(qFuzzyCompare(page.view.transform().m22(), 0.9 * 0.9 * 0.9));
        page.wheel(120);
        QVERIFY(qFuzzyCompare(page.view.transform().m11(), 0.9 * 0.9 * 0.9 * 1.1));
        QVERIFY(qFuzzyCompare(page.view.transform().m22(), 0.9 * 0.9 * 0.9 * 1.1));
    }

    void panning_data()
    {
        QTest::addColumn<qreal>("scale");
        QTest::addColumn<bool>("onPicture");
        QTest::newRow("background") << 1.0 << false;
        QTest::newRow("background, zoomed in") << 2.0 << false;
        QTest::newRow("background, zoomed out") << 0.9 << false;
        QTest::newRow("on a module picture") << 1.0 << true;
    }

    void panning()
    {
        QFETCH(qreal, scale);
        QFETCH(bool, onPicture);
        // Two rows and a half: the third row leaves background to its right.
        Page page(bus(45));
        page.view.resize(400, 300);
        QVERIFY(QTest::qWaitForWindowExposed(&page.view));
        page.view.scale(scale);
        const QPointF target = onPicture ? page.module(30)->mapToScene(38, 70) : QPointF(1100, 500);
        page.view.centerOn(target);
        QSignalSpy clicks(&page.svg, &SVGManagement::sigClickEvent);

        const QPoint start = page.view.mapFromScene(target);
        QVERIFY(page.view.viewport()->rect().contains(start));
        QCOMPARE(page.scene->itemAt(target, page.view.transform()) != nullptr, onPicture);
        const QPointF before = page.centre();
        QTest::mousePress(page.view.viewport(), Qt::LeftButton, Qt::NoModifier, start);
        QVERIFY(page.view.isPanning());
        QCOMPARE(page.view.viewport()->cursor().shape(), Qt::ClosedHandCursor);
        const QPoint travel(60, 40);
        page.move(start + travel / 2, Qt::LeftButton);
        page.move(start + travel, Qt::LeftButton);
        QTest::mouseRelease(page.view.viewport(), Qt::LeftButton, Qt::NoModifier, start + travel);
        QVERIFY(!page.view.isPanning());
        QCOMPARE(page.view.viewport()->cursor().shape(), Qt::ArrowCursor);

        // The picture followed the mouse.
        const QPointF moved = page.centre() - before;
        QVERIFY2(qAbs(moved.x() + travel.x() / scale) <= 1.5 && qAbs(moved.y() + travel.y() / scale) <= 1.5,
                 qPrintable(QStringLiteral("moved by %1, %2").arg(moved.x()).arg(moved.y())));
        QCOMPARE(clicks.size(), onPicture ? 1 : 0);
    }

    void pressWithoutAScene()
    {
        GraphicsView view;
        view.resize(200, 100);
        QTest::mousePress(view.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
        QVERIFY(!view.isPanning());
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
        QCOMPARE(view.viewport()->cursor().shape(), Qt::ArrowCursor);
    }

private:
    SlaveList m_bus;
};

QTEST_MAIN(TestTopologyInteraction)
#include "tst_topology_interaction.moc"
