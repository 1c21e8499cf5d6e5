#include "WebAddress.h"

#include <QRegularExpression>
#include <QUrl>

namespace fl {

namespace {

bool isWebScheme(const QString& scheme)
{
    return scheme.compare(QLatin1String("http"), Qt::CaseInsensitive) == 0
        || scheme.compare(QLatin1String("https"), Qt::CaseInsensitive) == 0
        || scheme.compare(QLatin1String("ftp"), Qt::CaseInsensitive) == 0;
}

} // namespace

std::optional<QString> browsableAddress(const QString& url)
{
    const QString text = url.trimmed();
    if (text.isEmpty()) return std::nullopt;

    // "name:rest" names a scheme, except "host:port..." (www.example.org:8080/birds).
    static const QRegularExpression schemed(QStringLiteral("^([A-Za-z][A-Za-z0-9+.\\-]*):(.*)$"),
                                            QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression port(QStringLiteral("^[0-9]+([/?#].*)?$"),
                                         QRegularExpression::DotMatchesEverythingOption);
    QString full;
    const auto m = schemed.match(text);
    if (m.hasMatch() && isWebScheme(m.captured(1))) {
        full = text;
    } else if (m.hasMatch() && !port.match(m.captured(2)).hasMatch()) {
        return std::nullopt; // another scheme: not a web page
    } else {
        full = QStringLiteral("https://") + text;
    }

    const QUrl parsed(full);
    if (!parsed.isValid() || parsed.host().isEmpty() || !isWebScheme(parsed.scheme())) return std::nullopt;
    return full;
}

} // namespace fl
