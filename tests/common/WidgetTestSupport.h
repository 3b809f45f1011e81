#pragma once

// What the widget tests share: the windows and notices on screen, and the
// entries of a menu as the user sees them.

#include "MessageBox.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QStringList>
#include <QWidget>

namespace widgettest {

template <typename T>
QList<T *> visibleTopLevels()
{
    QList<T *> out;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *found = qobject_cast<T *>(w); found && found->isVisible())
            out << found;
    }
    return out;
}

// "title|text" of every notice on screen.
inline QStringList boxTexts()
{
    QStringList out;
    for (MessageBox *box : visibleTopLevels<MessageBox>())
        out << box->windowTitle() + QLatin1Char('|') + box->text();
    return out;
}

// "text" of each entry, "-text" when disabled, "|" for a separator,
// "[text]" for a submenu.
inline QStringList menuEntries(const QMenu *menu)
{
    QStringList out;
    for (const QAction *action : menu->actions()) {
        if (action->isSeparator())
            out << QStringLiteral("|");
        else if (action->menu())
            out << (action->isEnabled() ? QString() : QStringLiteral("-")) + QLatin1Char('[') + action->text() + QLatin1Char(']');
        else
            out << (action->isEnabled() ? QString() : QStringLiteral("-")) + action->text();
    }
    return out;
}

inline QAction *actionNamed(const QMenu *menu, const QString &text)
{
    for (QAction *action : menu->actions()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

} // namespace widgettest
