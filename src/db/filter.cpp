#include "db/filter.h"

#include "db/db_error.h"

#include <QDateTime>
#include <cmath>
#include <optional>

using namespace Qt::StringLiterals;

namespace tabel::db {

struct Filter::Node {
    enum class Kind { And, Or, Compare };
    enum class Op { Eq, Ne, Lt, Gt, Le, Ge, Like };
    Kind kind = Kind::Compare;
    std::unique_ptr<Node> left, right;
    int field = -1;
    Op op = Op::Eq;
    bool isText = false;
    QString text; // lower case for text comparison
    double number = 0;
    std::optional<qint64> moment; // a text literal that reads as a date or timestamp
};

namespace {

using Node = Filter::Node;

struct Token {
    enum class Kind { Name, Number, String, Op, LParen, RParen, End };
    Kind kind = Kind::End;
    QString text;
    qsizetype pos = 0;
};

[[noreturn]] void malformed(const QString& expr, const QString& why)
{
    throw DbError(u"Неверное условие отбора «"_s + expr + u"»: "_s + why);
}

std::vector<Token> tokenize(const QString& s)
{
    std::vector<Token> out;
    qsizetype i = 0;
    const qsizetype n = s.size();
    while (i < n) {
        const QChar c = s.at(i);
        if (c.isSpace()) {
            ++i;
        } else if (c == u'\'') {
            QString text;
            qsizetype j = i + 1;
            bool closed = false;
            while (j < n) {
                if (s.at(j) == u'\'') {
                    if (j + 1 < n && s.at(j + 1) == u'\'') {
                        text += u'\'';
                        j += 2;
                        continue;
                    }
                    closed = true;
                    break;
                }
                text += s.at(j++);
            }
            if (!closed)
                malformed(s, u"не закрыта кавычка"_s);
            out.push_back({ Token::Kind::String, text, i });
            i = j + 1;
        } else if (c.isDigit() || ((c == u'-' || c == u'.') && i + 1 < n && s.at(i + 1).isDigit())) {
            qsizetype j = i + 1;
            while (j < n && (s.at(j).isDigit() || s.at(j) == u'.'))
                ++j;
            out.push_back({ Token::Kind::Number, s.mid(i, j - i), i });
            i = j;
        } else if (c.isLetter() || c == u'_') {
            qsizetype j = i + 1;
            while (j < n && (s.at(j).isLetterOrNumber() || s.at(j) == u'_' || s.at(j) == u'.'))
                ++j;
            out.push_back({ Token::Kind::Name, s.mid(i, j - i), i });
            i = j;
        } else if (c == u'(' || c == u')') {
            out.push_back({ c == u'(' ? Token::Kind::LParen : Token::Kind::RParen, QString(c), i });
            ++i;
        } else if (c == u'=' || c == u'<' || c == u'>' || c == u'!') {
            QString op(c);
            if (i + 1 < n && (s.at(i + 1) == u'=' || (c == u'<' && s.at(i + 1) == u'>')))
                op += s.at(i + 1);
            if (op == u"!"_s)
                malformed(s, u"неизвестный знак «!»"_s);
            out.push_back({ Token::Kind::Op, op, i });
            i += op.size();
        } else {
            malformed(s, u"неожиданный символ «"_s + c + u"»"_s);
        }
    }
    out.push_back({ Token::Kind::End, {}, n });
    return out;
}

// "DD.MM.YYYY", "DD.MM.YYYY HH:MM:SS" or ISO, on the scale of dayOrdinal().
std::optional<qint64> momentOf(const QString& text)
{
    const QString t = text.trimmed();
    for (const QString& format : { u"dd.MM.yyyy"_s, u"yyyy-MM-dd"_s }) {
        const QDate d = QDate::fromString(t, format);
        if (d.isValid())
            return dayOrdinal(d);
    }
    for (const QString& format : { u"dd.MM.yyyy HH:mm:ss"_s, u"yyyy-MM-dd HH:mm:ss"_s, u"dd.MM.yyyy HH:mm"_s }) {
        const QDateTime dt = QDateTime::fromString(t, format);
        if (dt.isValid())
            return Timestamp::fromDateTime(dt).ordinal();
    }
    return std::nullopt;
}

class Parser {
public:
    Parser(const QString& expr, QStringList& fields)
        : expr_(expr)
        , tokens_(tokenize(expr))
        , fields_(fields)
    {
    }

    std::unique_ptr<Node> parseAll()
    {
        if (peek().kind == Token::Kind::End)
            malformed(expr_, u"условие пусто"_s);
        auto node = parseOr();
        if (peek().kind != Token::Kind::End)
            malformed(expr_, u"лишний текст «"_s + peek().text + u"»"_s);
        return node;
    }

private:
    const Token& peek() const { return tokens_[pos_]; }
    Token take() { return tokens_[pos_++]; }
    bool isWord(const char16_t* word) const
    {
        return peek().kind == Token::Kind::Name && peek().text.compare(QStringView(word), Qt::CaseInsensitive) == 0;
    }

    std::unique_ptr<Node> binary(Node::Kind kind, std::unique_ptr<Node> l, std::unique_ptr<Node> r)
    {
        auto n = std::make_unique<Node>();
        n->kind = kind;
        n->left = std::move(l);
        n->right = std::move(r);
        return n;
    }

    std::unique_ptr<Node> parseOr()
    {
        auto node = parseAnd();
        while (isWord(u"or")) {
            take();
            node = binary(Node::Kind::Or, std::move(node), parseAnd());
        }
        return node;
    }

    std::unique_ptr<Node> parseAnd()
    {
        auto node = parseTerm();
        while (isWord(u"and")) {
            take();
            node = binary(Node::Kind::And, std::move(node), parseTerm());
        }
        return node;
    }

    std::unique_ptr<Node> parseTerm()
    {
        if (peek().kind == Token::Kind::LParen) {
            take();
            auto node = parseOr();
            if (peek().kind != Token::Kind::RParen)
                malformed(expr_, u"не закрыта скобка"_s);
            take();
            return node;
        }
        if (peek().kind != Token::Kind::Name || isWord(u"and") || isWord(u"or") || isWord(u"like"))
            malformed(expr_, u"ожидалось имя поля"_s);
        auto node = std::make_unique<Node>();
        const QString field = take().text.toLower();
        qsizetype index = fields_.indexOf(field);
        if (index < 0) {
            fields_ << field;
            index = fields_.size() - 1;
        }
        node->field = static_cast<int>(index);
        if (isWord(u"like")) {
            take();
            node->op = Node::Op::Like;
        } else if (peek().kind == Token::Kind::Op) {
            const QString op = take().text;
            if (op == u"="_s)
                node->op = Node::Op::Eq;
            else if (op == u"<>"_s || op == u"!="_s)
                node->op = Node::Op::Ne;
            else if (op == u"<"_s)
                node->op = Node::Op::Lt;
            else if (op == u">"_s)
                node->op = Node::Op::Gt;
            else if (op == u"<="_s)
                node->op = Node::Op::Le;
            else if (op == u">="_s)
                node->op = Node::Op::Ge;
            else
                malformed(expr_, u"неизвестный знак «"_s + op + u"»"_s);
        } else {
            malformed(expr_, u"ожидался знак сравнения после «"_s + field + u"»"_s);
        }
        const Token v = take();
        if (v.kind == Token::Kind::String) {
            node->isText = true;
            node->text = v.text.toLower();
            node->moment = momentOf(v.text);
        } else if (v.kind == Token::Kind::Number && node->op != Node::Op::Like) {
            bool ok = false;
            node->number = v.text.toDouble(&ok);
            if (!ok)
                malformed(expr_, u"«"_s + v.text + u"» не является числом"_s);
        } else {
            malformed(expr_,
                node->op == Node::Op::Like ? u"после like ожидалась строка в кавычках"_s
                                           : u"ожидалось число или строка в кавычках"_s);
        }
        return node;
    }

    const QString& expr_;
    std::vector<Token> tokens_;
    size_t pos_ = 0;
    QStringList& fields_;
};

// '%' any run, '_' any one character, '\' escapes; both sides already lower case.
bool likeMatch(QStringView text, QStringView pattern)
{
    qsizetype t = 0;
    qsizetype p = 0;
    qsizetype starP = -1;
    qsizetype starT = 0;
    while (t < text.size()) {
        if (p < pattern.size()) {
            QChar pc = pattern[p];
            if (pc == u'%') {
                starP = p++;
                starT = t;
                continue;
            }
            bool literal = false;
            if (pc == u'\\' && p + 1 < pattern.size()) {
                pc = pattern[p + 1];
                literal = true;
            }
            if ((!literal && pc == u'_') || pc == text[t]) {
                p += literal ? 2 : 1;
                ++t;
                continue;
            }
        }
        if (starP < 0)
            return false;
        p = starP + 1;
        t = ++starT;
    }
    while (p < pattern.size() && pattern[p] == u'%')
        ++p;
    return p == pattern.size();
}

template <typename T> bool compare(Node::Op op, const T& a, const T& b)
{
    switch (op) {
    case Node::Op::Eq:
        return a == b;
    case Node::Op::Ne:
        return a != b;
    case Node::Op::Lt:
        return a < b;
    case Node::Op::Gt:
        return a > b;
    case Node::Op::Le:
        return a <= b;
    case Node::Op::Ge:
        return a >= b;
    case Node::Op::Like:
        return false;
    }
    return false;
}

bool evaluate(const Node& n, const std::function<Value(int)>& column)
{
    switch (n.kind) {
    case Node::Kind::And:
        return evaluate(*n.left, column) && evaluate(*n.right, column);
    case Node::Kind::Or:
        return evaluate(*n.left, column) || evaluate(*n.right, column);
    case Node::Kind::Compare:
        break;
    }
    const Value v = column(n.field);
    if (v.isNull())
        return n.op == Node::Op::Ne; // null equals nothing
    if (n.op == Node::Op::Like)
        return likeMatch(v.toText().toLower(), n.text);
    if (n.isText && n.moment) { // dates compare as dates, not as "DD.MM.YYYY" texts
        const std::optional<qint64> m = v.moment();
        if (m)
            return compare(n.op, *m, *n.moment);
    }
    if (n.isText) {
        if (v.isNumeric()) { // '5' against a number column compares as numbers when it can
            bool ok = false;
            const double d = QString(n.text).replace(u',', u'.').toDouble(&ok);
            if (ok)
                return compare(n.op, v.toDouble(), d);
        }
        return compare(n.op, v.toText().toLower(), n.text);
    }
    if (!v.isNumeric()) {
        bool ok = false;
        const double d = v.toText().trimmed().replace(u',', u'.').toDouble(&ok);
        return ok ? compare(n.op, d, n.number) : n.op == Node::Op::Ne;
    }
    return compare(n.op, v.toDouble(), n.number);
}

} // namespace

Filter::Filter() = default;
Filter::~Filter() = default;
Filter::Filter(Filter&&) noexcept = default;
Filter& Filter::operator=(Filter&&) noexcept = default;

Filter Filter::parse(const QString& expression)
{
    Filter f;
    Parser parser(expression, f.fields_);
    f.root_ = parser.parseAll();
    return f;
}

QStringList Filter::fields() const
{
    return fields_;
}

bool Filter::matches(const std::function<Value(int)>& column) const
{
    return !root_ || evaluate(*root_, column);
}

QString filterQuote(const QString& text)
{
    QString q = text;
    q.replace(u"'"_s, u"''"_s);
    return u'\'' + q + u'\'';
}

QString filterLike(const QString& field, const QString& typed)
{
    QString escaped;
    escaped.reserve(typed.size() + 4);
    for (const QChar c : typed) {
        if (c == u'%' || c == u'_' || c == u'\\')
            escaped += u'\\';
        escaped += c;
    }
    return field + u" like "_s + filterQuote(escaped + u'%');
}

} // namespace tabel::db
