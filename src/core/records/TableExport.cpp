#include "records/TableExport.h"

#include "records/EbirdExport.h"
#include "records/SafeTargets.h"

#include <QSaveFile>
#include <stdexcept>

namespace fl {

namespace {
QByteArray csvLine(const QStringList& fields)
{
    QString line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i) line += u',';
        line += csvField(neutralised(fields[i]));
    }
    line += u'\n';
    return line.toUtf8();
}
} // namespace

void exportTable(const QString& path, const QString& database, const QStringList& header,
                 const std::vector<QStringList>& rows)
{
    if (const QString refusal = refusedTarget(path, database, TargetUse::Export); !refusal.isEmpty())
        throw std::runtime_error(refusal.toStdString());
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        throw std::runtime_error(QStringLiteral("The file '%1' cannot be written: %2").arg(path, out.errorString()).toStdString());
    QByteArray text = csvLine(header);
    for (const QStringList& row : rows) text += csvLine(row);
    if (out.write(text) != text.size() || !out.commit())
        throw std::runtime_error(QStringLiteral("The file '%1' could not be written: %2").arg(path, out.errorString()).toStdString());
}

} // namespace fl
