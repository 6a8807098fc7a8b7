#pragma once
// Number boxes: a key filter that lets through digits, the decimal comma and Backspace (a typed
// point becomes a comma) and drops every other character; keys that type nothing (arrows, Tab,
// Delete, shortcuts) pass. Pasted text can still hold anything, so the whole text is validated
// when it is read.
#include <QObject>

class QLineEdit;

namespace tabel::ui {

class NumberKeyFilter : public QObject {
    Q_OBJECT
public:
    explicit NumberKeyFilter(QObject* parent = nullptr, bool whole = false)
        : QObject(parent)
        , whole_(whole)
    {
    }
    // Installs a filter owned by the box; a whole-number box takes digits only.
    static void install(QLineEdit* box, bool whole = false);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool whole_;
};

// The box's text as a number (ConversionError when it is not one).
double readNumber(const QLineEdit* box);
// The box's text as a whole number (ConversionError when it is not one).
qint64 readWhole(const QLineEdit* box);

} // namespace tabel::ui
