// Whatever head a client sends, the portal answers with one status line and
// sends a file only from inside its folder, never a hidden one, and only to a
// request that named the loopback interface.
#include "FuzzSupport.h"
#include "PortalServer.h"
#include "RequestHead.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>

namespace {
struct Site {
    QTemporaryDir dir;
    QString root = dir.path() + QStringLiteral("/site");
    Site() {
        QDir().mkpath(root + QStringLiteral("/sub"));
        for (const QString& name : {QStringLiteral("/secret.txt"), QStringLiteral("/site/index.html"),
                                    QStringLiteral("/site/sub/page.html"), QStringLiteral("/site/.hidden")}) {
            QFile f(dir.path() + name);
            FUZZ_CHECK(f.open(QIODevice::WriteOnly) && f.write("x") == 1, "cannot write the site");
        }
    }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Site site;
    static PortalServer server(site.root);
    const QByteArray head(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    const std::optional<RequestHead> request = ParseRequestHead(head);
    if (request) {
        FUZZ_CHECK(!request->method.contains(' ') && request->target.startsWith('/'),
                   "a malformed request line parsed");
        FUZZ_CHECK(!request->host.contains('\n'), "the host runs into the next line");
    }
    const PortalServer::Reply reply = server.Respond(head);
    FUZZ_CHECK(reply.head.startsWith("HTTP/1.1 " + QByteArray::number(reply.status) + ' '), "status line");
    FUZZ_CHECK(reply.head.count("\r\n\r\n") >= 1, "no end of the headers");
    if (reply.status == 200) {
        FUZZ_CHECK(request && IsLoopbackHost(request->host), "a file for a foreign or broken request");
        FUZZ_CHECK(size <= 8 * 1024, "a file for an oversized head");
    }
    if (!reply.file.isEmpty()) {
        FUZZ_CHECK(reply.status == 200 && request->method == "GET", "a body that was not asked for");
        FUZZ_CHECK(reply.file.startsWith(site.root + u'/'), "a file outside the folder");
        FUZZ_CHECK(!reply.file.mid(site.root.size()).contains(QStringLiteral("/.")), "a hidden file");
    }
    return 0;
}
