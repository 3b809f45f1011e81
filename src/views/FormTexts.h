#pragma once

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QWidget>

#include <algorithm>
#include <functional>
#include <vector>

// Retranslation of a Designer form at run time. retranslateUi puts back the
// form's own texts, also on the widgets whose text the code has set since
// (a value, a name, a count): those keep what they show until the code sets
// them again, instead of falling back to the form's placeholder.
namespace FormTexts {

inline void retranslateKeeping(QWidget *form, const std::vector<QWidget *> &kept, bool keepTitle,
                               const std::function<void()> &retranslate)
{
    struct Kept {
        QWidget *widget;
        QString text;
        QString toolTip;
        QStringList items; // tab or item texts; a line edit's placeholder
    };
    std::vector<Kept> saved;
    for (QWidget *widget : kept) {
        Kept k{widget, {}, widget->toolTip(), {}};
        if (auto *label = qobject_cast<QLabel *>(widget))
            k.text = label->text();
        else if (auto *button = qobject_cast<QAbstractButton *>(widget))
            k.text = button->text();
        else if (auto *group = qobject_cast<QGroupBox *>(widget))
            k.text = group->title();
        else if (auto *edit = qobject_cast<QLineEdit *>(widget))
            k.text = edit->text(), k.items << edit->placeholderText();
        else if (auto *tabs = qobject_cast<QTabWidget *>(widget))
            for (int i = 0; i < tabs->count(); ++i)
                k.items << tabs->tabText(i);
        else if (auto *combo = qobject_cast<QComboBox *>(widget))
            for (int i = 0; i < combo->count(); ++i)
                k.items << combo->itemText(i);
        saved.push_back(k);
    }
    const QString title = form->windowTitle();
    retranslate();
    if (keepTitle)
        form->setWindowTitle(title);
    for (const Kept &k : saved) {
        k.widget->setToolTip(k.toolTip);
        if (auto *label = qobject_cast<QLabel *>(k.widget))
            label->setText(k.text);
        else if (auto *button = qobject_cast<QAbstractButton *>(k.widget))
            button->setText(k.text);
        else if (auto *group = qobject_cast<QGroupBox *>(k.widget))
            group->setTitle(k.text);
        else if (auto *edit = qobject_cast<QLineEdit *>(k.widget))
            edit->setText(k.text), edit->setPlaceholderText(k.items.value(0));
        else if (auto *tabs = qobject_cast<QTabWidget *>(k.widget))
            for (int i = 0; i < tabs->count() && i < k.items.size(); ++i)
                tabs->setTabText(i, k.items.at(i));
        else if (auto *combo = qobject_cast<QComboBox *>(k.widget))
            for (int i = 0; i < combo->count() && i < k.items.size(); ++i)
                combo->setItemText(i, k.items.at(i));
    }
}

// A header's sections made wide enough for their texts again, as after a
// change of language; the user's wider sections stay.
inline void widenToTexts(QHeaderView *header)
{
    for (int section = 0; section < header->count(); ++section)
        header->resizeSection(section, std::max(header->sectionSize(section), header->sectionSizeHint(section)));
}

} // namespace FormTexts
