#pragma once
// ERP ids (persons, goods, colours, requisitions, lines, consignments) have up to 15 digits:
// they are 64-bit everywhere in the program.
#include <QtGlobal>

namespace tabel {
using Id = qint64;
}
