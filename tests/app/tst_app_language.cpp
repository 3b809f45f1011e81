// The window in both languages: switched at run time from its menu
// "语言 / Language", with the open windows retranslated at once, the choice
// kept in the settings, and Qt's own texts following.

#include "AppHarness.h"

#include "AboutView.h"
#include "Language.h"
#include "SlaveMainWindow.h"

#include <QActionGroup>
#include <QLabel>
#include <QMenu>
#include <QToolButton>
#include <QHeaderView>
#include <QRegularExpression>
#include <QTabBar>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>


#include <functional>

using namespace apph;

namespace {

// A text the user reads, found in the open window.
struct Visible {
    const char *what;
    std::function<QString(MainWindow &)> text;
    QString chinese;
    QString english;
};

QMenu *menuNamed(MainWindow &window, const char *name)
{
    return window.findChild<QMenu *>(QLatin1String(name));
}

QAction *actionNamed(MainWindow &window, const char *name)
{
    return window.findChild<QAction *>(QLatin1String(name));
}

SlaveMainWindow *statusPanel(MainWindow &window)
{
    return window.tabWidget()->manager(0)->page()->slaveWindow();
}

QString labelText(QWidget *parent, const char *name)
{
    auto *label = parent->findChild<QLabel *>(QLatin1String(name));
    return label ? label->text() : QStringLiteral("<no %1>").arg(QLatin1String(name));
}

QString visibleAbout()
{
    const QList<AboutView *> abouts = visibleTopLevels<AboutView>();
    return abouts.isEmpty() ? QString() : abouts.first()->windowTitle();
}

QString yesButton()
{
    const QList<QMessageBox *> boxes = visibleTopLevels<QMessageBox>();
    return boxes.isEmpty() ? QString() : boxes.first()->button(QMessageBox::Yes)->text();
}

const QList<Visible> &visibleTexts()
{
    static const QList<Visible> texts{
        {"menu File", [](MainWindow &w) { return menuNamed(w, "menu")->title(); }, "文件", "File"},
        {"menu Tools", [](MainWindow &w) { return menuNamed(w, "menu_2")->title(); }, "工具", "Tools"},
        {"menu Help", [](MainWindow &w) { return menuNamed(w, "menu_4")->title(); }, "帮助", "Help"},
        {"language menu", [](MainWindow &w) { return menuNamed(w, "menuLanguage")->title(); }, "语言 / Language",
         "语言 / Language"},
        {"toolbar New project", [](MainWindow &w) { return actionNamed(w, "action_5")->text(); }, "新建工程", "New project"},
        {"toolbar Force", [](MainWindow &w) { return actionNamed(w, "action_7")->text(); }, "强制", "Force"},
        {"adapter page: bus power", [](MainWindow &w) { return labelText(statusPanel(w), "label"); }, "总线电源：",
         "Bus power:"},
        {"adapter page: slave count", [](MainWindow &w) { return labelText(statusPanel(w), "label_5"); }, "从站数量：",
         "Slaves:"},
        {"adapter page: refresh",
         [](MainWindow &w) { return statusPanel(w)->findChild<QToolButton *>(QStringLiteral("powerButton"))->text(); },
         "刷新", "Refresh"},
        {"dialog: about", [](MainWindow &) { return visibleAbout(); }, "关于", "About"},
        {"question: Qt's own Yes", [](MainWindow &) { return yesButton(); }, "是(&Y)", "&Yes"},
    };
    return texts;
}

QStringList mismatches(MainWindow &window, Language::Choice language)
{
    QStringList out;
    for (const Visible &v : visibleTexts()) {
        const QString expected = language == Language::Choice::English ? v.english : v.chinese;
        const QString seen = v.text(window);
        if (seen != expected)
            out << QStringLiteral("%1: \"%2\", expected \"%3\"").arg(QLatin1String(v.what), seen, expected);
    }
    return out;
}

void choose(MainWindow &window, Language::Choice language)
{
    QAction *action = actionNamed(window, language == Language::Choice::English ? "actionLanguage_en" : "actionLanguage_zh");
    QVERIFY(action);
    action->trigger();
    // Qt posts the change to every window: it arrives with the next events.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
}

} // namespace

class TestAppLanguage : public WindowTest
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        Language::apply(Language::Choice::Chinese);
    }

    // The open window, an adapter page, a dialog and a question follow the
    // menu at once, both ways; the dynamic texts keep what they show.
    void switchesAtRunTime()
    {
        WorkingFolder folder;
        Language::apply(Language::Choice::Chinese);
        QScopedPointer<MainWindow> window(newWindow());
        QVERIFY(openDemo(*window));
        SlaveMainWindow *panel = statusPanel(*window);
        QTRY_COMPARE(labelText(panel, "slaveCount"), QStringLiteral("16"));
        const QString power = labelText(panel, "power");

        AboutView about(QStringLiteral("1.0"), QStringLiteral("0.14"), window.data());
        about.show();
        QMessageBox question(QMessageBox::Question, QStringLiteral("提示"), QStringLiteral("?"),
                             QMessageBox::Yes | QMessageBox::No, window.data());
        question.show();
        QVERIFY(QTest::qWaitForWindowExposed(&question));
        QCOMPARE(mismatches(*window, Language::Choice::Chinese), QStringList());

        choose(*window, Language::Choice::English);
        QCOMPARE(Language::current(), Language::Choice::English);
        QCOMPARE(mismatches(*window, Language::Choice::English).join(QLatin1Char('\n')), QString());
        const QStringList left = chineseTexts(window.data());
        QVERIFY2(left.isEmpty(), qPrintable(left.join(QLatin1Char('\n'))));
        QVERIFY(actionNamed(*window, "actionLanguage_en")->isChecked());
        QVERIFY(!actionNamed(*window, "actionLanguage_zh")->isChecked());
        QCOMPARE(labelText(panel, "slaveCount"), QStringLiteral("16"));
        QCOMPARE(labelText(panel, "power"), power);
        QCOMPARE(about.findChild<QLabel *>(QStringLiteral("version"))->text().isEmpty(), false);
        // Kept for the next start.
        QCOMPARE(Language::saved(), std::optional<Language::Choice>(Language::Choice::English));
        QCOMPARE(Language::startup(), Language::Choice::English);

        // A message made now speaks the new language.
        window->on_action_3_triggered();
        MessageBox *help = waitForTopLevel<MessageBox>();
        QVERIFY(help);
        QCOMPARE(help->windowTitle(), QStringLiteral("Help"));
        QVERIFY2(help->text().startsWith(QStringLiteral("New project: scans USB")), qPrintable(help->text()));
        closeBoxes();

        choose(*window, Language::Choice::Chinese);
        QCOMPARE(mismatches(*window, Language::Choice::Chinese), QStringList());
        QCOMPARE(Language::saved(), std::optional<Language::Choice>(Language::Choice::Chinese));
        question.close();
    }

    // --lang, then the saved choice, then the system's messages locale.
    void choiceAtStart_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("saved");
        QTest::addColumn<QByteArray>("lang");
        QTest::addColumn<QString>("expected");
        QTest::newRow("system zh_CN") << QString() << QString() << QByteArray("zh_CN.UTF-8") << "zh";
        QTest::newRow("system zh_TW") << QString() << QString() << QByteArray("zh_TW.UTF-8") << "zh";
        QTest::newRow("system de_DE") << QString() << QString() << QByteArray("de_DE.UTF-8") << "en";
        QTest::newRow("system C") << QString() << QString() << QByteArray("C") << "en";
        QTest::newRow("saved over system") << QString() << "en" << QByteArray("zh_CN.UTF-8") << "en";
        QTest::newRow("option over saved") << "zh" << "en" << QByteArray("de_DE.UTF-8") << "zh";
        QTest::newRow("option en") << "en" << QString() << QByteArray("zh_CN.UTF-8") << "en";
    }

    void choiceAtStart()
    {
        QFETCH(QString, option);
        QFETCH(QString, saved);
        QFETCH(QByteArray, lang);
        QFETCH(QString, expected);
        const QByteArray all = qgetenv("LC_ALL");
        const QByteArray messages = qgetenv("LC_MESSAGES");
        const QByteArray language = qgetenv("LANG");
        qunsetenv("LC_ALL");
        qunsetenv("LC_MESSAGES");
        qputenv("LANG", lang);
        if (!saved.isEmpty())
            Language::save(*Language::parse(saved));
        const Language::Choice choice = Language::startup(option);
        qputenv("LC_ALL", all);
        qputenv("LC_MESSAGES", messages);
        qputenv("LANG", language);
        QCOMPARE(Language::code(choice), expected);
    }
};

QTEST_MAIN(TestAppLanguage)
#include "tst_app_language.moc"
