// The update button against a local server: the answers the check offers,
// latest, refuses or fails on, the request it sends and the button's state.
#include "TestAbout.h"
#include "TestHttpServer.h"
#include "about/VersionCheck.h"

#include <QPushButton>
#include <QRegularExpression>

namespace bitonix::test {
namespace {

// A box and a server that answers with `status` and `body`; own version 1.0.3.
// The texts are English whatever the system's language.
struct TUpdateFixture : TAboutFixture {
    TTestHttpServer Server;
    TUpdateFixture(int status, const QByteArray& body) : TAboutFixture("[Config]\nLanguage=en\n") {
        Server.Status = status;
        Server.Body = body;
        About->SetUpdateServer(Server.Url());
        Owner->Version = QStringLiteral("1.0.3");
    }
    QString DefaultPage() const { return Server.Url().toString() + QStringLiteral("/bitonix/"); }
    void Check() { About->btn1->click(); }
};

const QString KFailed = QStringLiteral("Could not check for updates.\n");

TEST(UpdateCheck, FailuresAreShownAfterTheFailedLine) {
    struct TCase {
        int Status;
        QByteArray Body;
        QString Reason;
    };
    const std::vector<TCase> cases = {
        {404, "not here", QStringLiteral("HTTP 404")},
        {500, R"({"version":"9.9"})", QStringLiteral("HTTP 500")},
        {200, R"(["1.0.4"])", QStringLiteral("Invalid version file")},
        {200, "version=1.0.4", QStringLiteral("Invalid version file")},
        {200, "", QStringLiteral("Invalid version file")},
        {200, R"({"version":"   "})", QStringLiteral("Missing version")},
        {200, R"({"infoUrl":"https://bitonix.example.org/x"})", QStringLiteral("Missing version")},
        {200, R"({"version":true})", QStringLiteral("Missing version")},
        {200, QByteArray(KMaxVersionDocumentSize + 1, ' ') + R"({"version":"9"})",
         QStringLiteral("Version file too large")},
    };
    for (const TCase& c : cases) {
        TUpdateFixture f(c.Status, c.Body);
        f.Check();
        ASSERT_EQ(f.About->Boxes.size(), 1u) << c.Reason.toStdString();
        EXPECT_EQ(f.About->Boxes[0].Icon, QMessageBox::Warning);
        EXPECT_EQ(f.About->Boxes[0].Text, KFailed + c.Reason);
        EXPECT_EQ(f.About->Boxes[0].Buttons, QMessageBox::Ok);
        EXPECT_TRUE(f.About->Dialogs.empty());
        EXPECT_TRUE(f.About->btn1->isEnabled());
    }
}

TEST(UpdateCheck, AnUnreachableServerShowsTheClientsMessage) {
    TAboutFixture f("[Config]\nLanguage=en\n");
    quint16 port = 0;
    {
        TTestHttpServer closed; // its port is free again once it goes
        port = static_cast<quint16>(closed.Url().port());
    }
    f.About->SetUpdateServer(QUrl(QStringLiteral("http://127.0.0.1:%1").arg(port)));
    f.About->btn1->click();
    ASSERT_EQ(f.About->Boxes.size(), 1u);
    EXPECT_EQ(f.About->Boxes[0].Icon, QMessageBox::Warning);
    EXPECT_TRUE(f.About->Boxes[0].Text.startsWith(KFailed));
    EXPECT_GT(f.About->Boxes[0].Text.size(), KFailed.size());
    EXPECT_TRUE(f.About->btn1->isEnabled());
}

TEST(UpdateCheck, SendsOneGetWithARandomQueryWhileTheButtonIsDisabled) {
    TUpdateFixture f(200, R"({"version":"1.0.3"})");
    bool enabledDuringCheck = true;
    f.Server.OnRequest = [&] { enabledDuringCheck = f.About->btn1->isEnabled(); };
    f.Check();
    f.Check();
    ASSERT_EQ(f.Server.Requests.size(), 2);
    const QRegularExpression line(
        QStringLiteral("^GET /bitonix/version\\.json\\?r=[a-z0-9]{8} HTTP/1\\.1$"));
    EXPECT_TRUE(line.match(f.Server.Requests[0]).hasMatch()) << f.Server.Requests[0].toStdString();
    EXPECT_NE(f.Server.Requests[0], f.Server.Requests[1]);
    EXPECT_FALSE(enabledDuringCheck);
    EXPECT_TRUE(f.About->btn1->isEnabled());
}

TEST(UpdateCheck, TheSameOrAnOlderVersionIsTheLatest) {
    for (const QByteArray& body :
         {QByteArray(R"({"version":" 1.0.3 "})"), QByteArray(R"({"version":"1.0.3.0"})"),
          QByteArray(R"({"version":"1.0.2","infoUrl":"https://a.example.org/"})")}) {
        TUpdateFixture f(200, body);
        f.Check();
        ASSERT_EQ(f.About->Boxes.size(), 1u) << body.toStdString();
        EXPECT_EQ(f.About->Boxes[0].Icon, QMessageBox::Information);
        EXPECT_EQ(f.About->Boxes[0].Text,
                  QStringLiteral("You are using the latest version of Bitonix"));
        EXPECT_TRUE(f.About->Dialogs.empty());
    }
}

TEST(UpdateCheck, ANewerVersionIsOfferedWithItsPage) {
    struct TCase {
        QByteArray Body;
        QString Version;
        QString Page; // empty: the program's page on the server
    };
    const std::vector<TCase> cases = {
        {R"({"version":"1.0.10","infoUrl":" https://dl.example.org/get?a=1&b=2 ","x":[1]})",
         QStringLiteral("1.0.10"), QStringLiteral("https://dl.example.org/get?a=1&b=2")},
        {R"({"version":2})", QStringLiteral("2"), {}},
        {R"({"version":"2.0-beta","infoUrl":""})", QStringLiteral("2.0-beta"), {}},
        {R"({"version":"1.1","infoUrl":"file:///etc/passwd"})", QStringLiteral("1.1"), {}},
        {R"j({"version":"1.1","infoUrl":"javascript:alert(1)"})j", QStringLiteral("1.1"), {}},
        {R"({"version":"1.1","infoUrl":7})", QStringLiteral("1.1"), {}},
    };
    for (const TCase& c : cases) {
        TUpdateFixture f(200, c.Body);
        const QString page = c.Page.isEmpty() ? f.DefaultPage() : c.Page;
        f.About->ClickLink = page;
        f.Check();
        ASSERT_EQ(f.About->Dialogs.size(), 1u) << c.Body.toStdString();
        const TShownDialog& d = f.About->Dialogs[0];
        EXPECT_EQ(d.Title, QStringLiteral("Update"));
        EXPECT_EQ(d.Instruction,
                  QStringLiteral("A new version of Bitonix is available: ") + c.Version);
        EXPECT_TRUE(d.LinkText.contains(page.toHtmlEscaped())) << d.LinkText.toStdString();
        EXPECT_TRUE(d.StillOpenAfterClick);
        ASSERT_EQ(f.About->Opened.size(), 1u);
        EXPECT_EQ(f.About->Opened[0], QUrl(page));
        EXPECT_TRUE(f.About->Boxes.empty());
    }
}

TEST(UpdateCheck, LinksThatAreNotWebAddressesAreNeverOpened) {
    for (const char* link : {"file:///etc/passwd", "javascript:alert(1)", "mailto:a@example.org"}) {
        TUpdateFixture f(200, R"({"version":"1.0.4"})");
        f.About->ClickLink = QString::fromLatin1(link);
        f.Check();
        ASSERT_EQ(f.About->Dialogs.size(), 1u);
        EXPECT_TRUE(f.About->Opened.empty()) << link;
    }
}

TEST(UpdateCheck, WithoutTheDialogAYesNoBoxOffersThePage) {
    for (const QMessageBox::StandardButton answer : {QMessageBox::Yes, QMessageBox::No}) {
        TUpdateFixture f(200, R"({"version":"1.0.4","infoUrl":"https://dl.example.org/"})");
        f.About->NoDialog = true;
        f.About->Answer = answer;
        f.Check();
        ASSERT_EQ(f.About->Boxes.size(), 1u);
        EXPECT_EQ(f.About->Boxes[0].Icon, QMessageBox::Information);
        EXPECT_EQ(f.About->Boxes[0].Buttons, QMessageBox::Yes | QMessageBox::No);
        EXPECT_EQ(f.About->Boxes[0].Text,
                  QStringLiteral("A new version of Bitonix is available: 1.0.4\n"
                                 "https://dl.example.org/\n"
                                 "Do you want to download the latest version of Bitonix now?"));
        EXPECT_EQ(f.About->Opened.size(), answer == QMessageBox::Yes ? 1u : 0u);
    }
}

TEST(UpdateCheck, AProgramWithoutAVersionTakesAnyPublishedVersionAsNewer) {
    TUpdateFixture f(200, R"({"version":"0.0.1"})");
    f.Owner->Version = QString();
    f.Check();
    EXPECT_EQ(f.About->Dialogs.size(), 1u);
}

} // namespace
} // namespace bitonix::test
