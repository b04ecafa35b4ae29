// portalserve: serves the sample portal on the loopback interface, so the
// program started on the same machine finds itself online.
#include "PortalServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QStringList>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    quint16 port = 8901;
    if (args.size() >= 2 && args[0] == u"--port") {
        bool ok = false;
        port = args[1].toUShort(&ok);
        if (!ok)
            args.clear();
        else
            args = args.mid(2);
    }
    if (args.size() != 1 || !QDir(args[0]).exists()) {
        std::fprintf(stderr, "usage: portalserve [--port N] FOLDER\n");
        return 2;
    }
    PortalServer server(args[0]);
    if (!server.Listen(port)) {
        std::fprintf(stderr, "portalserve: cannot listen on 127.0.0.1:%u: %s\n", port,
                     qPrintable(server.ErrorString()));
        return 1;
    }
    std::printf("Serving %s on %s/ (Ctrl+C to stop)\n", qPrintable(QDir(args[0]).absolutePath()),
                qPrintable(server.BaseUrl()));
    std::fflush(stdout);
    return app.exec();
}
