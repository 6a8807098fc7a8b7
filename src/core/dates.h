#pragma once
// Dates in the program's format "DD.MM.YYYY", on screen and inside statement texts.
#include <QDate>
#include <QString>

namespace tabel {

QString formatDate(const QDate& date); // "05.03.2022"
// Strict: exactly "DD.MM.YYYY" of a real date (surrounding blanks ignored); throws ConversionError.
QDate parseDate(const QString& text);
// The date as a statement fragment: to_date('05.03.2022', 'DD.MM.YYYY').
QString sqlDate(const QDate& date);

} // namespace tabel
