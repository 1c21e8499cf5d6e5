#pragma once

#include "ReportError.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>

namespace fl::report {

// A value of the formula language: nothing, a number, a text, a yes/no or a date.
class Value {
public:
    enum class Kind { Null, Number, Text, Bool, Date };

    Value() = default;
    static Value number(double n);
    static Value text(QString t);
    static Value boolean(bool b);
    static Value date(QDate d);
    // A database value: whole and decimal numbers, texts, yes/no and dates; anything else is null.
    static Value fromVariant(const QVariant& v);

    Kind kind() const { return m_kind; }
    bool isNull() const { return m_kind == Kind::Null; }
    double toNumber() const { return m_number; }
    bool toBool() const { return m_kind == Kind::Bool && m_number != 0; }
    QDate toDate() const { return m_date; }
    // How the value is printed: numbers without needless decimals, dates as yyyy-MM-dd,
    // yes/no as "True"/"False", nothing as an empty text.
    QString toText() const;

    friend bool operator==(const Value& a, const Value& b);

private:
    Kind m_kind = Kind::Null;
    double m_number = 0;
    QString m_text;
    QDate m_date;
};

// What a formula reads while it is evaluated: fields {table.field} and named formulas {@Name}.
class Scope {
public:
    virtual ~Scope() = default;
    // `name` is in lower case ("birds.lifelist"). Raise ReportError kErrUnknownName (with `position`)
    // for a field the scope does not have.
    virtual Value field(const QString& name, int position) const = 0;
    virtual Value formula(const QString& name, int position) const = 0;
    // Whether the names exist, for checking a formula before any row is read.
    virtual bool hasField(const QString& name) const = 0;
    virtual bool hasFormula(const QString& name) const = 0;
};

struct Node;

// A parsed formula: either an expression, or a named formula "Name = expression".
//
// Grammar (keywords in any letter case):
//   formula    := [ NAME "=" ] expression
//   expression := "if" expression "then" expression [ "else" expression ] | or
//   or         := and { "or" and }
//   and        := not { "and" not }
//   not        := "not" not | comparison
//   comparison := sum [ ("=" | "<>" | "<" | ">" | "<=" | ">=") sum ]
//   sum        := primary { "+" primary }
//   primary    := NUMBER | 'text' | {table.field} | {@Name} | "true" | "false" | "(" expression ")" | if-expression
// Texts are written between single quotes; a quote inside a text is written twice.
//
// A formula holds at most kMaxFormulaParts values, names and operators, and its brackets,
// ifs and nots nest at most 100 deep.
class Formula {
public:
    static constexpr int kMaxFormulaParts = 10000;

    // Raises ReportError kErrFormulaSyntax with the 1-based position of the fault.
    static Formula parse(const QString& text);

    Formula();
    ~Formula();
    Formula(const Formula&);
    Formula& operator=(const Formula&);
    Formula(Formula&&) noexcept;
    Formula& operator=(Formula&&) noexcept;

    bool isEmpty() const { return m_root == nullptr; }
    // The name of a named formula (as written), or an empty text.
    const QString& name() const { return m_name; }
    const QString& text() const { return m_text; }
    // Where the formula was written ("life.rpt, line 12"); an error while it is evaluated
    // begins with it.
    const QString& origin() const { return m_origin; }
    void setOrigin(const QString& origin) { m_origin = origin; }

    Value evaluate(const Scope& scope) const;
    // Raises kErrUnknownName for the first field or formula name the scope does not have.
    void check(const Scope& scope) const;
    // Field names (lower case) and formula names (lower case) the formula refers to.
    QStringList fields() const;
    QStringList formulaRefs() const;

    // When the formula is exactly `{field} = <whole number>`, the field (lower case) and the
    // number, so that a data source can select the same rows with a bound query condition.
    bool isFieldEqualsInteger(QString* field, qint64* value) const;
    // The same when the formula is `{field} = <whole number>` joined by "and" to anything
    // else: it can only be true where the field has that number.
    bool requiresFieldEqualsInteger(QString* field, qint64* value) const;

private:
    QString m_text;
    QString m_name;
    QString m_origin;
    std::shared_ptr<const Node> m_root;
};

} // namespace fl::report
