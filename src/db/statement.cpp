#include "db/statement.h"

#include "db/db_error.h"
#include "db/psql_fetch.h"

#include <QDateTime>
#include <QSqlError>
#include <QSqlField>
#include <QSqlRecord>

using namespace Qt::StringLiterals;

namespace tabel::db {
namespace {

bool isNameStart(QChar c) { return c.isLetter() || c == u'_'; }
bool isNameChar(QChar c) { return c.isLetterOrNumber() || c == u'_'; }

} // namespace

ParsedStatement parseStatement(const QString& sql)
{
    ParsedStatement out;
    out.text.reserve(sql.size());
    const qsizetype n = sql.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = sql.at(i);
        if (c == u'\'' || c == u'"') { // quoted literal or identifier, doubled quote inside
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
            out.text += sql.mid(i, j - i + 1);
            i = j + 1;
        } else if (c == u'-' && i + 1 < n && sql.at(i + 1) == u'-') { // line comment
            qsizetype j = sql.indexOf(u'\n', i);
            if (j < 0)
                j = n;
            out.text += sql.mid(i, j - i);
            i = j;
        } else if (c == u':' && i + 1 < n && sql.at(i + 1) == u':') { // cast
            out.text += u"::"_s;
            i += 2;
        } else if (c == u':' && i + 1 < n && isNameStart(sql.at(i + 1))) {
            qsizetype j = i + 1;
            while (j < n && isNameChar(sql.at(j)))
                ++j;
            out.names << sql.mid(i + 1, j - i - 1).toLower();
            out.text += u'?';
            i = j;
        } else {
            out.text += c;
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
    query_.reset();
    preparedGeneration_ = -1;
    QHash<QString, QVariant> kept;
    for (const QString& name : std::as_const(parsed_.names))
        kept.insert(name, values_.value(name));
    values_ = kept;
}

bool Statement::hasParam(const QString& name) const { return parsed_.names.contains(name.toLower()); }

void Statement::setParam(const QString& name, const QVariant& value)
{
    const QString key = name.toLower();
    if (!parsed_.names.contains(key))
        throw DbError(u"В запросе нет параметра :"_s + name);
    values_.insert(key, value);
}

QVariant Statement::param(const QString& name) const { return values_.value(name.toLower()); }

QVariant Statement::bindable(const QVariant& v) const
{
    // QPSQL sends a QDateTime as UTC; send the wall-clock text instead, which both drivers pass on.
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime().toString(u"yyyy-MM-dd HH:mm:ss"_s);
    return v;
}

QSqlQuery& Statement::run()
{
    Connection& c = *connection_;
    if (parsed_.names.isEmpty()) {
        query_.emplace(c.newQuery());
        query_->setForwardOnly(c.driver() != Driver::Psql);
        if (!query_->exec(sql_))
            c.fail(query_->lastError());
        return *query_;
    }
    if (!query_ || preparedGeneration_ != c.generation()) {
        query_.emplace(c.newQuery());
        query_->setForwardOnly(c.driver() != Driver::Psql);
        if (!query_->prepare(parsed_.text)) {
            const QSqlError e = query_->lastError();
            query_.reset();
            c.fail(e);
        }
        preparedGeneration_ = c.generation();
    }
    query_->finish();
    for (int i = 0; i < parsed_.names.size(); ++i)
        query_->bindValue(i, bindable(values_.value(parsed_.names.at(i))));
    if (!query_->exec()) {
        const QSqlError e = query_->lastError();
        query_.reset(); // a failed prepared statement may be unusable; prepare anew next time
        c.fail(e);
    }
    return *query_;
}

void fetchAll(QSqlQuery& q, Driver driver, QStringList& names, std::vector<QMetaType>& types,
              std::vector<QVariant>& cells)
{
    if (driver == Driver::Psql && fetchPsqlResult(q, names, types, cells))
        return;
    const QSqlRecord rec = q.record();
    const int n = rec.count();
    names.clear();
    types.clear();
    for (int i = 0; i < n; ++i) {
        names << rec.fieldName(i);
        types.push_back(rec.field(i).metaType());
    }
    cells.clear();
    const int expected = q.size();
    if (expected > 0)
        cells.reserve(static_cast<size_t>(expected) * n);
    while (q.next()) {
        for (int i = 0; i < n; ++i)
            cells.push_back(normalizeFetched(q.value(i), driver));
    }
}

} // namespace tabel::db
