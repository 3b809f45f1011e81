#pragma once

// Answers the modal windows the upgrade dialog opens, as a user would, and
// records them: file dialogs, message boxes and questions, the timed
// message box, context menus. It looks every few milliseconds, also while
// a modal window runs its own event loop.

#include "MessageBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>

namespace upgradetest {

class ModalDriver : public QObject
{
    Q_OBJECT
public:
    ModalDriver()
    {
        connect(&m_timer, &QTimer::timeout, this, &ModalDriver::poll);
        m_timer.start(5);
    }

    QStringList boxes;       // "title|text" of every box, in order
    QStringList fileDialogs; // "title|directory|filters" of every file dialog
    QStringList menus;       // the actions of every context menu, joined by "|"
    QString nextFile;        // chosen in the next file dialog; empty: cancelled
    QList<QMessageBox::StandardButton> answers; // to the next questions; then Yes
    QString menuChoice;      // the action to trigger in a context menu

private slots:
    void poll()
    {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (!widget->isVisible())
                continue;
            if (auto *files = qobject_cast<QFileDialog *>(widget))
                answerFiles(files);
            else if (auto *question = qobject_cast<QMessageBox *>(widget))
                answerBox(question);
            else if (auto *timed = qobject_cast<MessageBox *>(widget))
                closeTimed(timed);
            else if (auto *menu = qobject_cast<QMenu *>(widget))
                chooseFromMenu(menu);
        }
    }

private:
    void answerFiles(QFileDialog *dialog)
    {
        fileDialogs << dialog->windowTitle() + QLatin1Char('|') + dialog->directory().absolutePath() + QLatin1Char('|')
                + dialog->nameFilters().join(QLatin1Char(';'));
        if (nextFile.isEmpty()) {
            dialog->reject();
            return;
        }
        dialog->selectFile(nextFile);
        static_cast<QDialog *>(dialog)->accept(); // validates the choice as a click on "Open" does
        nextFile.clear();
    }

    void answerBox(QMessageBox *box)
    {
        boxes << box->windowTitle() + QLatin1Char('|') + box->text();
        QAbstractButton *button = nullptr;
        if (box->button(QMessageBox::Yes))
            button = box->button(answers.isEmpty() ? QMessageBox::Yes : answers.takeFirst());
        else
            button = box->buttons().value(0);
        if (button)
            button->click();
        else
            box->reject();
    }

    void closeTimed(MessageBox *box)
    {
        boxes << box->windowTitle() + QLatin1Char('|') + box->text();
        box->reject();
    }

    void chooseFromMenu(QMenu *menu)
    {
        QStringList texts;
        QAction *chosen = nullptr;
        for (QAction *action : menu->actions()) {
            texts << action->text();
            if (action->text() == menuChoice)
                chosen = action;
        }
        menus << texts.join(QLatin1Char('|'));
        menu->close();
        if (chosen)
            chosen->trigger();
    }

    QTimer m_timer;
};

} // namespace upgradetest
