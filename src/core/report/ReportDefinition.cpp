#include "ReportDefinition.h"

#include <QFile>
#include <QFileInfo>
#include <cmath>

namespace fl::report {

namespace {

constexpr qint64 kMaxDefinitionSize = 1 << 20;

QString lineOf(const QString& file, int line) { return QStringLiteral("%1, line %2").arg(file).arg(line); }

[[noreturn]] void badLine(const QString& file, int line, const QString& what)
{
    throw ReportError(kErrBadDefinition, lineOf(file, line) + QStringLiteral(": ") + what, 0, true);
}

Formula parseIn(const QString& text, const QString& file, int line)
{
    try {
        Formula f = Formula::parse(text);
        f.setOrigin(lineOf(file, line));
        return f;
    } catch (const ReportError& e) {
        throw ReportError(e.number(), lineOf(file, line) + QStringLiteral(": ") + e.message(), e.position(), true);
    }
}

// A width that is a number above 0 and at most `most` ("nan" and "inf" are not).
bool goodWidth(double w, bool ok, double most) { return ok && std::isfinite(w) && w > 0 && w <= most; }

} // namespace

ReportDefinition parseDefinition(const QString& text, const QString& fileName)
{
    ReportDefinition def;
    bool sawHeader = false;
    const QStringList lines = text.split(u'\n');
    for (int i = 0; i < lines.size(); ++i) {
        const int lineNo = i + 1;
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(u'#')) continue;
        const int colon = line.indexOf(u':');
        if (colon <= 0) badLine(fileName, lineNo, QStringLiteral("a line is written  key: value"));
        const QStringList key = line.left(colon).simplified().toLower().split(u' ');
        const QString value = line.mid(colon + 1).trimmed();
        const QString k = key.join(u' ');
        if (!sawHeader) {
            if (k != QLatin1String("featherlog report") || value != QLatin1String("1"))
                badLine(fileName, lineNo, QStringLiteral("the file must begin with  featherlog report: 1"));
            sawHeader = true;
            continue;
        }
        auto formula = [&] {
            if (value.isEmpty()) badLine(fileName, lineNo, QStringLiteral("'%1' needs a formula").arg(k));
            return parseIn(value, fileName, lineNo);
        };
        if (k == QLatin1String("source")) {
            if (value.compare(QLatin1String("checklist"), Qt::CaseInsensitive) != 0
                && value.compare(QLatin1String("list"), Qt::CaseInsensitive) != 0)
                badLine(fileName, lineNo, QStringLiteral("unknown data source '%1'").arg(value));
            def.source = value.toLower();
        } else if (k == QLatin1String("group")) {
            def.group = formula();
        } else if (k == QLatin1String("group heading")) {
            def.groupHeading = formula();
        } else if (k == QLatin1String("tick box")) {
            if (value.isEmpty() || value.contains(u' ')) badLine(fileName, lineNo, QStringLiteral("'tick box' names one formula"));
            def.tickBox = value;
        } else if (k == QLatin1String("formula")) {
            Formula f = formula();
            if (f.name().isEmpty()) badLine(fileName, lineNo, QStringLiteral("a formula here is written  Name = expression"));
            def.formulas << f;
        } else if (k == QLatin1String("title")) {
            def.title = formula();
        } else if (k == QLatin1String("header left")) {
            def.headerLeft = formula();
        } else if (k == QLatin1String("header right")) {
            def.headerRight = formula();
        } else if (k == QLatin1String("footer")) {
            def.footer = formula();
        } else if (k == QLatin1String("summary")) {
            def.summary = formula();
        } else if (k == QLatin1String("list width")) {
            bool ok = false;
            def.listWidthMm = value.toDouble(&ok);
            if (!goodWidth(def.listWidthMm, ok, 1000))
                badLine(fileName, lineNo, QStringLiteral("'list width' is a width in millimetres, above 0 and at most 1000"));
        } else if (key.first() == QLatin1String("column")) {
            ColumnDef c;
            if (key.size() < 2) badLine(fileName, lineNo, QStringLiteral("a column is written  column <width> [style]: formula"));
            bool ok = false;
            c.weight = key[1].toDouble(&ok);
            if (!goodWidth(c.weight, ok, 1000)) badLine(fileName, lineNo, QStringLiteral("a column's width is a number above 0 and at most 1000"));
            for (int w = 2; w < key.size(); ++w) {
                if (key[w] == QLatin1String("mono")) c.style = ColumnDef::Style::Mono;
                else if (key[w] == QLatin1String("italic")) c.style = ColumnDef::Style::Italic;
                else if (key[w] == QLatin1String("bold")) c.style = ColumnDef::Style::Bold;
                else if (key[w] == QLatin1String("right")) c.alignRight = true;
                else badLine(fileName, lineNo, QStringLiteral("unknown column style '%1'").arg(key[w]));
            }
            c.formula = formula();
            def.columns << c;
        } else {
            badLine(fileName, lineNo, QStringLiteral("unknown key '%1'").arg(k));
        }
    }
    if (!sawHeader) badLine(fileName, 1, QStringLiteral("the file must begin with  featherlog report: 1"));
    if (def.source.isEmpty()) badLine(fileName, lines.size(), QStringLiteral("the definition names no source"));
    if (def.columns.isEmpty()) badLine(fileName, lines.size(), QStringLiteral("the definition has no column"));
    return def;
}

ReportDefinition loadDefinition(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        throw ReportError(kErrNoDefinition, QStringLiteral("Cannot open the report definition %1").arg(name));
    if (file.size() > kMaxDefinitionSize)
        throw ReportError(kErrBadDefinition, QStringLiteral("The report definition %1 is too large").arg(name));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw ReportError(kErrNoDefinition, QStringLiteral("Cannot read the report definition %1").arg(name));
    return parseDefinition(QString::fromUtf8(bytes), name);
}

} // namespace fl::report
