#include "links/WebAddress.h"

#include <gtest/gtest.h>
#include <optional>
#include <ostream>

using fl::browsableAddress;

namespace {

struct AddressCase {
    const char* typed;
    std::optional<const char*> opened; // none: refused
};

std::ostream& operator<<(std::ostream& out, const AddressCase& c) { return out << '"' << c.typed << '"'; }

class WebAddress : public ::testing::TestWithParam<AddressCase> {};

} // namespace

TEST_P(WebAddress, OpensAsOrIsRefused)
{
    const AddressCase& c = GetParam();
    const std::optional<QString> got = browsableAddress(QString::fromLatin1(c.typed));
    if (!c.opened) {
        EXPECT_FALSE(got.has_value()) << qPrintable(got.value_or(QString()));
        return;
    }
    ASSERT_TRUE(got.has_value());
    EXPECT_EQ(*got, QString::fromLatin1(*c.opened));
}

INSTANTIATE_TEST_SUITE_P(WebSchemesOpenAsTheyAre, WebAddress, ::testing::Values(
    AddressCase{"http://www.example.org/birds", "http://www.example.org/birds"},
    AddressCase{"HTTPS://example.org/a?b=1#c", "HTTPS://example.org/a?b=1#c"},
    AddressCase{"ftp://ftp.example.org/songs", "ftp://ftp.example.org/songs"},
    AddressCase{"  http://example.org  ", "http://example.org"}));

INSTANTIATE_TEST_SUITE_P(AddressesWithoutASchemeOpenAsHttps, WebAddress, ::testing::Values(
    AddressCase{"www.example.org/birds", "https://www.example.org/birds"},
    AddressCase{"example.org", "https://example.org"},
    AddressCase{"www.example.org:8080/birds", "https://www.example.org:8080/birds"})); // a port is no scheme

INSTANTIATE_TEST_SUITE_P(OtherSchemesAndNonAddressesAreRefused, WebAddress, ::testing::Values(
    AddressCase{"file:///etc/passwd", std::nullopt},
    AddressCase{"javascript:alert(1)", std::nullopt},
    AddressCase{"mailto:someone@example.org", std::nullopt},
    AddressCase{"ms-settings:privacy", std::nullopt},
    AddressCase{"C:\\Windows\\notepad.exe", std::nullopt},
    AddressCase{"data:text/html,hi", std::nullopt},
    AddressCase{"", std::nullopt},
    AddressCase{"   ", std::nullopt},
    AddressCase{"http://", std::nullopt},
    AddressCase{"https:///path-without-host", std::nullopt}));
