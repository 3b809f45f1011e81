#include "Language.h"

#include "SettingsFiles.h"
#include "TarnBusTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QSettings>
#include <QTranslator>

namespace Language {

namespace {

const QString kFile = QStringLiteral("language.ini");
const QString kKey = QStringLiteral("language");

Choice g_current = Choice::Chinese;
QPointer<QTranslator> g_own;
QPointer<QTranslator> g_qt;

void drop(QPointer<QTranslator> &translator)
{
    if (!translator)
        return;
    QCoreApplication::removeTranslator(translator);
    delete translator;
}

} // namespace

QString code(Choice choice)
{
    return choice == Choice::English ? QStringLiteral("en") : QStringLiteral("zh");
}

std::optional<Choice> parse(const QString &text)
{
    const QString lower = text.trimmed().toLower();
    if (lower == QLatin1String("zh"))
        return Choice::Chinese;
    if (lower == QLatin1String("en"))
        return Choice::English;
    return std::nullopt;
}

Choice fromLocale(const QLocale &locale)
{
    return locale.language() == QLocale::Chinese ? Choice::Chinese : Choice::English;
}

QLocale locale(Choice choice)
{
    return choice == Choice::English ? QLocale(QLocale::English, QLocale::UnitedStates)
                                     : QLocale(QLocale::Chinese, QLocale::China);
}

std::optional<Choice> saved()
{
    const QSettings settings(SettingsFiles::path(kFile), QSettings::IniFormat);
    return parse(settings.value(kKey).toString());
}

void save(Choice choice)
{
    QSettings settings(SettingsFiles::path(kFile), QSettings::IniFormat);
    settings.setValue(kKey, code(choice));
}

Choice system()
{
    // The language of messages, looked up as the C library does.
    for (const char *variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString value = qEnvironmentVariable(variable);
        if (!value.isEmpty())
            return fromLocale(QLocale(value.section(QLatin1Char('.'), 0, 0)));
    }
    return fromLocale(QLocale::system());
}

Choice startup(const QString &option)
{
    if (const std::optional<Choice> given = parse(option))
        return *given;
    if (const std::optional<Choice> kept = saved())
        return *kept;
    return system();
}

bool installQtTranslations(QCoreApplication &application, const QLocale &locale)
{
    drop(g_qt);
    auto *translator = new QTranslator(&application);
    // "qt_zh_CN.qm" gathers qtbase and the other modules' catalogues.
    if (!translator->load(locale, QStringLiteral("qt"), QStringLiteral("_"),
                          QLibraryInfo::location(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    g_qt = translator;
    return QCoreApplication::installTranslator(translator);
}

bool apply(Choice choice)
{
    QCoreApplication *application = QCoreApplication::instance();
    g_current = choice;
    if (!application)
        return false;
    drop(g_own);
    // English: every text written in Chinese. Chinese: the command line's
    // texts, which are written in English.
    initTarnBusTranslations();
    auto *translator = new QTranslator(application);
    if (translator->load(choice == Choice::English ? QStringLiteral(":/translations/tarnbus_en.qm")
                                                   : QStringLiteral(":/translations/tarnbus_zh.qm"))) {
        g_own = translator;
        QCoreApplication::installTranslator(translator);
    } else {
        delete translator;
    }
    // Qt's own English is built in; a Chinese window needs its catalogue.
    // (Installing and removing a translator tells every widget.)
    if (choice == Choice::English) {
        drop(g_qt);
        return true;
    }
    return installQtTranslations(*application, locale(choice));
}

Choice current()
{
    return g_current;
}

} // namespace Language
