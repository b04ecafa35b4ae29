#include "RequestHead.h"

#include <QList>

namespace {
bool isDigits(QByteArrayView s) {
    if (s.isEmpty() || s.size() > 5) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}
} // namespace

std::optional<RequestHead> ParseRequestHead(QByteArrayView head) {
    const QList<QByteArray> lines = head.toByteArray().split('\n');
    const auto strip = [](const QByteArray& line) { return line.endsWith('\r') ? line.chopped(1) : line; };
    const QList<QByteArray> words = strip(lines.first()).split(' ');
    if (words.size() != 3 || words[0].isEmpty() || !words[2].startsWith("HTTP/") || !words[1].startsWith('/'))
        return std::nullopt;
    RequestHead r{words[0], words[1], {}};
    bool sawHost = false;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = strip(lines[i]);
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0) return std::nullopt;
        if (line.left(colon).trimmed().compare("host", Qt::CaseInsensitive) != 0) continue;
        if (sawHost) return std::nullopt;
        sawHost = true;
        r.host = line.mid(colon + 1).trimmed();
    }
    return r;
}

bool IsLoopbackHost(QByteArrayView host) {
    QByteArrayView name = host;
    if (const qsizetype colon = host.lastIndexOf(':'); colon >= 0 && !host.endsWith(']')) {
        if (!isDigits(host.sliced(colon + 1))) return false;
        name = host.first(colon);
    }
    return name == "127.0.0.1" || name.compare("localhost", Qt::CaseInsensitive) == 0 || name == "[::1]";
}
