#pragma once
// A statement that failed, or a dataset used wrongly; the text is the driver's message or ours.
#include "core/error.h"

namespace tabel::db {

class DbError : public Error {
public:
    explicit DbError(QString text, QString sqlState = {})
        : Error(std::move(text))
        , sqlState_(std::move(sqlState))
    {
    }
    // The server's SQLSTATE, when the server refused the statement.
    const QString& sqlState() const noexcept { return sqlState_; }
    // A rule of the program's own that the server holds (sql/27_rules.sql): the text is the
    // server's message alone, in the program's words.
    bool isRefusal() const { return sqlState_.startsWith(u"TB"); }
    // The record is accepted or gone: nothing of it may change.
    bool isRecordClosed() const { return sqlState_ == u"TB001"; }

private:
    QString sqlState_;
};

} // namespace tabel::db
