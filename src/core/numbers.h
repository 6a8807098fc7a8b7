#pragma once
// Numbers in the program's own formats, whatever the machine's locale: a decimal comma on screen,
// a point in statement texts.
#include <QString>

namespace tabel {

// The general number format: up to 15 significant digits, trailing zeros dropped, decimal comma,
// no thousands separators; scientific ("1,5E-7", "1,23456789012346E17") below 0,00001 or beyond
// 15 integer digits.
QString formatGeneral(double value);

// A display mask such as "#0.00#": rounded (half to even) to maxPlaces, trailing zeros dropped
// down to minPlaces, decimal comma ("12,50", "9,125").
QString formatDecimals(double value, int minPlaces, int maxPlaces);

// The general format with a decimal point, for statement texts.
QString sqlNumber(double value);

// Rounds to `places` decimal places, a tie going to the even digit. Ties are judged on the value's
// 15-significant-digit decimal form, so 2.5 and a typed 0.00125 round as a person expects.
double roundHalfEven(double value, int places);

// Strict parsing of typed text: surrounding blanks are ignored, the rest must be a whole number
// with an optional sign and one decimal comma (a point is taken as a comma). Anything else throws
// ConversionError with a message that quotes the text.
// Also refuses a number too large for a double or one so small that it would be stored as 0.
double parseNumber(const QString& text);
// Typed text as a message quotes it: «text», or its first 40 characters and "…".
QString quoted(const QString& text);
// A whole number in the range of qint64; "1,5" is refused.
qint64 parseWhole(const QString& text);
// True when parseNumber would accept the text.
bool isNumber(const QString& text);

} // namespace tabel
