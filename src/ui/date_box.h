#pragma once
// Date boxes typed into as the desktop's own date pickers are: a click selects the section
// (day, month, year) under it, so digits typed then replace it; with the whole date selected
// (Ctrl+A) a typed date replaces the whole date, from its day on.
class QDateEdit;

namespace tabel::ui {

// Sets the box up ("dd.MM.yyyy", the calendar popup) with that typing.
void makeDateBox(QDateEdit* box);

} // namespace tabel::ui
