// Version comparison, the web-address rule and the document's address.
#include "about/VersionCheck.h"

#include <gtest/gtest.h>

namespace bitonix::test {
namespace {

TEST(VersionCheck, ComparesPartByPartAsIntegers) {
    struct TCase {
        const char* A;
        const char* B;
        int Result;
    };
    const TCase cases[] = {
        {"1.0.10", "1.0.9", 1},  {"1.0.9", "1.0.10", -1},  {"1.1", "1.1.0", 0},
        {"1.0.3.1", "1.0.3", 1}, {"2.0-beta", "1.0.3", 1}, {"2.0-beta", "2.0", 0},
        {"1.0.3", "1.0.3", 0},   {"1.0.3", "", 1},         {"", "", 0},
        {"0.0", "", 0},          {"1..2", "1.0.2", 0},     {"-1", "0", -1},
        {"2", "1.9.9", 1},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(CompareVersionText(QString::fromLatin1(c.A), QString::fromLatin1(c.B)), c.Result)
            << c.A << " vs " << c.B;
    }
}

TEST(VersionCheck, OnlyHttpAndHttpsAddressesWithAHostAreWebAddresses) {
    struct TCase {
        const char* Url;
        bool Web;
    };
    const TCase cases[] = {
        {"https://bitonix.example.org/bitonix/", true},
        {"HTTP://bitonix.example.org", true},
        {"file:///etc/passwd", false},
        {"javascript:alert(1)", false},
        {"ftp://bitonix.example.org/", false},
        {"/bitonix/", false},
        {"https://", false},
        {"", false},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(IsWebUrl(QUrl(QString::fromLatin1(c.Url))), c.Web) << c.Url;
    }
}

TEST(VersionCheck, AddressesLieUnderTheServer) {
    const QUrl server(QStringLiteral("https://bitonix.example.org"));
    EXPECT_EQ(VersionDocumentUrl(server, QStringLiteral("k3x9q0ab")).toString(),
              QStringLiteral("https://bitonix.example.org/bitonix/version.json?r=k3x9q0ab"));
    EXPECT_EQ(DefaultInfoUrl(server).toString(),
              QStringLiteral("https://bitonix.example.org/bitonix/"));
    EXPECT_EQ(UpdateServer(), server);
}

} // namespace
} // namespace bitonix::test
