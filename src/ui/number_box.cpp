#include "ui/number_box.h"

#include "core/numbers.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace tabel::ui {

void NumberKeyFilter::install(QLineEdit* box, bool whole)
{
    box->installEventFilter(new NumberKeyFilter(box, whole));
}

bool NumberKeyFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const QString text = key->text();
    if (key->key() == Qt::Key_Backspace || text.isEmpty() || !text.at(0).isPrint()
        || (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return false;
    if (whole_)
        return !(text.size() == 1 && text.at(0) >= u'0' && text.at(0) <= u'9');
    if (text == QStringLiteral(".")) {
        if (auto* box = qobject_cast<QLineEdit*>(watched))
            box->insert(QStringLiteral(","));
        return true;
    }
    const QChar c = text.at(0);
    const bool allowed = text.size() == 1 && ((c >= u'0' && c <= u'9') || c == u',');
    return !allowed;
}

double readNumber(const QLineEdit* box)
{
    return parseNumber(box->text());
}

qint64 readWhole(const QLineEdit* box)
{
    return parseWhole(box->text());
}

} // namespace tabel::ui
