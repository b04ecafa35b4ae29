// Runs the online test once and prints how it went and how long it took.
#include "platform/Online.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) return 2;
    QElapsedTimer t;
    t.start();
    const bool online = InternetCheckConnection(QString::fromLocal8Bit(argv[1]));
    std::printf("%s %lld\n", online ? "online" : "offline", static_cast<long long>(t.elapsed()));
    return 0;
}
