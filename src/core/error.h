#pragma once
// The program's exceptions. Every error a handler does not catch ends up in the general error box,
// so each carries the text the user reads.
#include <QString>
#include <exception>

namespace tabel {

class Error : public std::exception {
public:
    explicit Error(QString text)
        : text_(std::move(text))
        , utf8_(text_.toUtf8())
    {
    }
    const QString& text() const noexcept { return text_; }
    const char* what() const noexcept override { return utf8_.constData(); }

private:
    QString text_;
    QByteArray utf8_;
};

// Typed text that is not a number (or not a date) of the form asked for.
class ConversionError : public Error {
public:
    using Error::Error;
};

} // namespace tabel
