#pragma once

#include <QString>
#include <optional>

namespace fl {

// The address a stored link may send the browser to. Web addresses only: an http, https or
// ftp address as it is (surrounding blanks removed), an address without a scheme
// ("www.example.org/birds") as https. Any other scheme (file:, javascript:, mailto:, a
// desktop handler), an empty text or an address without a host gives nothing.
std::optional<QString> browsableAddress(const QString& url);

} // namespace fl
