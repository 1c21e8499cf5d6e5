#include "records/EbirdExport.h"

#include "regions/RegionRule.h"
#include "regions/RegionKinds.h"

#include "records/EbirdTags.h"
#include "records/SafeTargets.h"
#include "regions/RegionCodes.h"
#include "schema/Schema.h"
#include "db/Connection.h"
#include "db/Database.h"

#include <QDate>
#include <QRegularExpression>
#include <QSaveFile>
#include <stdexcept>

namespace fl {

void splitCount(const QString& notes, QString& count, QString& rest)
{
    static const QRegularExpression first(QStringLiteral("^x(\\d{1,10})$"));
    const qsizetype nl = notes.indexOf(u'\n');
    const QString head = nl < 0 ? notes : notes.left(nl);
    const auto m = first.match(head.trimmed());
    if (m.hasMatch() && m.captured(1).toLongLong() <= kMaxCount) {
        count = m.captured(1);
        rest = nl < 0 ? QString() : notes.mid(nl + 1);
    } else {
        count.clear();
        rest = notes;
    }
}

namespace {

// Whether the text, after any apostrophes, starts the way a spreadsheet formula does.
bool looksLikeFormula(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == u'\'') ++i;
    if (i >= text.size()) return false;
    const QChar c = text[i];
    return c == u'=' || c == u'+' || c == u'-' || c == u'@' || c == u'\t' || c == u'\r';
}

} // namespace

QString neutralised(const QString& text) { return looksLikeFormula(text) ? u'\'' + text : text; }

QString unneutralised(const QString& text)
{
    return text.startsWith(u'\'') && looksLikeFormula(text) ? text.mid(1) : text;
}

QString csvField(const QString& value)
{
    bool quote = value.startsWith(u' ') || value.endsWith(u' ');
    for (QChar c : value)
        if (c == u',' || c == u'"' || c == u'\n' || c == u'\r') { quote = true; break; }
    if (!quote) return value;
    QString v = value;
    v.replace(u'"', QStringLiteral("\"\""));
    return u'"' + v + u'"';
}

int exportSightings(db::Database& db, const QString& path, int regId)
{
    // The sightings that count for the region, by the life list's rule.
    const QString where = QStringLiteral(" WHERE ") + countsForRegionSql(QString::number(regId), QStringLiteral("S"));
    if (const QString refusal = refusedTarget(path, db.path(), TargetUse::Export); !refusal.isEmpty())
        throw std::runtime_error(refusal.toStdString());
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        throw std::runtime_error(QStringLiteral("The file '%1' cannot be written: %2").arg(path, out.errorString()).toStdString());

    db::Connection& conn = *db.connection();
    conn.flushPending();
    db::Statement st(conn, QStringLiteral(
        "SELECT B.Name, B.sci_name, S.Date, S.Type, S.site, S.notes, R1.Name, R2.Name, R3.Name, R4.Name "
        "FROM Sightings S JOIN Birds B ON B.ID = S.Bird_ID "
        "LEFT JOIN Regions R1 ON R1.Reg_ID = S.Region AND S.Region <> 0 "
        "LEFT JOIN Regions R2 ON R2.Reg_ID = S.country AND S.country <> 0 "
        "LEFT JOIN Regions R3 ON R3.Reg_ID = S.state AND S.state <> 0 "
        "LEFT JOIN Regions R4 ON R4.Reg_ID = S.district AND S.district <> 0")
        + where + QStringLiteral(" ORDER BY S.Date, S.Sight_ID"));
    int written = 0;
    QByteArray chunk;
    QStringList row;
    while (st.step()) {
        const QString name = st.value(0).toString();
        const QString sci = st.value(1).toString().trimmed();
        const QDate date = st.value(2).toDate();
        PlaceTag tag;
        tag.type = st.value(3).toString();
        const QString site = st.value(4).toString();
        QString count, comments;
        splitCount(st.value(5).toString(), count, comments);
        tag.region = st.value(6).toString();
        tag.country = st.value(7).toString();
        tag.state = st.value(8).toString();
        tag.district = st.value(9).toString();
        QString countryCode = countryCodeForName(tag.country);
        const QString stateCode = subdivisionCodeForName(tag.state, countryCode);
        if (countryCode.isEmpty() && !stateCode.isEmpty()) countryCode = stateCode.section(u'-', 0, 0);
        const bool tagged = !(tag.region.isEmpty() && tag.country.isEmpty() && tag.state.isEmpty()
                              && tag.district.isEmpty() && tag.type.isEmpty());
        const qsizetype space = sci.indexOf(u' ');
        row = {name,
               space < 0 ? sci : sci.left(space),
               space < 0 ? QString() : sci.mid(space + 1),
               count.isEmpty() ? QStringLiteral("X") : count,
               comments,
               site,
               QString(),
               QString(),
               date.toString(QStringLiteral("MM/dd/yyyy")),
               QString(),
               stateCode.section(u'-', 1),
               countryCode,
               QStringLiteral("Incidental"),
               QString(),
               QString(),
               QStringLiteral("N"),
               QString(),
               QString(),
               tagged ? formatPlaceTag(tag) : QString()};
        QString line;
        for (int i = 0; i < row.size(); ++i) {
            if (i) line += u',';
            line += csvField(neutralised(row[i]));
        }
        line += u'\n';
        chunk += line.toUtf8();
        if (chunk.size() > (1 << 16)) {
            if (out.write(chunk) != chunk.size()) break;
            chunk.clear();
        }
        ++written;
    }
    if (!chunk.isEmpty()) out.write(chunk);
    if (!out.commit())
        throw std::runtime_error(QStringLiteral("The file '%1' could not be written: %2").arg(path, out.errorString()).toStdString());
    return written;
}

} // namespace fl
