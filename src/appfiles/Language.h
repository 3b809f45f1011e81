#pragma once

#include <QLocale>
#include <QString>

#include <optional>

class QCoreApplication;

// The language of both programs' texts. Chinese is the language the texts
// are written in; English comes from the embedded translation
// (translations/tarnbus_en.ts). The command line's own texts are written in
// English; their Chinese is embedded as well (translations/tarnbus_zh.ts). Qt's own texts (the buttons of questions,
// file dialogs, the command-line parser's errors) follow from Qt's
// translations (Debian qttranslations5-l10n) where they are installed.
//
// The choice: --lang zh|en for this run, else the one kept in the settings
// (the window's menu "语言 / Language"), else the system's locale: zh* gives
// Chinese, anything else English.
namespace Language {

enum class Choice { Chinese, English };

// "zh" or "en", as --lang and the settings spell it.
QString code(Choice choice);
std::optional<Choice> parse(const QString &code);
Choice fromLocale(const QLocale &locale);
QLocale locale(Choice choice);

// The choice kept in the settings (language.ini), if any.
std::optional<Choice> saved();
void save(Choice choice);

// The system's: the language of messages (LC_ALL, LC_MESSAGES, LANG).
Choice system();

// --lang (empty when not given), else the saved choice, else the system's.
Choice startup(const QString &option = QString());

// Installs the translations of the choice into the running application,
// replacing those of an earlier choice; Qt then sends every widget a
// LanguageChange event. Returns whether Qt's own translations were found
// (the program's own are embedded and always are).
bool apply(Choice choice);
Choice current();

// Qt's own translations for the locale, installed beside the program's.
// Returns whether they were found; the programs work either way.
bool installQtTranslations(QCoreApplication &application, const QLocale &locale);

} // namespace Language
