#include "Formula.h"

#include <QSet>
#include <cmath>
#include <vector>

namespace fl::report {

// ---- values ---------------------------------------------------------------------------------

Value Value::number(double n)
{
    Value v;
    v.m_kind = Kind::Number;
    v.m_number = n;
    return v;
}

Value Value::text(QString t)
{
    Value v;
    v.m_kind = Kind::Text;
    v.m_text = std::move(t);
    return v;
}

Value Value::boolean(bool b)
{
    Value v;
    v.m_kind = Kind::Bool;
    v.m_number = b ? 1 : 0;
    return v;
}

Value Value::date(QDate d)
{
    if (!d.isValid()) return {};
    Value v;
    v.m_kind = Kind::Date;
    v.m_date = d;
    return v;
}

Value Value::fromVariant(const QVariant& v)
{
    if (v.isNull() || !v.isValid()) return {};
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::Short:
    case QMetaType::Double:
    case QMetaType::Float: return number(v.toDouble());
    case QMetaType::Bool: return boolean(v.toBool());
    case QMetaType::QDate: return date(v.toDate());
    case QMetaType::QDateTime: return date(v.toDateTime().date());
    case QMetaType::QString: return text(v.toString());
    case QMetaType::QByteArray: return text(QString::fromUtf8(v.toByteArray()));
    default: return {};
    }
}

QString Value::toText() const
{
    switch (m_kind) {
    case Kind::Null: return {};
    case Kind::Text: return m_text;
    case Kind::Bool: return m_number != 0 ? QStringLiteral("True") : QStringLiteral("False");
    case Kind::Date: return m_date.toString(QStringLiteral("yyyy-MM-dd"));
    case Kind::Number:
        if (std::isfinite(m_number) && m_number == std::floor(m_number) && std::fabs(m_number) < 1e15)
            return QString::number(static_cast<qint64>(m_number));
        return QString::number(m_number, 'g', 12);
    }
    return {};
}

bool operator==(const Value& a, const Value& b)
{
    return a.m_kind == b.m_kind && a.m_number == b.m_number && a.m_text == b.m_text && a.m_date == b.m_date;
}

// ---- syntax tree ----------------------------------------------------------------------------

namespace {

enum class Op { Eq, Ne, Lt, Gt, Le, Ge };

} // namespace

struct Node {
    enum class Kind { Literal, Field, FormulaRef, Sum, Compare, And, Or, Not, If } kind;
    int pos = 0;
    Value literal;  // Literal
    QString name;   // Field, FormulaRef: lower case
    Op op = Op::Eq; // Compare
    std::vector<std::unique_ptr<Node>> kids;
    std::vector<int> opPos; // Sum: position of each "+"
};

namespace {

// ---- lexer ----------------------------------------------------------------------------------

struct Token {
    enum class Kind { End, Number, Text, Field, FormulaRef, Word, Symbol } kind = Kind::End;
    int pos = 0; // 1-based
    QString text; // Number: digits; Text: the value; Field/FormulaRef: name; Word: as written; Symbol
    double number = 0;
};

[[noreturn]] void syntaxError(int pos, const QString& what)
{
    throw ReportError(kErrFormulaSyntax, QStringLiteral("Formula error at position %1: %2").arg(pos).arg(what), pos);
}

bool isWordStart(QChar c) { return c.isLetter() || c == u'_'; }
bool isWordChar(QChar c) { return c.isLetterOrNumber() || c == u'_'; }

bool validFieldName(const QString& s)
{
    const int dot = s.indexOf(u'.');
    if (dot <= 0 || dot == s.size() - 1 || s.indexOf(u'.', dot + 1) >= 0) return false;
    for (int i = 0; i < s.size(); ++i) {
        if (i == dot) continue;
        const bool start = i == 0 || i == dot + 1;
        if (start ? !isWordStart(s[i]) : !isWordChar(s[i])) return false;
    }
    return true;
}

bool validWord(const QString& s)
{
    if (s.isEmpty() || !isWordStart(s[0])) return false;
    for (QChar c : s)
        if (!isWordChar(c)) return false;
    return true;
}

std::vector<Token> tokenize(const QString& src)
{
    std::vector<Token> out;
    const int n = static_cast<int>(src.size());
    int i = 0;
    while (i < n) {
        const QChar c = src[i];
        const int pos = i + 1;
        if (c.isSpace()) {
            ++i;
        } else if (c.isDigit()) {
            int j = i;
            while (j < n && src[j].isDigit()) ++j;
            if (j < n && src[j] == u'.') {
                ++j;
                if (j >= n || !src[j].isDigit()) syntaxError(j + 1, QStringLiteral("a digit must follow the decimal point"));
                while (j < n && src[j].isDigit()) ++j;
            }
            Token t{Token::Kind::Number, pos, src.mid(i, j - i), 0};
            t.number = t.text.toDouble();
            out.push_back(std::move(t));
            i = j;
        } else if (c == u'\'') {
            QString value;
            int j = i + 1;
            for (;;) {
                if (j >= n) syntaxError(pos, QStringLiteral("the text has no closing quote"));
                if (src[j] == u'\'') {
                    if (j + 1 < n && src[j + 1] == u'\'') {
                        value += u'\'';
                        j += 2;
                        continue;
                    }
                    break;
                }
                value += src[j++];
            }
            out.push_back(Token{Token::Kind::Text, pos, value, 0});
            i = j + 1;
        } else if (c == u'{') {
            const int close = src.indexOf(u'}', i + 1);
            if (close < 0) syntaxError(pos, QStringLiteral("the field has no closing brace"));
            const QString inner = src.mid(i + 1, close - i - 1).trimmed();
            if (inner.startsWith(u'@')) {
                const QString name = inner.mid(1).trimmed();
                if (!validWord(name)) syntaxError(pos, QStringLiteral("a formula name is expected after {@"));
                out.push_back(Token{Token::Kind::FormulaRef, pos, name.toLower(), 0});
            } else {
                if (!validFieldName(inner)) syntaxError(pos, QStringLiteral("a field is written {table.field}"));
                out.push_back(Token{Token::Kind::Field, pos, inner.toLower(), 0});
            }
            i = close + 1;
        } else if (isWordStart(c)) {
            int j = i;
            while (j < n && isWordChar(src[j])) ++j;
            out.push_back(Token{Token::Kind::Word, pos, src.mid(i, j - i), 0});
            i = j;
        } else if (c == u'<' || c == u'>') {
            QString sym(c);
            if (i + 1 < n && (src[i + 1] == u'=' || (c == u'<' && src[i + 1] == u'>'))) sym += src[i + 1];
            out.push_back(Token{Token::Kind::Symbol, pos, sym, 0});
            i += static_cast<int>(sym.size());
        } else if (c == u'=' || c == u'+' || c == u'(' || c == u')') {
            out.push_back(Token{Token::Kind::Symbol, pos, QString(c), 0});
            ++i;
        } else {
            syntaxError(pos, QStringLiteral("unexpected character '%1'").arg(c));
        }
    }
    out.push_back(Token{Token::Kind::End, n + 1, {}, 0});
    return out;
}

// ---- parser ---------------------------------------------------------------------------------

constexpr int kMaxDepth = 100;

bool isKeyword(const Token& t, const char* word)
{
    return t.kind == Token::Kind::Word && t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

bool isAnyKeyword(const Token& t)
{
    for (const char* k : {"if", "then", "else", "and", "or", "not", "true", "false"})
        if (isKeyword(t, k)) return true;
    return false;
}

class Parser {
public:
    explicit Parser(std::vector<Token> tokens) : m_t(std::move(tokens)) {}

    std::unique_ptr<Node> formula(QString* name)
    {
        if (m_t.size() >= 3 && m_t[0].kind == Token::Kind::Word && !isAnyKeyword(m_t[0])
            && isSymbol(m_t[1], "=")) {
            *name = m_t[0].text;
            m_i = 2;
        }
        if (peek().kind == Token::Kind::End) syntaxError(peek().pos, QStringLiteral("the formula is empty"));
        auto root = expression();
        if (peek().kind != Token::Kind::End) syntaxError(peek().pos, describe(peek()) + QStringLiteral(" was not expected here"));
        return root;
    }

private:
    const Token& peek() const { return m_t[m_i]; }
    const Token& take() { return m_t[m_i < m_t.size() - 1 ? m_i++ : m_i]; }
    static bool isSymbol(const Token& t, const char* s)
    {
        return t.kind == Token::Kind::Symbol && t.text == QLatin1String(s);
    }
    static QString describe(const Token& t)
    {
        switch (t.kind) {
        case Token::Kind::End: return QStringLiteral("the end of the formula");
        case Token::Kind::Text: return QStringLiteral("a text");
        case Token::Kind::Number: return QStringLiteral("the number ") + t.text;
        case Token::Kind::Field: return QStringLiteral("the field {") + t.text + u'}';
        case Token::Kind::FormulaRef: return QStringLiteral("the formula {@") + t.text + u'}';
        default: return u'\'' + t.text + u'\'';
        }
    }

    struct DepthGuard {
        DepthGuard(int& d, int pos) : depth(d)
        {
            if (++depth > kMaxDepth) {
                --depth;
                syntaxError(pos, QStringLiteral("the formula is nested too deeply"));
            }
        }
        ~DepthGuard() { --depth; }
        int& depth;
    };

    static std::unique_ptr<Node> make(Node::Kind k, int pos)
    {
        auto n = std::make_unique<Node>();
        n->kind = k;
        n->pos = pos;
        return n;
    }

    std::unique_ptr<Node> expression()
    {
        DepthGuard guard(m_depth, peek().pos);
        if (isKeyword(peek(), "if")) return ifExpression();
        return orExpr();
    }

    std::unique_ptr<Node> ifExpression()
    {
        auto n = make(Node::Kind::If, take().pos);
        n->kids.push_back(expression());
        if (!isKeyword(peek(), "then")) syntaxError(peek().pos, QStringLiteral("'then' is expected, not ") + describe(peek()));
        take();
        n->kids.push_back(expression());
        if (isKeyword(peek(), "else")) {
            take();
            n->kids.push_back(expression());
        }
        return n;
    }

    std::unique_ptr<Node> orExpr()
    {
        auto first = andExpr();
        if (!isKeyword(peek(), "or")) return first;
        auto n = make(Node::Kind::Or, first->pos);
        n->kids.push_back(std::move(first));
        while (isKeyword(peek(), "or")) {
            take();
            n->kids.push_back(andExpr());
        }
        return n;
    }

    std::unique_ptr<Node> andExpr()
    {
        auto first = notExpr();
        if (!isKeyword(peek(), "and")) return first;
        auto n = make(Node::Kind::And, first->pos);
        n->kids.push_back(std::move(first));
        while (isKeyword(peek(), "and")) {
            take();
            n->kids.push_back(notExpr());
        }
        return n;
    }

    std::unique_ptr<Node> notExpr()
    {
        if (!isKeyword(peek(), "not")) return comparison();
        DepthGuard guard(m_depth, peek().pos);
        auto n = make(Node::Kind::Not, take().pos);
        n->kids.push_back(notExpr());
        return n;
    }

    std::unique_ptr<Node> comparison()
    {
        auto left = sum();
        const Token& t = peek();
        if (t.kind != Token::Kind::Symbol || t.text == QLatin1String("+") || t.text == QLatin1String("(")
            || t.text == QLatin1String(")"))
            return left;
        static const struct {
            const char* text;
            Op op;
        } ops[] = {{"=", Op::Eq}, {"<>", Op::Ne}, {"<", Op::Lt}, {">", Op::Gt}, {"<=", Op::Le}, {">=", Op::Ge}};
        auto n = make(Node::Kind::Compare, t.pos);
        for (const auto& o : ops)
            if (t.text == QLatin1String(o.text)) n->op = o.op;
        take();
        n->kids.push_back(std::move(left));
        n->kids.push_back(sum());
        return n;
    }

    std::unique_ptr<Node> sum()
    {
        auto first = primary();
        if (!isSymbol(peek(), "+")) return first;
        auto n = make(Node::Kind::Sum, first->pos);
        n->kids.push_back(std::move(first));
        while (isSymbol(peek(), "+")) {
            n->opPos.push_back(take().pos);
            n->kids.push_back(primary());
        }
        return n;
    }

    std::unique_ptr<Node> primary()
    {
        const Token& t = peek();
        switch (t.kind) {
        case Token::Kind::Number: {
            auto n = make(Node::Kind::Literal, t.pos);
            n->literal = Value::number(t.number);
            take();
            return n;
        }
        case Token::Kind::Text: {
            auto n = make(Node::Kind::Literal, t.pos);
            n->literal = Value::text(t.text);
            take();
            return n;
        }
        case Token::Kind::Field:
        case Token::Kind::FormulaRef: {
            auto n = make(t.kind == Token::Kind::Field ? Node::Kind::Field : Node::Kind::FormulaRef, t.pos);
            n->name = t.text;
            take();
            return n;
        }
        case Token::Kind::Word:
            if (isKeyword(t, "if")) {
                DepthGuard guard(m_depth, t.pos);
                return ifExpression();
            }
            if (isKeyword(t, "true") || isKeyword(t, "false")) {
                auto n = make(Node::Kind::Literal, t.pos);
                n->literal = Value::boolean(isKeyword(t, "true"));
                take();
                return n;
            }
            syntaxError(t.pos, isAnyKeyword(t) ? QStringLiteral("a value is expected before '%1'").arg(t.text)
                                                : QStringLiteral("unknown word '%1'").arg(t.text));
        case Token::Kind::Symbol:
            if (t.text == QLatin1String("(")) {
                DepthGuard guard(m_depth, t.pos);
                take();
                auto inner = expression();
                if (!isSymbol(peek(), ")")) syntaxError(peek().pos, QStringLiteral("')' is expected, not ") + describe(peek()));
                take();
                return inner;
            }
            syntaxError(t.pos, QStringLiteral("a value is expected, not ") + describe(t));
        case Token::Kind::End: syntaxError(t.pos, QStringLiteral("the formula ends where a value is expected"));
        }
        syntaxError(t.pos, QStringLiteral("a value is expected"));
    }

    std::vector<Token> m_t;
    size_t m_i = 0;
    int m_depth = 0;
};

// ---- evaluation -----------------------------------------------------------------------------

[[noreturn]] void valueError(int pos, const QString& what)
{
    throw ReportError(kErrFormulaValue, QStringLiteral("Formula error at position %1: %2").arg(pos).arg(what), pos);
}

QString kindName(Value::Kind k)
{
    switch (k) {
    case Value::Kind::Null: return QStringLiteral("nothing");
    case Value::Kind::Number: return QStringLiteral("a number");
    case Value::Kind::Text: return QStringLiteral("a text");
    case Value::Kind::Bool: return QStringLiteral("a yes/no value");
    case Value::Kind::Date: return QStringLiteral("a date");
    }
    return {};
}

Value add(const Value& a, const Value& b, int pos)
{
    using K = Value::Kind;
    if (a.kind() == K::Text || b.kind() == K::Text) {
        if (a.kind() == K::Bool || b.kind() == K::Bool) valueError(pos, QStringLiteral("a yes/no value cannot be joined to a text"));
        return Value::text(a.toText() + b.toText());
    }
    if (a.isNull()) return b;
    if (b.isNull()) return a;
    if (a.kind() == K::Number && b.kind() == K::Number) return Value::number(a.toNumber() + b.toNumber());
    valueError(pos, QStringLiteral("cannot add %1 and %2").arg(kindName(a.kind()), kindName(b.kind())));
}

// -1, 0 or 1. Nothing compares as the empty value of the other side's kind.
int compare(const Value& a, const Value& b, Op op, int pos)
{
    using K = Value::Kind;
    const K ka = a.isNull() ? b.kind() : a.kind();
    const K kb = b.isNull() ? a.kind() : b.kind();
    if (ka != kb) valueError(pos, QStringLiteral("cannot compare %1 with %2").arg(kindName(a.kind()), kindName(b.kind())));
    if (a.isNull() && b.isNull()) return 0;
    if (a.isNull() || b.isNull()) {
        if (ka == K::Date) return a.isNull() ? -1 : 1; // nothing comes before every date
        if (ka == K::Bool && op != Op::Eq && op != Op::Ne) valueError(pos, QStringLiteral("yes/no values have no order"));
    }
    auto sign = [](double d) { return d < 0 ? -1 : (d > 0 ? 1 : 0); };
    switch (ka) {
    case K::Number: return sign(a.toNumber() - b.toNumber());
    case K::Text: return sign(a.toText().compare(b.toText(), Qt::CaseInsensitive));
    case K::Date: return sign(static_cast<double>(b.toDate().daysTo(a.toDate())));
    case K::Bool:
        if (op != Op::Eq && op != Op::Ne) valueError(pos, QStringLiteral("yes/no values have no order"));
        return a.toBool() == b.toBool() ? 0 : 1;
    case K::Null: return 0;
    }
    return 0;
}

bool truth(const Value& v, int pos)
{
    if (v.isNull()) return false;
    if (v.kind() != Value::Kind::Bool) valueError(pos, QStringLiteral("a yes/no value is expected, not ") + kindName(v.kind()));
    return v.toBool();
}

// How deep evaluation may go, counting the formulas that named formulas bring in: enough for
// any report, and far from the end of the stack.
constexpr int kMaxEvalDepth = 2000;
thread_local int t_evalDepth = 0;

Value evalNode(const Node& n, const Scope& s);

Value eval(const Node& n, const Scope& s)
{
    if (t_evalDepth >= kMaxEvalDepth)
        valueError(n.pos, QStringLiteral("the formulas are nested too deeply (more than %1 levels)").arg(kMaxEvalDepth));
    ++t_evalDepth;
    struct Leave {
        ~Leave() { --t_evalDepth; }
    } leave;
    return evalNode(n, s);
}

Value evalNode(const Node& n, const Scope& s)
{
    switch (n.kind) {
    case Node::Kind::Literal: return n.literal;
    case Node::Kind::Field: return s.field(n.name, n.pos);
    case Node::Kind::FormulaRef: return s.formula(n.name, n.pos);
    case Node::Kind::Sum: {
        // Once a text joins in, the rest is appended to one growing text, so that a long sum
        // takes time in proportion to its length.
        Value acc = eval(*n.kids[0], s);
        QString joined;
        bool joining = false;
        for (size_t i = 1; i < n.kids.size(); ++i) {
            const Value next = eval(*n.kids[i], s);
            if (!joining && acc.kind() != Value::Kind::Text && next.kind() != Value::Kind::Text) {
                acc = add(acc, next, n.opPos[i - 1]);
                continue;
            }
            if (acc.kind() == Value::Kind::Bool || next.kind() == Value::Kind::Bool)
                valueError(n.opPos[i - 1], QStringLiteral("a yes/no value cannot be joined to a text"));
            if (!joining) {
                joined = acc.toText();
                joining = true;
            }
            joined += next.toText();
        }
        return joining ? Value::text(std::move(joined)) : acc;
    }
    case Node::Kind::Compare: {
        const int c = compare(eval(*n.kids[0], s), eval(*n.kids[1], s), n.op, n.pos);
        switch (n.op) {
        case Op::Eq: return Value::boolean(c == 0);
        case Op::Ne: return Value::boolean(c != 0);
        case Op::Lt: return Value::boolean(c < 0);
        case Op::Gt: return Value::boolean(c > 0);
        case Op::Le: return Value::boolean(c <= 0);
        case Op::Ge: return Value::boolean(c >= 0);
        }
        return {};
    }
    case Node::Kind::And:
        for (const auto& k : n.kids)
            if (!truth(eval(*k, s), k->pos)) return Value::boolean(false);
        return Value::boolean(true);
    case Node::Kind::Or:
        for (const auto& k : n.kids)
            if (truth(eval(*k, s), k->pos)) return Value::boolean(true);
        return Value::boolean(false);
    case Node::Kind::Not: return Value::boolean(!truth(eval(*n.kids[0], s), n.kids[0]->pos));
    case Node::Kind::If:
        if (truth(eval(*n.kids[0], s), n.kids[0]->pos)) return eval(*n.kids[1], s);
        return n.kids.size() > 2 ? eval(*n.kids[2], s) : Value();
    }
    return {};
}

void collect(const Node& n, Node::Kind kind, QStringList& out, QSet<QString>& seen)
{
    if (n.kind == kind && !seen.contains(n.name)) {
        seen.insert(n.name);
        out << n.name;
    }
    for (const auto& k : n.kids) collect(*k, kind, out, seen);
}

void checkNames(const Node& n, const Scope& s)
{
    if (n.kind == Node::Kind::Field && !s.hasField(n.name))
        throw ReportError(kErrUnknownName, QStringLiteral("Formula error at position %1: the report has no field {%2}").arg(n.pos).arg(n.name), n.pos);
    if (n.kind == Node::Kind::FormulaRef && !s.hasFormula(n.name))
        throw ReportError(kErrUnknownName, QStringLiteral("Formula error at position %1: the report has no formula {@%2}").arg(n.pos).arg(n.name), n.pos);
    for (const auto& k : n.kids) checkNames(*k, s);
}

} // namespace

// ---- Formula --------------------------------------------------------------------------------

Formula::Formula() = default;
Formula::~Formula() = default;
Formula::Formula(const Formula&) = default;
Formula& Formula::operator=(const Formula&) = default;
Formula::Formula(Formula&&) noexcept = default;
Formula& Formula::operator=(Formula&&) noexcept = default;

Formula Formula::parse(const QString& text)
{
    Formula f;
    f.m_text = text;
    std::vector<Token> tokens = tokenize(text);
    // The end marker is not a part of the formula.
    if (tokens.size() > static_cast<size_t>(kMaxFormulaParts) + 1)
        syntaxError(tokens[kMaxFormulaParts].pos,
                    QStringLiteral("the formula is too long: at most %1 values, names and operators").arg(kMaxFormulaParts));
    Parser p(std::move(tokens));
    f.m_root = p.formula(&f.m_name);
    return f;
}

Value Formula::evaluate(const Scope& scope) const
{
    if (!m_root) return {};
    if (m_origin.isEmpty()) return eval(*m_root, scope);
    try {
        return eval(*m_root, scope);
    } catch (const ReportError& e) {
        // The innermost formula with an origin names it; the ones around it pass it on.
        if (e.located()) throw;
        throw ReportError(e.number(), m_origin + QStringLiteral(": ") + e.message(), e.position(), true);
    }
}

void Formula::check(const Scope& scope) const
{
    if (!m_root) return;
    try {
        checkNames(*m_root, scope);
    } catch (const ReportError& e) {
        if (m_origin.isEmpty() || e.located()) throw;
        throw ReportError(e.number(), m_origin + QStringLiteral(": ") + e.message(), e.position(), true);
    }
}

QStringList Formula::fields() const
{
    QStringList out;
    QSet<QString> seen;
    if (m_root) collect(*m_root, Node::Kind::Field, out, seen);
    return out;
}

QStringList Formula::formulaRefs() const
{
    QStringList out;
    QSet<QString> seen;
    if (m_root) collect(*m_root, Node::Kind::FormulaRef, out, seen);
    return out;
}

namespace {
bool fieldEqualsInteger(const Node* node, QString* field, qint64* value)
{
    if (!node) return false;
    if (node->kind == Node::Kind::And) {
        for (const auto& kid : node->kids)
            if (fieldEqualsInteger(kid.get(), field, value)) return true;
        return false;
    }
    if (node->kind != Node::Kind::Compare || node->op != Op::Eq) return false;
    const Node* a = node->kids[0].get();
    const Node* b = node->kids[1].get();
    if (a->kind != Node::Kind::Field) std::swap(a, b);
    if (a->kind != Node::Kind::Field || b->kind != Node::Kind::Literal || b->literal.kind() != Value::Kind::Number)
        return false;
    const double n = b->literal.toNumber();
    if (n != std::floor(n) || std::fabs(n) > 2147483647.0) return false;
    *field = a->name;
    *value = static_cast<qint64>(n);
    return true;
}
} // namespace

bool Formula::isFieldEqualsInteger(QString* field, qint64* value) const
{
    return m_root && m_root->kind == Node::Kind::Compare && fieldEqualsInteger(m_root.get(), field, value);
}

bool Formula::requiresFieldEqualsInteger(QString* field, qint64* value) const
{
    return fieldEqualsInteger(m_root.get(), field, value);
}

} // namespace fl::report
