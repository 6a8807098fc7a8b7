#pragma once
// Bold captions over controls in the normal font, as every window of the program shows them.
#include <QLabel>
#include <QWidget>

namespace tabel::ui {

// The widget's text bold or not; the controls inside it follow unless they set their own.
inline void setBold(QWidget* w, bool bold = true)
{
    QFont f = w->font();
    f.setBold(bold);
    w->setFont(f);
}

inline QLabel* boldLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    setBold(label);
    return label;
}

// A group's title in bold over its controls in the normal font; its labels stay bold. Called once
// its controls are in place.
inline void setBoldTitle(QWidget* group)
{
    setBold(group);
    for (QWidget* w : group->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (!qobject_cast<QLabel*>(w))
            setBold(w, false);
}

} // namespace tabel::ui
