// The topology picture of an adapter's bus: where the modules and the row
// turns go, what each module group shows, the collision mark and the
// capacity box, and a picture without its templates.

#include "TopologyTestBus.h"

#include <Adapter.h>
#include <CouplerScene.h>
#include <DataFolders.h>
#include <SVGManagement.h>
#include <SvgDevice.h>
#include <TopologyLayout.h>

#include <QDir>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QUuid>
#include <QtTest>

using namespace topotest;

namespace {

// The pictures drawn from the template of this name (SVGManagement::k...).
QList<SvgDevice *> picturesFrom(QGraphicsScene *scene, const QString &name)
{
    const QString path = DataFolders::locate(name);
    QList<SvgDevice *> found;
    for (QGraphicsItem *item : scene->items(Qt::AscendingOrder)) {
        auto *device = dynamic_cast<SvgDevice *>(item);
        if (device && !path.isEmpty() && device->sourcePath() == path)
            found.append(device);
    }
    return found;
}

QList<QPointF> positionsOf(const QList<SvgDevice *> &devices)
{
    QList<QPointF> positions;
    for (const SvgDevice *device : devices)
        positions.append(device->scenePos());
    return positions;
}

SlaveList repeated(int count, const SlaveSnapshot &slave)
{
    SlaveList slaves;
    for (int i = 0; i < count; ++i)
        slaves.append(slave);
    return slaves;
}

quint32 capacity(int inputs, int outputs)
{
    return quint32(inputs) << 16 | quint32(outputs);
}

} // namespace

class TestTopologyLayout : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        testing_support::useTestFolders();
        loadDescriptions();
        m_bus = bus(61);
    }

    void modulePositions_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QPoint>("pos");
        QTest::newRow("first") << 0 << QPoint(160, 0);
        QTest::newRow("second") << 1 << QPoint(240, 0);
        QTest::newRow("end of row 1") << 19 << QPoint(1680, 0);
        QTest::newRow("row 2 starts under the end of row 1") << 20 << QPoint(1680, 230);
        QTest::newRow("row 2 runs leftwards") << 21 << QPoint(1600, 230);
        QTest::newRow("end of row 2") << 39 << QPoint(160, 230);
        QTest::newRow("row 3 starts under the end of row 2") << 40 << QPoint(160, 460);
        QTest::newRow("row 3 runs rightwards") << 41 << QPoint(240, 460);
        QTest::newRow("end of row 3") << 59 << QPoint(1680, 460);
        QTest::newRow("row 4") << 60 << QPoint(1680, 690);
    }

    void modulePositions()
    {
        QFETCH(int, index);
        QFETCH(QPoint, pos);
        SVGManagement svg;
        CouplerScene *scene = svg.createAdapterScene(0);
        svg.rebuildTopology(scene, m_bus);

        QCOMPARE(scene->itemCount(), m_bus.size());
        SlaveGroup *group = scene->slaveGroup(m_bus.at(index)->recordId);
        QVERIFY(group);
        QCOMPARE(group->index(), index);
        QCOMPARE(group->scenePos(), QPointF(pos));
    }

    void rowTurns()
    {
        SVGManagement svg;
        CouplerScene *scene = svg.createAdapterScene(0);
        svg.rebuildTopology(scene, m_bus);

        QCOMPARE(positionsOf(picturesFrom(scene, SVGManagement::kRightTurn)),
                 (QList<QPointF>{{1760, 0}, {1760, 460}}));
        QCOMPARE(positionsOf(picturesFrom(scene, SVGManagement::kLeftTurn)), (QList<QPointF>{{82, 230}}));
        QCOMPARE(positionsOf(picturesFrom(scene, SVGManagement::kBusLine)), (QList<QPointF>{{0, 78}}));
        QCOMPARE(positionsOf(picturesFrom(scene, SVGManagement::kAdapterPicture)), (QList<QPointF>{{0, 0}}));
        // The turns and the bus line meet the module pieces' rail.
        const QRectF right = picturesFrom(scene, SVGManagement::kRightTurn).first()->sceneBoundingRect();
        const QRectF left = picturesFrom(scene, SVGManagement::kLeftTurn).first()->sceneBoundingRect();
        QCOMPARE(right.left(), 1760.0);
        QCOMPARE(left.right(), 160.0);
        QVERIFY(right.bottom() >= 230 + SVGManagement::kBusLineY);
        QVERIFY(left.bottom() >= 460 + SVGManagement::kBusLineY);
    }

    void layoutStateOfTheScene()
    {
        SVGManagement svg;
        CouplerScene *scene = svg.createAdapterScene(0);
        QCOMPARE(scene->lastX(), 160);
        QCOMPARE(scene->lastY(), 0);
        QVERIFY(scene->rightwards());
        QVERIFY(!QUuid(scene->id()).isNull());
        QVERIFY(svg.createAdapterScene(0)->id() != scene->id());

        const QVector<quint8> usage = Adapter::occupancyMap(m_bus);
        for (int i = 0; i < 22; ++i)
            svg.addSlaveDevice(scene, i, i + 1, m_bus.at(i), usage);
        QCOMPARE(scene->itemCount(), 22);
        QCOMPARE(scene->lastX(), 1600);
        QCOMPARE(scene->lastY(), 230);
        QVERIFY(!scene->rightwards());

        svg.clearScene(scene);
        QCOMPARE(scene->items().size(), 0);
        QCOMPARE(scene->itemCount(), 0);
        QCOMPARE(scene->lastX(), 0);
        QCOMPARE(scene->lastY(), 0);
        QVERIFY(scene->rightwards());
    }

    void moduleGroup()
    {
        SVGManagement svg;
        CouplerScene *scene = svg.createAdapterScene(0);
        const SlaveSnapshot slave = module(kDI8, 42, {0, 8});
        SlaveGroup *group = svg.addSlaveDevice(scene, 0, 42, slave, Adapter::occupancyMap({slave}));
        QVERIFY(group);

        // Found in the working folder, as a checkout has them.
        QCOMPARE(group->line->sourcePath(), QStringLiteral("./SVG/line1.svg"));
        QCOMPARE(group->line->pos(), QPointF(0, 0));
        QCOMPARE(group->module->sourcePath(), QStringLiteral("./SVG/Digital/TB-DI8-N.svg"));
        QCOMPARE(group->module->pos(), QPointF(2, group->line->boundingRect().bottom() - 4));
        QCOMPARE(group->lamp->sourcePath(), QStringLiteral("./SVG/lamp.svg"));
        QCOMPARE(group->lamp->pos(), group->module->pos());
        QVERIFY(group->lamp->isLamp());
        QVERIFY(!group->module->isLamp());

        QCOMPARE(group->module->text("text", "name"), QStringLiteral("TB-DI8-N"));
        QCOMPARE(group->module->text("text", "number"), QStringLiteral("42"));
        QCOMPARE(group->module->mac(), uuidOf(42));
        QCOMPARE(group->lamp->attributeOfAll("path", "fill"), QStringList{SvgDevice::kLampOff});
        // What the module's renderer draws is the edited document.
        QVERIFY(group->module->renderer()->isValid());
        QVERIFY(group->module->svgBytes().contains(">42<"));
        QVERIFY(!group->handlesChildEvents());
        QVERIFY(!group->acceptHoverEvents());
    }

    // Pictures that show the same document draw from one renderer: the same
    // module on two pages, and lamps in the same state. An edit of one
    // gives it a renderer of its document and leaves the others as they were.
    void equalPicturesShareTheirRenderer()
    {
        SVGManagement svg;
        CouplerScene *first = svg.createAdapterScene(0);
        CouplerScene *second = svg.createAdapterScene(0);
        const SlaveList slaves{module(kDI8, 1, {0, 8}), module(kDI8, 2, {8, 8})};
        svg.rebuildTopology(first, slaves);
        svg.rebuildTopology(second, slaves);
        SvgDevice *one = svg.modulePicture(first, slaves.at(0)->recordId);
        SvgDevice *same = svg.modulePicture(second, slaves.at(0)->recordId);
        SvgDevice *other = svg.modulePicture(first, slaves.at(1)->recordId);
        QCOMPARE(one->renderer(), same->renderer());
        QVERIFY(one->renderer() != other->renderer()); // another station number
        QCOMPARE(svg.lampPicture(first, slaves.at(0)->recordId)->renderer(),
                 svg.lampPicture(second, slaves.at(1)->recordId)->renderer());

        same->setText("text", "number", "7");
        QVERIFY(one->renderer() != same->renderer());
        QCOMPARE(one->text("text", "number"), QStringLiteral("1"));
        QVERIFY(one->renderer()->isValid());
        QVERIFY(same->svgBytes().contains(">7<"));
        // Back to the same document, back to the same renderer.
        same->setText("text", "number", "1");
        QCOMPARE(one->renderer(), same->renderer());

        // A picture that goes takes nothing from the one that stays.
        svg.rebuildTopology(second, {});
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(one->renderer()->isValid());
        QCOMPARE(one->renderer()->defaultSize(), QSvgRenderer(one->svgBytes()).defaultSize());
    }

    void collisionMark_data()
    {
        QTest::addColumn<SlaveList>("slaves");
        QTest::addColumn<QList<bool>>("red");

        QTest::newRow("separate inputs") << SlaveList{module(kDI8, 1, {0, 8}), module(kDI8, 2, {8, 8})}
                                         << QList<bool>{false, false};
        QTest::newRow("overlapping inputs") << SlaveList{module(kDI8, 1, {0, 8}), module(kDI16, 2, {7, 16})}
                                            << QList<bool>{true, true};
        QTest::newRow("overlapping outputs") << SlaveList{module(kDO8, 1, {}, {100, 8}), module(kDO8, 2, {}, {104, 8})}
                                             << QList<bool>{true, true};
        QTest::newRow("input and output at the same address")
            << SlaveList{module(kDI8, 1, {0, 8}), module(kDO8, 2, {}, {0, 8})} << QList<bool>{false, false};
        QTest::newRow("empty window on used bits")
            << SlaveList{module(kDI16, 1, {0, 16}), module(kDI8, 2, {4, 0}), module(kDI8, 3, {4, 8})}
            << QList<bool>{true, false, true};
        QTest::newRow("input window past bit 511") << SlaveList{module(kDI16, 1, {500, 16}), module(kDI8, 2, {0, 8})}
                                                   << QList<bool>{true, false};
        QTest::newRow("output window past bit 511") << SlaveList{module(kDO8, 1, {}, {508, 8})}
                                                    << QList<bool>{true};
        QTest::newRow("window ending at bit 511") << SlaveList{module(kDI16, 1, {496, 16})} << QList<bool>{false};
    }

    void collisionMark()
    {
        QFETCH(SlaveList, slaves);
        QFETCH(QList<bool>, red);
        SVGManagement svg;
        CouplerScene *scene = svg.createAdapterScene(0);
        svg.rebuildTopology(scene, slaves);
        for (int i = 0; i < slaves.size(); ++i) {
            const QString fill = svg.modulePicture(scene, slaves.at(i)->recordId)->attribute("text", "number", "fill");
            QCOMPARE(fill == SVGManagement::kCollisionFill, red.at(i));
        }
    }

    // The usage table is read only where it has counters.
    void collisionMarkWithAShortUsageTable()
    {
        const SlaveSnapshot slave = module(kDIO8, 1, {504, 8}, {504, 8});
        QVERIFY(!TopologyLayout::windowCollides(QVector<quint8>(), slave->ioWindow));
        QVERIFY(!TopologyLayout::windowCollides(QVector<quint8>(600, 1), slave->ioWindow));
        QVERIFY(TopologyLayout::windowCollides(QVector<quint8>(1024, 2), slave->ioWindow));
    }

    void capacityBox_data()
    {
        QTest::addColumn<quint32>("capacity");
        QTest::addColumn<QString>("visibility");
        QTest::addColumn<QString>("warning");
        QTest::newRow("nothing") << capacity(0, 0) << "hidden" << QString();
        QTest::newRow("512 each") << capacity(512, 512) << "hidden" << QString();
        QTest::newRow("513 inputs") << capacity(513, 512) << "visible" << QString("输入内存超限");
        QTest::newRow("513 outputs") << capacity(512, 513) << "visible" << QString("输出内存超限");
        QTest::newRow("513 both") << capacity(513, 513) << "visible" << QString("输入(出)内存超限");
        QTest::newRow("largest") << capacity(0xFFFF, 0) << "visible" << QString("输入内存超限");
    }

    void capacityBox()
    {
        QFETCH(quint32, capacity);
        QFETCH(QString, visibility);
        QFETCH(QString, warning);
        SVGManagement svg;
        CouplerScene *scene = svg.createAdapterScene(capacity);
        const QList<SvgDevice *> boxes = picturesFrom(scene, SVGManagement::kCapacityPicture);
        QCOMPARE(boxes.size(), 1);
        SvgDevice *box = boxes.first();
        QCOMPARE(box->scenePos(), QPointF(0, 230));
        QCOMPARE(box->attribute("rect", "mess", "visibility"), visibility);
        QCOMPARE(box->attribute("text", "tmess", "visibility"), visibility);
        if (!warning.isEmpty())
            QCOMPARE(box->text("text", "tmess"), warning);
        QCOMPARE(SVGManagement::capacityWarning(capacity), warning);
    }

    void capacityOfABus_data()
    {
        QTest::addColumn<SlaveList>("slaves");
        QTest::addColumn<quint32>("capacity");
        QTest::newRow("demonstration kinds") << bus(4) << capacity(8 + 16 + 8, 8 + 8);
        QTest::newRow("64 DI8, 512 bits") << repeated(64, module(kDI8, 1, {0, 8})) << capacity(512, 0);
        QTest::newRow("a module without description")
            << SlaveList{module(kDI8, 1, {0, 8}), changed(module(kDI8, 2, {8, 8}), [](SlaveState &s) { s.described = false; })}
            << capacity(8, 0);
        // 32 × 2032 + 512 bits would wrap round to 0 in 16 bits.
        SlaveList many = repeated(32, module(kAI8, 1, {0, 127}));
        many.append(module(kAI8, 2, {0, 32}));
        QTest::newRow("beyond 16 bits") << many << capacity(0xFFFF, 0);
    }

    void capacityOfABus()
    {
        QFETCH(SlaveList, slaves);
        QFETCH(quint32, capacity);
        QCOMPARE(SVGManagement::capacityOf(slaves), capacity);
    }

    void rebuildShowsTheCapacityOfTheBus()
    {
        const SlaveList slaves = repeated(33, module(kDI16, 1, {0, 16}));
        SVGManagement svg;
        CouplerScene *scene = svg.createAdapterScene(0);
        svg.rebuildTopology(scene, slaves);
        const QList<SvgDevice *> boxes = picturesFrom(scene, SVGManagement::kCapacityPicture);
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes.first()->attribute("rect", "mess", "visibility"), QStringLiteral("visible"));
        QCOMPARE(boxes.first()->text("text", "tmess"), QStringLiteral("输入内存超限"));
    }

    void rebuildReplacesThePicture()
    {
        SVGManagement svg;
        CouplerScene *scene = svg.createAdapterScene(0);
        svg.rebuildTopology(scene, m_bus);
        const QRectF large = scene->sceneRect();
        svg.rebuildTopology(scene, m_bus.mid(0, 3));
        QCOMPARE(scene->itemCount(), 3);
        QCOMPARE(scene->slaveGroups().size(), 3);
        QCOMPARE(picturesFrom(scene, SVGManagement::kAdapterPicture).size(), 1);
        QCOMPARE(picturesFrom(scene, SVGManagement::kCapacityPicture).size(), 1);
        QVERIFY(picturesFrom(scene, SVGManagement::kRightTurn).isEmpty());
        QVERIFY(scene->sceneRect().width() < large.width() / 2);
        QVERIFY(scene->sceneRect().contains(scene->itemsBoundingRect()));
    }

    void unknownModuleUsesTheFallbackPicture()
    {
        SVGManagement svg;
        CouplerScene *scene = svg.createAdapterScene(0);
        const SlaveSnapshot slave = module(kUnknown, 9);
        svg.rebuildTopology(scene, {slave});
        SvgDevice *picture = svg.modulePicture(scene, slave->recordId);
        QVERIFY(picture->renderer()->isValid());
        QCOMPARE(picture->text("text", "number"), QStringLiteral("9"));
    }

    void missingTemplatesLeaveEmptyPictures()
    {
        const SlaveSnapshot lost = changed(module(kDI8, 3, {0, 8}), [](SlaveState &s) { s.imagePath = "SVG/Digital/none.svg"; });
        QTemporaryDir empty;
        QVERIFY(empty.isValid());
        const QString source = QDir::currentPath();
        for (const bool withTemplates : {true, false}) {
            if (!withTemplates)
                QVERIFY(QDir::setCurrent(empty.path()));
            SVGManagement svg;
            CouplerScene *scene = svg.createAdapterScene(capacity(600, 600));
            svg.rebuildTopology(scene, SlaveList{lost} + m_bus.mid(0, 22));
            SvgDevice *picture = svg.modulePicture(scene, lost->recordId);
            QVERIFY(picture);
            QVERIFY(picture->sourcePath().isEmpty());
            QVERIFY(picture->boundingRect().isEmpty());
            QVERIFY(picture->text("text", "number").isEmpty());
            QCOMPARE(scene->itemCount(), 23);
            QCOMPARE(scene->slaveGroup(m_bus.at(20)->recordId)->scenePos(), QPointF(1600, 230));
            svg.onCloseAllLamps();
            QCOMPARE(!svg.lampPicture(scene, lost->recordId)->boundingRect().isEmpty(), withTemplates);
        }
        QVERIFY(QDir::setCurrent(source));
    }

    // A manager draws only on the scenes it made.
    void sceneOfAnotherPage()
    {
        SVGManagement mine;
        SVGManagement other;
        CouplerScene *scene = other.createAdapterScene(0);
        const int before = scene->items().size();
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("not a scene of this page"));
        QVERIFY(!mine.addSlaveDevice(scene, 0, 1, m_bus.first(), {}));
        CouplerScene loose;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("not a scene of this page"));
        mine.rebuildTopology(&loose, m_bus);
        QCOMPARE(scene->items().size(), before);
        QVERIFY(loose.items().isEmpty());
    }

private:
    SlaveList m_bus;
};

QTEST_MAIN(TestTopologyLayout)
#include "tst_topology_layout.moc"
