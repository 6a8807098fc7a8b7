#pragma once
// The busy cursor for the length of a scope; the normal cursor comes back however the scope ends.
#include <QApplication>

namespace tabel::ui {

class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace tabel::ui
