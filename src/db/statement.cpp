#include "db/statement.h"

#include "db/db_error.h"
#include "db/odbc_result.h"
#include "db/pg_exec.h"

#include <QDateTime>
#include <QSqlError>
#include <QSqlField>
#include <QSqlRecord>

using namespace Qt::StringLiterals;

namespace tabel::db {
namespace {

bool isNameStart(QChar c)
{
    return c.isLetter() || c == u'_';
}
bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

// Where the opening tag of a dollar-quoted string starting at i ends ("$$", "$body$"), or 0.
// "$1" is a positional parameter, not a tag.
qsizetype dollarTagEnd(const QString& sql, qsizetype i)
{
    if (sql.at(i) != u'$' || (i > 0 && isNameChar(sql.at(i - 1))))
        return 0;
    qsizetype j = i + 1;
    if (j < sql.size() && sql.at(j).isDigit())
        return 0;
    while (j < sql.size() && isNameChar(sql.at(j)))
        ++j;
    return j < sql.size() && sql.at(j) == u'$' ? j + 1 : 0;
}

// A parameter as QODBC binds it so that the server reads what libpq would be sent: NULL as a
// null of its type, date-times as wall-clock text to the microsecond (QODBC would bind a
// QDateTime to the millisecond and may convert it to UTC on the way). psqlODBC sends text
// parameters untyped, so the server reads them as the type the statement wants.
QVariant odbcParameter(const QVariant& v)
{
    if (isNullParameter(v))
        return QVariant(
            v.isValid() && v.typeId() != qMetaTypeId<Timestamp>() ? v.metaType() : QMetaType::fromType<QString>());
    // doubles as their shortest text too: psqlODBC would write 17 digits (0.1 as 0.10000000000000001)
    switch (v.typeId()) {
    case QMetaType::QDateTime:
    case QMetaType::Double:
    case QMetaType::Float:
        return { QString::fromLatin1(parameterText(v)) };
    default:
        return v.typeId() == qMetaTypeId<Timestamp>() ? QVariant(QString::fromLatin1(parameterText(v))) : v;
    }
}

} // namespace

ParsedStatement parseStatement(const QString& sql)
{
    ParsedStatement out;
    const qsizetype n = sql.size();
    qsizetype i = 0;
    auto both = [&out](QStringView piece) {
        out.odbcText += piece;
        out.pgText += piece;
    };
    while (i < n) {
        const QChar c = sql.at(i);
        const bool escapeString
            = (c == u'e' || c == u'E') && i + 1 < n && sql.at(i + 1) == u'\'' && (i == 0 || !isNameChar(sql.at(i - 1)));
        // Qt's ODBC layer looks for ":name" itself and knows only '…' quotes, so the ODBC text
        // carries E'…' quotes as '' and $$…$$ strings as '…', and no comments.
        if (escapeString) { // E'…': a backslash takes the next character, '' is a quote
            QString odbc = sql.mid(i, 2);
            qsizetype j = i + 2;
            while (j < n) {
                if (sql.at(j) == u'\\' && j + 1 < n) {
                    odbc += sql.at(j + 1) == u'\'' ? u"''"_s : sql.mid(j, 2);
                    j += 2;
                    continue;
                }
                if (sql.at(j) == u'\'') {
                    if (j + 1 < n && sql.at(j + 1) == u'\'') {
                        odbc += u"''"_s;
                        j += 2;
                        continue;
                    }
                    break;
                }
                odbc += sql.at(j++);
            }
            if (j < n)
                odbc += u'\'';
            j = std::min(j, n - 1);
            out.pgText += QStringView(sql).mid(i, j - i + 1);
            out.odbcText += odbc;
            i = j + 1;
        } else if (c == u'/' && i + 1 < n && sql.at(i + 1) == u'*') { // block comment, nested
            qsizetype j = i + 2;
            int depth = 1;
            while (j < n && depth > 0) {
                if (sql.at(j) == u'/' && j + 1 < n && sql.at(j + 1) == u'*') {
                    ++depth;
                    j += 2;
                } else if (sql.at(j) == u'*' && j + 1 < n && sql.at(j + 1) == u'/') {
                    --depth;
                    j += 2;
                } else {
                    ++j;
                }
            }
            out.pgText += QStringView(sql).mid(i, j - i);
            out.odbcText += u' ';
            i = j;
        } else if (const qsizetype tagEnd = dollarTagEnd(sql, i); tagEnd > 0) { // $tag$ … $tag$
            const QString tag = sql.mid(i, tagEnd - i);
            const qsizetype close = sql.indexOf(tag, tagEnd);
            const qsizetype j = close < 0 ? n : close + tag.size();
            out.pgText += QStringView(sql).mid(i, j - i);
            QString body = sql.mid(tagEnd, (close < 0 ? n : close) - tagEnd);
            body.replace(u"'"_s, u"''"_s);
            out.odbcText += u'\'' + body + u'\'';
            i = j;
        } else if (c == u'\'' || c == u'"') { // quoted literal or identifier, doubled quote inside
            qsizetype j = i + 1;
            while (j < n) {
                if (sql.at(j) == c) {
                    if (j + 1 < n && sql.at(j + 1) == c) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            both(QStringView(sql).mid(i, j - i + 1));
            i = j + 1;
        } else if (c == u'-' && i + 1 < n && sql.at(i + 1) == u'-') { // line comment
            qsizetype j = sql.indexOf(u'\n', i);
            if (j < 0)
                j = n;
            out.pgText += QStringView(sql).mid(i, j - i);
            i = j;
        } else if (c == u':' && i + 1 < n && sql.at(i + 1) == u':') { // cast
            both(u"::");
            i += 2;
        } else if (c == u':' && i + 1 < n && isNameStart(sql.at(i + 1))) {
            qsizetype j = i + 1;
            while (j < n && isNameChar(sql.at(j)))
                ++j;
            out.names << sql.mid(i + 1, j - i - 1).toLower();
            out.odbcText += u'?';
            out.pgText += u'$' + QString::number(out.names.size());
            i = j;
        } else {
            both(QStringView(&sql.constData()[i], 1));
            ++i;
        }
    }
    return out;
}

void Statement::setSql(const QString& sql)
{
    if (sql == sql_)
        return;
    sql_ = sql;
    parsed_ = parseStatement(sql);
    odbcQuery_.reset();
    preparedGeneration_ = -1;
    QHash<QString, QVariant> kept;
    for (const QString& name : std::as_const(parsed_.names))
        kept.insert(name, values_.value(name));
    values_ = kept;
}

void Statement::setParam(const QString& name, const QVariant& value)
{
    const QString key = name.toLower();
    if (!parsed_.names.contains(key))
        throw DbError(u"В запросе нет параметра :"_s + name);
    values_.insert(key, value);
}

QVariant Statement::param(const QString& name) const
{
    return values_.value(name.toLower());
}

std::vector<QVariant> Statement::values() const
{
    std::vector<QVariant> out;
    for (const QString& name : parsed_.names)
        out.push_back(values_.value(name));
    return out;
}

QSqlQuery& Statement::runOdbc()
{
    Connection& c = *connection_;
    if (parsed_.names.isEmpty()) {
        odbcQuery_.emplace(c.newQuery());
        odbcQuery_->setForwardOnly(true);
        if (!odbcQuery_->exec(sql_))
            c.fail(*odbcQuery_);
        return *odbcQuery_;
    }
    if (!odbcQuery_ || preparedGeneration_ != c.generation()) {
        odbcQuery_.emplace(c.newQuery());
        odbcQuery_->setForwardOnly(true);
        if (!odbcQuery_->prepare(parsed_.odbcText)) {
            const QSqlError e = odbcQuery_->lastError();
            odbcQuery_.reset();
            c.fail(e);
        }
        preparedGeneration_ = c.generation();
    }
    odbcQuery_->finish();
    const std::vector<QVariant> v = values();
    for (size_t i = 0; i < v.size(); ++i)
        odbcQuery_->bindValue(static_cast<int>(i), odbcParameter(v[i]));
    if (!odbcQuery_->exec()) {
        QSqlQuery failed = std::move(*odbcQuery_);
        odbcQuery_.reset(); // a failed prepared statement may be unusable; prepare anew next time
        c.fail(failed);
    }
    return *odbcQuery_;
}

Fetched Statement::fetch()
{
    Connection& c = *connection_;
    Fetched f;
    if (c.driver() == Driver::Psql) {
        PgOutcome outcome = pgExec(c.pgHandle(), parsed_.names.isEmpty() ? sql_ : parsed_.pgText, values());
        if (!outcome.error.isEmpty())
            c.fail(outcome);
        if (!outcome.result)
            throw DbError(u"Запрос не вернул строк: "_s + sql_.left(80));
        auto store = std::make_unique<PgResultStore>(outcome.result);
        f.names = store->names();
        f.types = store->types();
        f.store = std::move(store);
        return f;
    }
    QSqlQuery& q = runOdbc();
    const QSqlRecord rec = q.record();
    const int n = rec.count();
    const std::vector<OdbcColumn> kinds = odbcColumns(q);
    for (int i = 0; i < n; ++i) {
        f.names << rec.fieldName(i);
        switch (kinds[i]) {
        case OdbcColumn::Bool:
            f.types.push_back(QMetaType::fromType<bool>());
            break;
        case OdbcColumn::Real:
            f.types.push_back(QMetaType::fromType<double>());
            break;
        case OdbcColumn::Timestamp:
            f.types.push_back(QMetaType::fromType<Timestamp>());
            break;
        case OdbcColumn::Plain:
            f.types.push_back(rec.field(i).metaType());
            break;
        }
    }
    std::vector<QVariant> cells;
    while (q.next()) {
        for (int i = 0; i < n; ++i)
            cells.push_back(odbcValue(q, i, kinds[i]));
    }
    q.finish();
    f.store = std::make_unique<VariantStore>(n, std::move(cells));
    return f;
}

int Statement::execute()
{
    Connection& c = *connection_;
    if (c.driver() == Driver::Psql) {
        const PgOutcome outcome = pgExec(c.pgHandle(), parsed_.names.isEmpty() ? sql_ : parsed_.pgText, values());
        if (!outcome.error.isEmpty())
            c.fail(outcome);
        return outcome.affected;
    }
    QSqlQuery& q = runOdbc();
    const int affected = q.numRowsAffected();
    q.finish();
    return affected;
}

} // namespace tabel::db
