#include "links/WebAddress.h"

#include <gtest/gtest.h>

using fl::browsableAddress;

TEST(WebAddress, WebSchemesOpenAsTheyAre)
{
    EXPECT_EQ(browsableAddress("http://www.example.org/birds"), "http://www.example.org/birds");
    EXPECT_EQ(browsableAddress("HTTPS://example.org/a?b=1#c"), "HTTPS://example.org/a?b=1#c");
    EXPECT_EQ(browsableAddress("ftp://ftp.example.org/songs"), "ftp://ftp.example.org/songs");
    EXPECT_EQ(browsableAddress("  http://example.org  "), "http://example.org") << "surrounding blanks";
}

TEST(WebAddress, AddressesWithoutASchemeOpenAsHttps)
{
    EXPECT_EQ(browsableAddress("www.example.org/birds"), "https://www.example.org/birds");
    EXPECT_EQ(browsableAddress("example.org"), "https://example.org");
    EXPECT_EQ(browsableAddress("www.example.org:8080/birds"), "https://www.example.org:8080/birds")
        << "a port is not a scheme";
}

TEST(WebAddress, OtherSchemesAndNonAddressesAreRefused)
{
    for (const char* url : {"file:///etc/passwd", "javascript:alert(1)", "mailto:someone@example.org",
                            "ms-settings:privacy", "C:\\Windows\\notepad.exe", "data:text/html,hi", "", "   ",
                            "http://", "https:///path-without-host"})
        EXPECT_FALSE(browsableAddress(QString::fromLatin1(url)).has_value()) << url;
}
