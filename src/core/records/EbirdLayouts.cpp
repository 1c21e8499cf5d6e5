#include "records/EbirdLayouts.h"

#include <QHash>
#include <QLocale>
#include <QRegularExpression>

namespace fl {

const QStringList& recordFormatColumns()
{
    static const QStringList columns = {
        QStringLiteral("Common Name"),   QStringLiteral("Genus"),
        QStringLiteral("Species"),       QStringLiteral("Number"),
        QStringLiteral("Species Comments"), QStringLiteral("Location Name"),
        QStringLiteral("Latitude"),      QStringLiteral("Longitude"),
        QStringLiteral("Date"),          QStringLiteral("Start Time"),
        QStringLiteral("State/Province"), QStringLiteral("Country Code"),
        QStringLiteral("Protocol"),      QStringLiteral("Number of Observers"),
        QStringLiteral("Duration"),      QStringLiteral("All Observations Reported"),
        QStringLiteral("Effort Distance Miles"), QStringLiteral("Effort Area Acres"),
        QStringLiteral("Checklist Comments")};
    return columns;
}

const QStringList& downloadColumns()
{
    static const QStringList columns = {
        QStringLiteral("Submission ID"),  QStringLiteral("Common Name"),
        QStringLiteral("Scientific Name"), QStringLiteral("Taxonomic Order"),
        QStringLiteral("Count"),          QStringLiteral("State/Province"),
        QStringLiteral("County"),         QStringLiteral("Location ID"),
        QStringLiteral("Location"),       QStringLiteral("Latitude"),
        QStringLiteral("Longitude"),      QStringLiteral("Date"),
        QStringLiteral("Time"),           QStringLiteral("Protocol"),
        QStringLiteral("Duration (Min)"), QStringLiteral("All Obs Reported"),
        QStringLiteral("Distance Traveled (km)"), QStringLiteral("Area Covered (ha)"),
        QStringLiteral("Number of Observers"), QStringLiteral("Breeding Code"),
        QStringLiteral("Observation Details"), QStringLiteral("Checklist Comments"),
        QStringLiteral("ML Catalog Numbers")};
    return columns;
}

namespace {

struct ProtocolName {
    const char* ours;
    const char* download;
};

// The program's protocol names and the download's.
constexpr ProtocolName kProtocolNames[] = {
    {"Traveling", "eBird - Traveling Count"},
    {"Stationary", "eBird - Stationary Count"},
    {"Incidental", "eBird - Casual Observation"},
    {"Area", "eBird - Exhaustive Area Count"},
    {"Historical", "Historical"},
    {"Banding", "Banding"},
    {"Nocturnal Flight Call Count", "Nocturnal Flight Call Count"},
    {"eBird Pelagic Protocol", "eBird Pelagic Protocol"},
    {"Random", "Random"},
};

// Shorter names eBird's files and people use ("casual"), and the names they stand for.
constexpr ProtocolName kOtherSpellings[] = {
    {"Incidental", "casual"},
    {"eBird Pelagic Protocol", "pelagic protocol"},
    {"Random", "random location count"},
};

// A name without eBird's "eBird - " in front ("Traveling Count").
QString withoutEbirdPrefix(const QString& name)
{
    static const QRegularExpression prefix(QStringLiteral("^eBird\\s*-+\\s*"), QRegularExpression::CaseInsensitiveOption);
    return QString(name).remove(prefix);
}

} // namespace

QString downloadProtocolName(const QString& protocol)
{
    for (const ProtocolName& p : kProtocolNames)
        if (protocol.compare(QLatin1String(p.ours), Qt::CaseInsensitive) == 0) return QString::fromLatin1(p.download);
    return protocol;
}

QString ebirdProtocolName(const QString& text)
{
    // Every name a file may give, in small letters and without "eBird - ", made once from the tables.
    static const QHash<QString, QString> names = [] {
        QHash<QString, QString> n;
        for (const ProtocolName& p : kProtocolNames) {
            n.insert(QString::fromLatin1(p.ours).toLower(), QString::fromLatin1(p.ours));
            n.insert(withoutEbirdPrefix(QString::fromLatin1(p.download)).toLower(), QString::fromLatin1(p.ours));
        }
        for (const ProtocolName& p : kOtherSpellings) n.insert(QString::fromLatin1(p.download), QString::fromLatin1(p.ours));
        return n;
    }();
    const QString t = text.trimmed();
    return names.value(withoutEbirdPrefix(t).toLower(), t.left(100).trimmed());
}

QString decimalField(double value, int decimals)
{
    QString s = QLocale::c().toString(value, 'f', decimals);
    if (s.contains(u'.')) {
        while (s.endsWith(u'0')) s.chop(1);
        if (s.endsWith(u'.')) s.chop(1);
    }
    if (s == u"-0") s = QStringLiteral("0");
    return s;
}

QString exactDecimalField(double value)
{
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::OmitGroupSeparator);
    return c.toString(value, 'f', QLocale::FloatingPointShortest);
}

QString recordFormatTime(const QTime& time) { return time.isValid() ? time.toString(QStringLiteral("HH:mm")) : QString(); }

QString downloadTime(const QTime& time)
{
    return time.isValid() ? QLocale::c().toString(time, QStringLiteral("hh:mm AP")) : QString();
}

} // namespace fl
