// The sample portal's server answers only files inside its folder.
#include "PortalServer.h"
#include "support/TestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

TEST(PortalServer, AnswersOnlyFilesInsideItsFolder) {
    const auto dir = std::filesystem::temp_directory_path() / ("portal-test-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir / "site" / "sub");
    WriteFileBytes((dir / "secret.txt").string(), "secret");
    WriteFileBytes((dir / "site" / "page.html").string(), "<p>hi</p>");
    std::filesystem::create_symlink(dir / "secret.txt", dir / "site" / "link.txt");
    PortalServer s(QString::fromStdString((dir / "site").string()));
    auto ask = [&](const QByteArray& method, const QByteArray& path) {
        return s.Respond(method + ' ' + path + " HTTP/1.1\r\nHost: 127.0.0.1");
    };

    EXPECT_TRUE(ask("GET", "/page.html?x=1").endsWith("charset=gb2312\r\nContent-Length: 9\r\n"
                                                      "Cache-Control: no-cache\r\nConnection: close\r\n\r\n<p>hi</p>"));
    EXPECT_TRUE(ask("HEAD", "/page.html").endsWith("Content-Length: 9\r\nCache-Control: no-cache\r\nConnection: close\r\n\r\n"));
    for (const char* p : {"/../secret.txt", "/sub/../../secret.txt", "/%2e%2e/secret.txt", "/link.txt", "/sub", "/sub/",
                          "/missing.html"})
        EXPECT_TRUE(ask("GET", p).startsWith("HTTP/1.1 404 ")) << p;
    EXPECT_TRUE(ask("POST", "/page.html").startsWith("HTTP/1.1 405 "));
    EXPECT_TRUE(s.Respond("nonsense").startsWith("HTTP/1.1 400 "));
    EXPECT_TRUE(s.Respond("GET page.html HTTP/1.1").startsWith("HTTP/1.1 400 "));
    std::filesystem::remove_all(dir);
}
