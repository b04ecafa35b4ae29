#pragma once
// The request head the portal server reads: pure parsing, no sockets, so the
// fuzz target runs it on any bytes.
#include <QByteArray>
#include <QByteArrayView>
#include <optional>

struct RequestHead {
    QByteArray method;
    QByteArray target; // as sent, with any query
    QByteArray host;   // the Host header's value, empty when there is none
};

// `head` is everything before the blank line. Nothing for a request line that
// is not three words ending in an HTTP version with a target from '/', for a
// header line without a colon, and for a second Host header.
std::optional<RequestHead> ParseRequestHead(QByteArrayView head);

// A Host value naming the loopback interface: 127.0.0.1, localhost or [::1],
// each with or without ":port". Anything else reached us under a foreign name
// (DNS rebinding: a page elsewhere whose name now resolves to 127.0.0.1).
bool IsLoopbackHost(QByteArrayView host);
