#include "db/statement.h"

#include "db/db_error.h"
#include "db/pg_exec.h"

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
    const qsizetype n = sql.size();
    qsizetype i = 0;
    auto both = [&out](QStringView piece) {
        out.odbcText += piece;
        out.pgText += piece;
    };
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
            both(QStringView(sql).mid(i, j - i + 1));
            i = j + 1;
        } else if (c == u'-' && i + 1 < n && sql.at(i + 1) == u'-') { // line comment
            qsizetype j = sql.indexOf(u'\n', i);
            if (j < 0)
                j = n;
            both(QStringView(sql).mid(i, j - i));
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

QVariant Statement::param(const QString& name) const { return values_.value(name.toLower()); }

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
            c.fail(odbcQuery_->lastError());
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
    for (size_t i = 0; i < v.size(); ++i) {
        // send wall-clock text: a bound QDateTime may be converted to UTC on the way
        const QVariant& value = v[i];
        odbcQuery_->bindValue(static_cast<int>(i), value.typeId() == QMetaType::QDateTime
                                                     ? QVariant(value.toDateTime().toString(u"yyyy-MM-dd HH:mm:ss"_s))
                                                     : value);
    }
    if (!odbcQuery_->exec()) {
        const QSqlError e = odbcQuery_->lastError();
        odbcQuery_.reset(); // a failed prepared statement may be unusable; prepare anew next time
        c.fail(e);
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
            c.fail(outcome.error);
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
    for (int i = 0; i < n; ++i) {
        f.names << rec.fieldName(i);
        f.types.push_back(rec.field(i).metaType());
    }
    std::vector<QVariant> cells;
    while (q.next()) {
        for (int i = 0; i < n; ++i)
            cells.push_back(normalizeFetched(q.value(i), Driver::Odbc));
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
            c.fail(outcome.error);
        return outcome.affected;
    }
    QSqlQuery& q = runOdbc();
    const int affected = q.numRowsAffected();
    q.finish();
    return affected;
}

} // namespace tabel::db
