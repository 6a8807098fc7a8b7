#include "ui/date_box.h"

#include <QDateEdit>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

using namespace Qt::StringLiterals;

namespace tabel::ui {
namespace {

class SectionTyping final : public QObject {
public:
    SectionTyping(QDateEdit* box, QLineEdit* text)
        : QObject(box)
        , box_(box)
        , text_(text)
    {
        text_->installEventFilter(this); // clicks land on the text
        box_->installEventFilter(this); // keys go to the box, which has the focus
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == text_ && event->type() == QEvent::MouseButtonRelease
            && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && !text_->hasSelectedText()) {
            box_->setSelectedSection(box_->currentSection()); // the caret's section, whole
            afterDigit_ = false;
        } else if (watched == box_ && event->type() == QEvent::KeyPress) {
            const QString typed = static_cast<QKeyEvent*>(event)->text();
            const bool digit = typed.size() == 1 && typed.at(0).isDigit();
            const bool separator = typed == u"."_s || typed == u","_s || typed == u"/"_s;
            // a section filled by its digits already moved on to the next: the separator typed
            // after them is the one the user sees, not a step over the next section
            if (separator && afterDigit_ && box_->currentSection() != digitSection_) {
                afterDigit_ = false;
                return true;
            }
            if (digit && text_->hasSelectedText() && text_->selectedText() == text_->text())
                box_->setSelectedSection(box_->sectionAt(0)); // a whole date, from its first section
            afterDigit_ = digit;
            digitSection_ = box_->currentSection();
        }
        return false; // the box goes on with the event as usual
    }

private:
    QDateEdit* box_;
    QLineEdit* text_;
    bool afterDigit_ = false; // the last key typed a digit into digitSection_
    QDateTimeEdit::Section digitSection_ = QDateTimeEdit::NoSection;
};

} // namespace

void makeDateBox(QDateEdit* box)
{
    box->setCalendarPopup(true);
    box->setDisplayFormat(u"dd.MM.yyyy"_s);
    if (auto* text = box->findChild<QLineEdit*>())
        new SectionTyping(box, text); // owned by the box
}

} // namespace tabel::ui
