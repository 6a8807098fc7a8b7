#pragma once
// A statement that failed, or a dataset used wrongly; the text is the driver's message or ours.
#include "core/error.h"

namespace tabel::db {

class DbError : public Error {
public:
    using Error::Error;
};

} // namespace tabel::db
