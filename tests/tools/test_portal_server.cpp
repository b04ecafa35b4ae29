// The sample portal's server answers only files inside its folder, and only
// within its limits, over real loopback connections.
#include "PortalServer.h"
#include "browser/WebBrowser.h"
#include "support/TestSupport.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpSocket>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {
class PortalServerTest : public ::testing::Test {
protected:
    PortalServerTest() {
        WriteFileBytes((dir / "secret.txt").string(), "secret");
        WriteFileBytes((dir / "site" / "page.html").string(), "<p>hi</p>");
        std::filesystem::create_symlink(dir / "secret.txt", dir / "site" / "link.txt");
        s.SetIdleTimeout(std::chrono::milliseconds(300));
        EXPECT_TRUE(s.Listen(0));
    }
    ~PortalServerTest() override { std::filesystem::remove_all(dir); }

    // Sends `request` (more may follow on `c`) and collects what comes back until the server closes.
    QByteArray exchange(QTcpSocket& c, const QByteArray& request, int waitMs = 3000) {
        if (c.state() != QAbstractSocket::ConnectedState) {
            c.connectToHost(QHostAddress::LocalHost, s.Port());
            EXPECT_TRUE(
                QTest::qWaitFor([&] { return c.state() == QAbstractSocket::ConnectedState; }, waitMs));
        }
        c.write(request);
        QByteArray got;
        // A timeout is for the caller to judge: the idle test expects one.
        (void)QTest::qWaitFor(
            [&] {
                got += c.readAll();
                return c.state() == QAbstractSocket::UnconnectedState;
            },
            waitMs);
        return got + c.readAll();
    }
    QByteArray exchange(const QByteArray& request) {
        QTcpSocket c;
        return exchange(c, request);
    }
    QByteArray ask(const QByteArray& method, const QByteArray& path, const QByteArray& host = "127.0.0.1") {
        return exchange(method + ' ' + path + " HTTP/1.1\r\nHost: " + host + "\r\n\r\n");
    }

    // Made before the server, which resolves its folder at once.
    static std::filesystem::path madeDir() {
        const auto d = std::filesystem::temp_directory_path() / ("portal-test-" + std::to_string(::getpid()));
        std::filesystem::create_directories(d / "site" / "sub");
        return d;
    }
    const std::filesystem::path dir = madeDir();
    PortalServer s{QString::fromStdString((dir / "site").string())};
};
} // namespace

TEST_F(PortalServerTest, AnswersOnlyFilesInsideItsFolder) {
    EXPECT_TRUE(ask("GET", "/page.html?x=1")
                    .endsWith("charset=gb2312\r\nContent-Length: 9\r\n"
                              "Cache-Control: no-cache\r\nConnection: close\r\n\r\n<p>hi</p>"));
    EXPECT_TRUE(ask("HEAD", "/page.html")
                    .endsWith("Content-Length: 9\r\nCache-Control: no-cache\r\nConnection: close\r\n\r\n"));
    for (const char* p : {"/../secret.txt", "/sub/../../secret.txt", "/%2e%2e/secret.txt", "/link.txt",
                          "/sub", "/sub/", "/missing.html"})
        EXPECT_TRUE(ask("GET", p).startsWith("HTTP/1.1 404 ")) << p;
    EXPECT_TRUE(ask("POST", "/page.html").startsWith("HTTP/1.1 405 "));
    EXPECT_TRUE(exchange("nonsense\r\n\r\n").startsWith("HTTP/1.1 400 "));
    EXPECT_TRUE(exchange("GET page.html HTTP/1.1\r\n\r\n").startsWith("HTTP/1.1 400 "));
}

TEST_F(PortalServerTest, KeepsItsLimitsAndAnswersOnlyTheLoopbackNames) {
    // A head that stops half-way, or a client that says nothing, is dropped unanswered.
    QTcpSocket slow;
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(exchange(slow, "GET /page.html HTTP/1.1\r\nHost: 127.0.0.1\r\n"), "");
    EXPECT_EQ(slow.state(), QAbstractSocket::UnconnectedState);
    EXPECT_LT(clock.elapsed(), 2000);

    const QByteArray filler(9 * 1024, 'a');
    EXPECT_TRUE(exchange("GET /page.html HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Filler: " + filler + "\r\n\r\n")
                    .startsWith("HTTP/1.1 431 "));

    WriteFileBytes((dir / "site" / ".hidden.html").string(), "hidden");
    std::filesystem::create_directories(dir / "site" / ".git");
    WriteFileBytes((dir / "site" / ".git" / "config").string(), "hidden");
    for (const char* p : {"/.hidden.html", "/.git/config", "/sub/%2e%2e/.hidden.html"})
        EXPECT_TRUE(ask("GET", p).startsWith("HTTP/1.1 404 ")) << p;

    // A foreign name that resolved to 127.0.0.1 (DNS rebinding) gets nothing.
    const QByteArray port = QByteArray::number(s.Port());
    for (const QByteArray& host :
         QList<QByteArray>{"127.0.0.1:" + port, "localhost", "LOCALHOST:" + port, "[::1]", "[::1]:" + port})
        EXPECT_TRUE(ask("GET", "/page.html", host).startsWith("HTTP/1.1 200 ")) << host.toStdString();
    for (const QByteArray& host : QList<QByteArray>{"evil.example:" + port, "evil.example",
                                                    "127.0.0.1.evil.example", "localhost:80x", ""})
        EXPECT_TRUE(ask("GET", "/page.html", host).startsWith("HTTP/1.1 421 ")) << host.toStdString();

    // A file larger than one piece arrives whole.
    std::string big(300 * 1024, 'x');
    for (size_t i = 0; i < big.size(); i += 1000)
        big[i] = static_cast<char>('a' + i / 1000 % 26);
    WriteFileBytes((dir / "site" / "big.css").string(), big);
    const QByteArray reply = ask("GET", "/big.css");
    EXPECT_TRUE(reply.endsWith(QByteArray::fromStdString(big))) << reply.size();
}

// The sample portal's pages show styled: their sheet arrives as a style sheet.
TEST(SamplePortal, PagesShowWithTheirStyleSheet) {
    PortalServer portal(QStringLiteral(QUILLORA_SOURCE_DIR "/data/portal"));
    ASSERT_TRUE(portal.Listen(0));
    WebBrowser browser;
    browser.Navigate(portal.BaseUrl() + QStringLiteral("/qlr/exam/index.html"));
    ASSERT_TRUE(browser.WaitForLoad());
    EXPECT_EQ(browser.Evaluate(QStringLiteral("getComputedStyle(document.body).backgroundColor")).toString(),
              "rgb(238, 243, 248)");
    EXPECT_EQ(
        browser.Evaluate(QStringLiteral("getComputedStyle(document.querySelector('.top')).backgroundColor"))
            .toString(),
        "rgb(181, 70, 31)");
}
