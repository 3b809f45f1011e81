#pragma once

#include <QLocale>

class QCoreApplication;

// Qt's own texts (the buttons of questions, the file dialogs, the context
// menus of entries) in the window's language, from Qt's translations
// (Debian qttranslations5-l10n). Without them Qt speaks English in a
// Chinese window. Language::apply installs them with the program's own;
// this is for a window that only wants Qt's. Returns whether they were
// found; the window works either way.
namespace QtTranslations {

// The language of the window's own texts (Language::current()).
QLocale windowLocale();

bool install(QCoreApplication &application, const QLocale &locale = windowLocale());

} // namespace QtTranslations
