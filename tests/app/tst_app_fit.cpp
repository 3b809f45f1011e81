// Texts that fit: in both languages, at the window's default size, no
// label, button, group title, header section or tab of the main window, an
// adapter page with its module tiles and the dialogs cuts its text.

#include "AppHarness.h"

#include "AboutView.h"
#include "AdapterSettingsView.h"
#include "AutoConfigView.h"
#include "ConfigCompareDialog.h"
#include "CreateSlaveView.h"
#include "FaultView.h"
#include "FirmwareBurning.h"
#include "FrameTraceDialog.h"
#include "IoCheckoutDialog.h"
#include "Language.h"
#include "LinkDiagnostics.h"
#include "LinkStatisticsView.h"
#include "LocalConfigView.h"
#include "LoopTimeView.h"
#include "SettingRegisterData.h"
#include "SettingView.h"
#include "SlaveInfoView.h"
#include "SlaveItemView.h"
#include "SwapMemoryView.h"
#include "UnAllocation.h"
#include "XMLConfig.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTextDocument>
#include <QToolButton>

#include <QScopeGuard>

#include <functional>

using namespace apph;

namespace {

// What a button shows: its text without the mnemonic marks.
QString shownText(QString text)
{
    text.replace(QLatin1String("&&"), QLatin1String("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return text;
}

// The width a button needs for its text and icon, without the style's
// minimum width (a short text in a narrow button is not cut).
int buttonNeed(const QAbstractButton *button)
{
    const QFontMetrics metrics = button->fontMetrics();
    int need = metrics.horizontalAdvance(shownText(button->text()));
    if (!button->icon().isNull())
        need += button->iconSize().width() + 4;
    QStyle *style = button->style();
    if (qobject_cast<const QCheckBox *>(button))
        return need + style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, button)
               + style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, button);
    if (qobject_cast<const QRadioButton *>(button))
        return need + style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, button)
               + style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, button);
    if (const auto *tool = qobject_cast<const QToolButton *>(button)) {
        if (tool->toolButtonStyle() == Qt::ToolButtonIconOnly || button->text().isEmpty())
            return 0;
        if (tool->toolButtonStyle() == Qt::ToolButtonTextUnderIcon)
            need = metrics.horizontalAdvance(shownText(button->text()));
        if (tool->popupMode() == QToolButton::MenuButtonPopup)
            need += style->pixelMetric(QStyle::PM_MenuButtonIndicator, nullptr, button);
        return need + 4;
    }
    return need;
}

// The width a button has for its text: a push button's contents, less its
// frame and margins; other buttons their whole width.
int buttonRoom(const QAbstractButton *button)
{
    if (const auto *push = qobject_cast<const QPushButton *>(button)) {
        QStyleOptionButton option;
        option.initFrom(push);
        option.features = push->isDefault() ? QStyleOptionButton::DefaultButton : QStyleOptionButton::None;
        return push->style()->subElementRect(QStyle::SE_PushButtonContents, &option, push).width();
    }
    return button->width();
}

// The width a label needs: its widest line, or the laid-out width of rich
// text, plus its margins.
int labelNeed(const QLabel *label)
{
    const bool rich = label->textFormat() == Qt::RichText
                      || (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(label->text()));
    if (rich)
        return label->sizeHint().width();
    int widest = 0;
    for (const QString &line : label->text().split(QLatin1Char('\n')))
        widest = qMax(widest, label->fontMetrics().horizontalAdvance(line));
    const QMargins margins = label->contentsMargins();
    return widest + margins.left() + margins.right() + 2 * label->margin() + qMax(label->indent(), 0);
}

QString where(const QWidget *widget)
{
    QStringList path;
    for (const QWidget *w = widget; w; w = w->parentWidget()) {
        if (!w->objectName().startsWith(QLatin1String("qt_")))
            path.prepend(w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName());
        if (w->isWindow())
            break;
    }
    // The window and the innermost names say where.
    if (path.size() > 4)
        path = path.mid(0, 1) + QStringList(QStringLiteral("…")) + path.mid(path.size() - 3);
    return path.join(QLatin1Char('/'));
}

// Every visible text of the window that is narrower than it needs.
QStringList cutTexts(QWidget *window)
{
    QStringList cut;
    const auto report = [&cut](const QWidget *w, const QString &text, int need, int have) {
        cut << QStringLiteral("%1 \"%2\": needs %3 px, has %4").arg(where(w), text).arg(need).arg(have);
    };
    QList<QWidget *> widgets = window->findChildren<QWidget *>();
    widgets.prepend(window);
    for (QWidget *w : qAsConst(widgets)) {
        if (!w->isVisible() || w->window() != window)
            continue;
        if (auto *label = qobject_cast<QLabel *>(w)) {
            if (label->text().isEmpty() || !label->pixmap(Qt::ReturnByValue).isNull())
                continue;
            if (label->wordWrap()) {
                const int need = label->heightForWidth(label->width());
                if (need > label->height())
                    report(label, label->text(), need, label->height());
            } else if (labelNeed(label) > label->width()) {
                report(label, label->text(), labelNeed(label), label->width());
            }
        } else if (auto *button = qobject_cast<QAbstractButton *>(w)) {
            const int need = buttonNeed(button);
            if (need > buttonRoom(button))
                report(button, button->text(), need, buttonRoom(button));
        } else if (auto *group = qobject_cast<QGroupBox *>(w)) {
            const int need = group->fontMetrics().horizontalAdvance(shownText(group->title())) + 16;
            if (!group->title().isEmpty() && need > group->width())
                report(group, group->title(), need, group->width());
        } else if (auto *header = qobject_cast<QHeaderView *>(w)) {
            if (!header->model() || header->orientation() != Qt::Horizontal)
                continue;
            const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
            for (int section = 0; section < header->count(); ++section) {
                if (header->isSectionHidden(section))
                    continue;
                const QString text = header->model()->headerData(section, Qt::Horizontal).toString();
                int widest = 0;
                for (const QString &line : text.split(QLatin1Char('\n')))
                    widest = qMax(widest, QFontMetrics(header->font()).horizontalAdvance(line));
                const int need = widest + 2 * margin;
                if (!text.isEmpty() && need > header->sectionSize(section))
                    report(header, text, need, header->sectionSize(section));
            }
        } else if (auto *tabs = qobject_cast<QTabBar *>(w)) {
            const int space = tabs->style()->pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, tabs);
            for (int tab = 0; tab < tabs->count(); ++tab) {
                int have = tabs->tabRect(tab).width();
                for (QTabBar::ButtonPosition side : {QTabBar::LeftSide, QTabBar::RightSide}) {
                    if (QWidget *button = tabs->tabButton(tab, side))
                        have -= button->width();
                }
                const int need = tabs->fontMetrics().horizontalAdvance(shownText(tabs->tabText(tab))) + space / 2;
                if (need > have)
                    report(tabs, tabs->tabText(tab), need, have);
            }
        }
    }
    return cut;
}

QStringList cutTextsAfterLayout(QWidget *window)
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QCoreApplication::processEvents();
    return cutTexts(window);
}

void expectNoCut(QWidget *window)
{
    const QStringList cut = cutTextsAfterLayout(window);
    QVERIFY2(cut.isEmpty(), qPrintable(QLatin1Char('\n') + cut.join(QLatin1Char('\n'))));
}

struct Dialog {
    const char *name;
    std::function<QWidget *(MainWindow &)> make;
};

ConfigCompareDialog *compareDialog(MainWindow &window)
{
    return new ConfigCompareDialog(window.tabWidget()->manager(0), &window);
}

const QList<Dialog> &dialogList()
{
    static const QList<Dialog> list{
        {"about", [](MainWindow &w) { return new AboutView(QStringLiteral("1.0.0"), QStringLiteral("0.14.0"), &w); }},
        {"adapter settings", [](MainWindow &w) { return new AdapterSettingsView(&w); }},
        {"auto configuration", [](MainWindow &w) { return new AutoConfigView(&w); }},
        {"compare", [](MainWindow &w) { return compareDialog(w); }},
        {"check-out", [](MainWindow &w) { return new IoCheckoutDialog(w.tabWidget()->manager(0), &w); }},
        {"create slave", [](MainWindow &w) { return new CreateSlaveView(&w); }},
        {"fault", [](MainWindow &w) { return new FaultView(&w); }},
        {"firmware", [](MainWindow &w) { return new FirmwareBurning(&w); }},
        {"frame trace",
         [](MainWindow &w) {
             return new FrameTraceDialog(std::make_shared<LinkDiagnostics>(QStringLiteral("3C2E0A000001")), QStringLiteral("TBC-U100"), &w);
         }},
        {"link statistics", [](MainWindow &w) { return new LinkStatisticsView(&w); }},
        {"local configuration", [](MainWindow &w) { return new LocalConfigView(&w); }},
        {"loop time", [](MainWindow &w) { return new LoopTimeView(&w); }},
        {"register data", [](MainWindow &w) { return new SettingRegisterData(QStringLiteral("AI 0"), &w); }},
        {"open adapter", [](MainWindow &w) { return new SettingView({}, false, &w); }},
        {"memory map", [](MainWindow &w) { return new SwapMemoryView(&w); }},
        {"unallocated", [](MainWindow &w) { return new UnAllocation(&w); }},
        {"descriptions", [](MainWindow &w) { return new XMLConfig(&w); }},
    };
    return list;
}

// The dialog of the list, shown over the window; null if it never shows.
QWidget *showDialog(MainWindow &window, int dialog)
{
    QWidget *shown = dialogList().at(dialog).make(window);
    shown->setAttribute(Qt::WA_DeleteOnClose, false);
    shown->show();
    if (!QTest::qWaitForWindowExposed(shown)) {
        delete shown;
        return nullptr;
    }
    return shown;
}

} // namespace

class TestAppFit : public WindowTest
{
    Q_OBJECT

private:
    void language_data()
    {
        QTest::addColumn<int>("language");
        QTest::newRow("Chinese") << int(Language::Choice::Chinese);
        QTest::newRow("English") << int(Language::Choice::English);
    }

public:
    // The desktop's font, as an X display gives it; the offscreen platform
    // would take a larger one of its own.
    TestAppFit() { QApplication::setFont(QFont(QStringLiteral("Sans Serif"), 9)); }

private slots:

    void mainWindowAndAdapterPage_data() { language_data(); }

    // The window at its default size with the demonstration bus open: the
    // tree, the status panel, the tiles, the module editor and the messages.
    void mainWindowAndAdapterPage()
    {
        QFETCH(int, language);
        WorkingFolder folder;
        Language::apply(Language::Choice(language));
        const auto chineseAgain = qScopeGuard([] { Language::apply(Language::Choice::Chinese); });
        QScopedPointer<MainWindow> window(newWindow());
        expectNoCut(window.data());
        QVERIFY(openDemo(*window));
        QTRY_COMPARE(window->findChildren<SlaveItemView *>().size(), 16);
        expectNoCut(window.data());
    }

    void dialogs_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("dialog");
        for (int language : {int(Language::Choice::Chinese), int(Language::Choice::English)}) {
            for (int i = 0; i < dialogList().size(); ++i)
                QTest::addRow("%s %s", language == int(Language::Choice::Chinese) ? "Chinese" : "English",
                              dialogList().at(i).name)
                    << language << i;
        }
    }

    // Each kind of dialog, open while the language is switched: it speaks
    // the new one at once.
    void dialogsFollowASwitch_data()
    {
        QTest::addColumn<int>("dialog");
        for (int i = 0; i < dialogList().size(); ++i)
            QTest::addRow("%s", dialogList().at(i).name) << i;
    }

    void dialogsFollowASwitch()
    {
        QFETCH(int, dialog);
        WorkingFolder folder;
        Language::apply(Language::Choice::Chinese);
        const auto chineseAgain = qScopeGuard([] { Language::apply(Language::Choice::Chinese); });
        QScopedPointer<MainWindow> window(newWindow());
        QVERIFY(openDemo(*window));
        QScopedPointer<QWidget> shown(showDialog(*window, dialog));
        QVERIFY(shown);
        Language::apply(Language::Choice::English);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
        const QStringList left = chineseTexts(shown.data());
        QVERIFY2(left.isEmpty(), qPrintable(left.join(QLatin1Char('\n'))));
        expectNoCut(shown.data());
    }

    void dialogs()
    {
        QFETCH(int, language);
        QFETCH(int, dialog);
        WorkingFolder folder;
        Language::apply(Language::Choice(language));
        const auto chineseAgain = qScopeGuard([] { Language::apply(Language::Choice::Chinese); });
        QScopedPointer<MainWindow> window(newWindow());
        QVERIFY(openDemo(*window));
        QScopedPointer<QWidget> shown(showDialog(*window, dialog));
        QVERIFY(shown);
        expectNoCut(shown.data());
    }
};

QTEST_MAIN(TestAppFit)
#include "tst_app_fit.moc"
