#pragma once
// Names typed into the catalogues as they are stored.
#include <QString>

namespace tabel {

// The typed name without blanks around it; control characters inside it (tabs, line breaks of
// pasted text) become blanks, so a stored name always shows on one line; half a character (a lone
// UTF-16 surrogate) is dropped.
QString cleanName(const QString& typed);

} // namespace tabel
