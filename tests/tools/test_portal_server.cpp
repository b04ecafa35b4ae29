// The sample portal's server: every address the shipped bank names is there,
// and nothing outside the portal folder can be asked for.
#include "PortalServer.h"
#include "app/FrmMain.h"
#include "support/TestSupport.h"

#include <QUrl>
#include <filesystem>
#include <gtest/gtest.h>
#include <regex>

namespace {
const QString kRoot = QStringLiteral(QUILLORA_SOURCE_DIR "/data/portal");

QByteArray get(PortalServer& s, const QByteArray& path, const QByteArray& method = "GET") {
    return s.Respond(method + ' ' + path + " HTTP/1.1\r\nHost: 127.0.0.1");
}
bool isOk(const QByteArray& reply) { return reply.startsWith("HTTP/1.1 200 OK\r\n"); }
}  // namespace

TEST(PortalServer, ServesEveryAddressOfTheShippedBankAndTheOnlineTestsPage) {
    PortalServer s(kRoot);
    const std::string settings = ReadFileBytes(QUILLORA_SOURCE_DIR "/data/bank/50_settings.sql");
    std::vector<QByteArray> paths{QUrl(PortalIndexUrl()).path().toUtf8()};
    const std::regex address("'@PORTAL@([^']*)'");
    for (std::sregex_iterator it(settings.begin(), settings.end(), address), end; it != end; ++it)
        paths.push_back(QByteArray::fromStdString((*it)[1]));
    ASSERT_EQ(paths.size(), 9u);
    for (const QByteArray& p : paths) {
        const QByteArray reply = get(s, p);
        EXPECT_TRUE(isOk(reply)) << p.toStdString();
        EXPECT_TRUE(reply.contains("Content-Type: text/html; charset=gb2312\r\n")) << p.toStdString();
        EXPECT_TRUE(reply.contains("charset=gb2312\" />")) << "the page says its charset too: " << p.toStdString();
    }
}

TEST(PortalServer, AnswersOnlyFilesInsideItsFolder) {
    const auto dir = std::filesystem::temp_directory_path() / ("portal-test-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir / "site" / "sub");
    WriteFileBytes((dir / "secret.txt").string(), "secret");
    WriteFileBytes((dir / "site" / "page.html").string(), "<p>hi</p>");
    std::filesystem::create_symlink(dir / "secret.txt", dir / "site" / "link.txt");
    PortalServer s(QString::fromStdString((dir / "site").string()));

    const QByteArray page = get(s, "/page.html?x=1");
    EXPECT_TRUE(isOk(page));
    EXPECT_TRUE(page.endsWith("\r\n\r\n<p>hi</p>"));
    const QByteArray head = get(s, "/page.html", "HEAD");
    EXPECT_TRUE(isOk(head) && head.contains("Content-Length: 9\r\n") && head.endsWith("\r\n\r\n"));
    for (const char* p : {"/../secret.txt", "/sub/../../secret.txt", "/%2e%2e/secret.txt", "/link.txt", "/sub",
                          "/sub/", "/missing.html"})
        EXPECT_TRUE(get(s, p).startsWith("HTTP/1.1 404 ")) << p;
    EXPECT_TRUE(get(s, "/page.html", "POST").startsWith("HTTP/1.1 405 "));
    EXPECT_TRUE(s.Respond("nonsense").startsWith("HTTP/1.1 400 "));
    EXPECT_TRUE(s.Respond("GET page.html HTTP/1.1").startsWith("HTTP/1.1 400 "));
    std::filesystem::remove_all(dir);
}
