// Importing device descriptions and module pictures from the main window
// ("导入XML文件") into the user's data folder, in a working folder with
// copies of the library, and the library reload while an adapter creates
// its slaves.

#include "AppHarness.h"
#include "TestFiles.h"

#include "DataFolders.h"
#include "DeviceXmlLodaing.h"
#include "CreateModel.h"
#include "ProductView.h"
#include "ScrambledXml.h"
#include "XMLConfig.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QTreeWidget>

using namespace apph;

using testing_support::readAll;
using testing_support::writeFile;

namespace {

const QString kFamily = QStringLiteral("tests/fixtures/xml/TestFamily.xml");
const QString kImported = QStringLiteral("提示|导入XML文件成功！");
const QString kPicturesAdded = QStringLiteral("提示|      图片添加完成！    ");

// Where imports land: the user's data folder.
QString userFile(const QString &name)
{
    return DataFolders::userFolder(QString()) + name;
}

// "file: modules" of every loaded description.
QStringList library()
{
    QStringList out;
    for (const DescriptionFilePtr &file : DeviceXmlLodaing::instance()->files())
        out << QStringLiteral("%1: %2").arg(file->fileName).arg(file->modules.size());
    return out;
}

QStringList topRows(const XMLConfig *dialog)
{
    QStringList out;
    QTreeWidget *tree = dialog->tree();
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = tree->topLevelItem(i);
        out << item->text(0) + QLatin1Char('|') + item->text(1) + QLatin1Char('|') + item->text(2);
    }
    return out;
}

QPushButton *button(const QWidget *dialog, const char *name)
{
    return dialog->findChild<QPushButton *>(QLatin1String(name));
}

XMLConfig *openImport(MainWindow &window)
{
    window.findChild<QAction *>(QStringLiteral("action_13"))->trigger();
    return waitForTopLevel<XMLConfig>();
}

// Picks a description file with "打开文件" and imports it.
bool importDescription(XMLConfig *dialog, const QString &path)
{
    QTest::mouseClick(button(dialog, "pushButton"), Qt::LeftButton);
    if (answerFileDialog({path}) != QStringLiteral("Config file|(*.xml)"))
        return false;
    if (dialog->findChild<QLineEdit *>(QStringLiteral("lineEdit"))->text() != QDir::toNativeSeparators(path))
        return false;
    QTest::mouseClick(button(dialog, "pushButton_2"), Qt::LeftButton);
    return true;
}

// A click on "Add Image" of a description's row.
bool clickAddImage(XMLConfig *dialog, const QString &fileName)
{
    const QList<QTreeWidgetItem *> rows = dialog->tree()->findItems(fileName, Qt::MatchExactly);
    if (rows.isEmpty())
        return false;
    QTreeWidget *tree = dialog->tree();
    const QRect cell = tree->visualItemRect(rows.first());
    const int x = tree->header()->sectionViewportPosition(XMLConfig::kAddImageColumn) + 4;
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, QPoint(x, cell.center().y()));
    return true;
}

// "Add Image", then the pictures; "caption|filters" of the file dialog.
QString addPictures(XMLConfig *dialog, const QString &fileName, const QStringList &pictures)
{
    return clickAddImage(dialog, fileName) ? answerFileDialog(pictures) : QStringLiteral("no row");
}

// Whether the catalogue offers a module type of this name.
bool catalogueLists(MainWindow &window, const QString &typeName)
{
    const QAbstractItemModel *model = window.productView()->model();
    return !model->match(model->index(0, 0), Qt::DisplayRole, typeName, 1, Qt::MatchExactly | Qt::MatchRecursive).isEmpty();
}

} // namespace

class TestAppXml : public WindowTest
{
    Q_OBJECT

private slots:
    // A new description, plain or scrambled, lands under its base name in
    // the user's Xml folder byte for byte (never in the working folder's),
    // and the library knows it before success is said.
    void importsANewDescription_data()
    {
        QTest::addColumn<bool>("scrambled");
        QTest::newRow("plain") << false;
        QTest::newRow("scrambled") << true;
    }
    void importsANewDescription()
    {
        QFETCH(bool, scrambled);
        WorkingFolder folder(WorkingFolder::Copied);
        const QByteArray family = readAll(m_root + QLatin1Char('/') + kFamily);
        QVERIFY(!family.isEmpty());
        const QByteArray bytes = scrambled ? ScrambledXml::scramble(family) : family;
        const QString source = folder.path() + QStringLiteral("/family.module.rev.xml");
        QVERIFY(writeFile(source, bytes));
        QScopedPointer<MainWindow> window(newWindow());
        const QStringList before = library();
        QCOMPARE(before, (QStringList{"TarnBUS-Analog.xml: 5", "TarnBUS-Digital.xml: 9"}));
        QVERIFY(catalogueLists(*window, QStringLiteral("TB-DI8-N")));
        QVERIFY(!catalogueLists(*window, QStringLiteral("FX-DI4-N")));

        XMLConfig *dialog = openImport(*window);
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("导入XML配置"));
        QCOMPARE(topRows(dialog), (QStringList{"TarnBUS-Analog.xml|Add Image|Analog", "TarnBUS-Digital.xml|Add Image|Digital"}));
        // Each description lists its modules under their classes.
        QTreeWidgetItem *digital = dialog->tree()->topLevelItem(1);
        QCOMPARE(digital->childCount(), 8);
        QCOMPARE(digital->child(0)->text(0), QStringLiteral("DI"));
        QCOMPARE(digital->child(7)->text(0), QStringLiteral("AIAO"));
        QStringList inputModules;
        for (int i = 0; i < digital->child(0)->childCount(); ++i)
            inputModules << digital->child(0)->child(i)->text(0);
        QVERIFY2(inputModules.contains(QStringLiteral("TB-DI8-N")), qPrintable(inputModules.join(QLatin1Char(' '))));
        QVERIFY(!inputModules.contains(QStringLiteral("TB-DO8-T")));

        QVERIFY(importDescription(dialog, source));
        QCOMPARE(boxTexts(), QStringList{kImported});
        QVERIFY(!dialog->isVisible());
        QCOMPARE(readAll(userFile(QStringLiteral("Xml/family.xml"))), bytes);
        QVERIFY(!QFile::exists(QStringLiteral("Xml/family.xml")));
        QCOMPARE(library(), QStringList{"family.xml: 12"} + before);
        QVERIFY(catalogueLists(*window, QStringLiteral("FX-DI4-N")));
        closeBoxes();

        // The new description is listed the next time.
        dialog = openImport(*window);
        QVERIFY(dialog);
        QCOMPARE(topRows(dialog).first(), QStringLiteral("family.xml|Add Image|Fixture"));
    }

    // A description imported under the name of a shipped one hides it: the
    // user's folder is read first. The shipped file stays as it was.
    void importReplacesAShippedDescription()
    {
        WorkingFolder folder(WorkingFolder::Copied);
        const QString source = folder.path() + QStringLiteral("/TarnBUS-Digital.mine.xml");
        QVERIFY(writeFile(source, readAll(m_root + QLatin1Char('/') + kFamily)));
        const QByteArray shipped = readAll(QStringLiteral("Xml/TarnBUS-Digital.xml"));
        QScopedPointer<MainWindow> window(newWindow());
        XMLConfig *dialog = openImport(*window);
        QVERIFY(dialog);
        QVERIFY(importDescription(dialog, source));
        QCOMPARE(boxTexts(), QStringList{kImported});
        QCOMPARE(library(), (QStringList{"TarnBUS-Digital.xml: 12", "TarnBUS-Analog.xml: 5"}));
        QVERIFY(catalogueLists(*window, QStringLiteral("FX-DI4-N")));
        QVERIFY(!catalogueLists(*window, QStringLiteral("TB-DI8-N")));
        QCOMPARE(readAll(QStringLiteral("Xml/TarnBUS-Digital.xml")), shipped);
    }

    // Importing before a file was chosen says what to do first.
    void importWithoutAFile()
    {
        WorkingFolder folder(WorkingFolder::Copied);
        QScopedPointer<MainWindow> window(newWindow());
        const QStringList before = library();
        XMLConfig *dialog = openImport(*window);
        QVERIFY(dialog);
        QTest::mouseClick(button(dialog, "pushButton_2"), Qt::LeftButton);
        QCOMPARE(boxTexts(), QStringList{"警告|请先选择XML文件!"});
        closeBoxes();
        QVERIFY(dialog->isVisible());
        QCOMPARE(library(), before);
        dialog->reject();
    }

    // A file that is no description replaces nothing, and the library stays.
    void brokenDescriptionRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason"); // the start of the reason given
        QTest::newRow("not well-formed") << QByteArray("<TarnBusInfo><TarnBus imageDir=\"Digital\">") << "不是有效的XML文件";
        QTest::newRow("no modules") << QByteArray("<?xml version=\"1.0\"?><TarnBusInfo/>") << "中没有设备描述";
    }
    void brokenDescriptionRefused()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        WorkingFolder folder(WorkingFolder::Copied);
        // Named to replace the digital modules' description.
        const QString source = folder.path() + QStringLiteral("/TarnBUS-Digital.new.xml");
        QVERIFY(writeFile(source, bytes));
        const QByteArray kept = readAll(QStringLiteral("Xml/TarnBUS-Digital.xml"));
        QScopedPointer<MainWindow> window(newWindow());
        const QStringList before = library();

        XMLConfig *dialog = openImport(*window);
        QVERIFY(dialog);
        QVERIFY(importDescription(dialog, source));
        QCOMPARE(boxTexts().size(), 1);
        QVERIFY2(boxTexts().first().startsWith(QStringLiteral("警告|导入XML文件失败!\n")), qPrintable(boxTexts().first()));
        QVERIFY2(boxTexts().first().contains(reason), qPrintable(boxTexts().first()));
        QVERIFY(dialog->isVisible());
        QCOMPARE(readAll(QStringLiteral("Xml/TarnBUS-Digital.xml")), kept);
        QCOMPARE(QDir(QStringLiteral("Xml")).entryList(QDir::Files),
                 (QStringList{"TarnBUS-Analog.xml", "TarnBUS-Digital.xml"}));
        QCOMPARE(QDir(userFile(QStringLiteral("Xml"))).entryList(QDir::Files), QStringList());
        QCOMPARE(library(), before);
    }

    // Pictures go into the description's own folder under the user's SVG
    // folder, where the modules' pictures are looked up first; the shipped
    // ones stay as they are, and one chosen from the user's folder itself
    // stays whole.
    void picturesIntoAnExistingFolder()
    {
        WorkingFolder folder(WorkingFolder::Copied);
        const QString picture = folder.path() + QStringLiteral("/TB-DI8-N-new.svg");
        QVERIFY(writeFile(picture, QByteArray("<svg xmlns=\"http://www.w3.org/2000/svg\"/>")));
        const QString existing = folder.path() + QStringLiteral("/SVG/Digital/TB-DI8-N.svg");
        const QByteArray existingBytes = readAll(existing);
        QVERIFY(!existingBytes.isEmpty());
        QScopedPointer<MainWindow> window(newWindow());
        XMLConfig *dialog = openImport(*window);
        QVERIFY(dialog);

        // A click elsewhere on the row only selects it.
        QTest::mouseClick(dialog->tree()->viewport(), Qt::LeftButton, {},
                          dialog->tree()->visualItemRect(dialog->tree()->topLevelItem(1)).topLeft() + QPoint(4, 4));
        QTest::qWait(50);
        QCOMPARE(visibleTopLevels<QFileDialog>().size(), 0);

        QCOMPARE(addPictures(dialog, QStringLiteral("TarnBUS-Digital.xml"), {picture}), QStringLiteral("Image file|(*)"));
        QCOMPARE(boxTexts(), QStringList{kPicturesAdded});
        const QString added = userFile(QStringLiteral("SVG/Digital/TB-DI8-N-new.svg"));
        QCOMPARE(readAll(added), readAll(picture));
        QVERIFY(!QFile::exists(QStringLiteral("SVG/Digital/TB-DI8-N-new.svg")));
        closeBoxes();

        // A shipped picture chosen: copied, the shipped one left alone.
        QVERIFY(!addPictures(dialog, QStringLiteral("TarnBUS-Digital.xml"), {existing}).isEmpty());
        QCOMPARE(boxTexts(), QStringList{kPicturesAdded});
        QCOMPARE(readAll(existing), existingBytes);
        QCOMPARE(readAll(userFile(QStringLiteral("SVG/Digital/TB-DI8-N.svg"))), existingBytes);
        closeBoxes();

        // One chosen from the user's folder itself.
        QVERIFY(!addPictures(dialog, QStringLiteral("TarnBUS-Digital.xml"), {added}).isEmpty());
        QCOMPARE(boxTexts(), QStringList{kPicturesAdded});
        QCOMPARE(readAll(added), readAll(picture));
        closeBoxes();

        // Cancelled: nothing said.
        QVERIFY(!addPictures(dialog, QStringLiteral("TarnBUS-Digital.xml"), {}).isEmpty());
        QCOMPARE(boxTexts(), QStringList());
        QVERIFY(dialog->isVisible());
    }

    // A description whose picture folder would lead out of its own folder
    // under the user's SVG folder gets no pictures.
    void picturesRefusedOutsideTheirFolder_data()
    {
        QTest::addColumn<QString>("imageDir");
        QTest::newRow("none: the templates' folder") << "";
        QTest::newRow("climbing out") << "../..";
        QTest::newRow("absolute") << "/tmp";
    }
    void picturesRefusedOutsideTheirFolder()
    {
        QFETCH(QString, imageDir);
        WorkingFolder folder(WorkingFolder::Copied);
        QByteArray family = readAll(m_root + QLatin1Char('/') + kFamily);
        family.replace("imageDir=\"Fixture\"", "imageDir=\"" + imageDir.toUtf8() + "\"");
        QVERIFY(writeFile(QStringLiteral("Xml/Odd.xml"), family));
        const QStringList templates = QDir(QStringLiteral("SVG")).entryList(QDir::Files);
        QScopedPointer<MainWindow> window(newWindow());
        XMLConfig *dialog = openImport(*window);
        QVERIFY(dialog);
        QVERIFY(clickAddImage(dialog, QStringLiteral("Odd.xml")));
        QCOMPARE(boxTexts(), QStringList{QStringLiteral("警告|Odd.xml 的图片文件夹名\"%1\"无效,不能添加图片。").arg(imageDir)});
        QCOMPARE(visibleTopLevels<QFileDialog>().size(), 0);
        QCOMPARE(QDir(QStringLiteral("SVG")).entryList(QDir::Files), templates);
        QVERIFY(!QFileInfo::exists(userFile(QStringLiteral("SVG"))));
    }

    // The library is reloaded in the window's thread while an adapter
    // creates its slaves in its own: every slave is built from one whole
    // library (run in the sanitizer build too).
    void reloadWhileAnAdapterCreatesSlaves()
    {
        WorkingFolder folder(WorkingFolder::Copied);
        QCOMPARE(loadBus(QStringLiteral("sim/buses/full128.json"), m_root), QString());
        // Loading takes a while, so that reloads fall between the modules.
        tarnbus::LinkTiming slow = fastTiming();
        slow.beforeRequestMs = 3;
        tarnbus::setLinkTiming(slow);
        QScopedPointer<MainWindow> window(newWindow());
        window->tabWidget()->onCreateAdapterSlaveView(QStringLiteral("3C2E0A000128"), 0x2E3C, 0xAF01, QStringLiteral("128"));
        AdapterManage *manager = window->tabWidget()->manager(0);
        int reloads = 0;
        int amidLoading = 0; // reloads after some modules had been created and before all were
        while (manager->isLoading() || manager->slaves().size() < 128) {
            window->onXMLLoad();
            ++reloads;
            const int created = manager->slaves().size();
            amidLoading += created > 0 && created < 128 ? 1 : 0;
            QCoreApplication::processEvents();
            QVERIFY2(reloads < 100000, "the adapter did not load");
        }
        tarnbus::setLinkTiming(fastTiming());
        QVERIFY(amidLoading > 0);
        QCOMPARE(manager->slaves().size(), 128);
        for (const SlaveSnapshot &slave : manager->slaves()) {
            QVERIFY(slave->described);
            QVERIFY2(slave->typeName.startsWith(QStringLiteral("TB-D")), qPrintable(slave->typeName));
        }
        QCOMPARE(library(), (QStringList{"TarnBUS-Analog.xml: 5", "TarnBUS-Digital.xml: 9"}));
        QTRY_VERIFY(!window->loading()->isVisible());
    }
};

QTEST_MAIN(TestAppXml)
#include "tst_app_xml.moc"
