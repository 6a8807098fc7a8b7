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
    // The record is accepted or gone: nothing of it may change.
    bool isRecordClosed() const { return sqlState_ == u"TB001"; }

private:
    QString sqlState_;
};

// A rule of the program's own that the server holds (sql/27_rules.sql, SQLSTATEs "TB…"): its
// message is told as the server words it, without the driver's text around it.
inline bool isRefusal(const QString& sqlState)
{
    return sqlState.startsWith(u"TB");
}

} // namespace tabel::db
