#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>

#include "ui/vendor_site.h"
#include "ui/web_browser.h"

using namespace tarnel;

namespace {

QVariant RunScript(CWebBrowser2& view, const QString& script) {
    QVariant result;
    bool done = false;
    view.page()->runJavaScript(script, [&](const QVariant& value) {
        result = value;
        done = true;
    });
    if (!QTest::qWaitFor([&] { return done; }, 10000)) {
        return QStringLiteral("<no answer>");
    }
    return result;
}

bool LoadAndWait(CWebBrowser2& view, const QString& address) {
    QSignalSpy finished(&view, &QWebEngineView::loadFinished);
    view.Navigate2(address);
    return finished.wait(20000);
}

// A port on the loopback interface that nobody listens on.
quint16 ClosedPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort();
}

// Answers every request with a small page and remembers the request lines.
class VendorServer : public QTcpServer {
  public:
    QStringList requests;

    VendorServer() {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* client = nextPendingConnection()) {
                connect(client, &QTcpSocket::readyRead, client, [this, client] {
                    const QByteArray request = client->readAll();
                    requests << QString::fromLatin1(request.left(request.indexOf("\r\n")));
                    client->write(
                        "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n"
                        "Connection: close\r\n\r\n<title>vendor</title><p>page</p>");
                    client->disconnectFromHost();
                });
            }
        });
    }
};

// Points the program folder at a temporary one with the given Update.ini text.
class ProgramFolderWithConfig {
  public:
    explicit ProgramFolderWithConfig(const QByteArray& updateIni, bool create = true)
        : saved_(qgetenv("TARNEL_HOME")) {
        if (create) {
            QFile ini(QDir(folder_.path()).filePath(QStringLiteral("Update.ini")));
            ini.open(QIODevice::WriteOnly);
            ini.write(updateIni);
        }
        qputenv("TARNEL_HOME", QFile::encodeName(folder_.path()));
    }
    ~ProgramFolderWithConfig() { qputenv("TARNEL_HOME", saved_); }

  private:
    QTemporaryDir folder_;
    QByteArray saved_;
};

}  // namespace

class WebBrowserTest : public QObject {
    Q_OBJECT

  private slots:
    void vendorHostComesFromTheProgramConfig_data() {
        QTest::addColumn<QByteArray>("updateIni");
        QTest::addColumn<bool>("create");
        QTest::addColumn<QString>("address");
        const QString fallback = "http://" + kDefaultVendorHost + "/tnapi/pchtml?4";
        QTest::newRow("no config file") << QByteArray() << false << fallback;
        QTest::newRow("no key") << QByteArray("[MAINVER]\nmainver=1.0\n") << true << fallback;
        QTest::newRow("host") << QByteArray("[URL]\nwebhost=games.example.org\n") << true
                              << "http://games.example.org/tnapi/pchtml?4";
        QTest::newRow("host and port, CRLF")
            << QByteArray("[URL]\r\niniurl=http://a/b\r\nwebhost = 127.0.0.1:8080\r\n") << true
            << "http://127.0.0.1:8080/tnapi/pchtml?4";
        QTest::newRow("capitals") << QByteArray("[URL]\nwebhost=Games.Example.ORG\n") << true
                                  << "http://games.example.org/tnapi/pchtml?4";
        QTest::newRow("empty value") << QByteArray("[URL]\nwebhost=\n") << true << fallback;
        QTest::newRow("a path in the host")
            << QByteArray("[URL]\nwebhost=evil.example/x?\n") << true << fallback;
        QTest::newRow("user name in the host")
            << QByteArray("[URL]\nwebhost=me@evil.example\n") << true << fallback;
        QTest::newRow("spaces") << QByteArray("[URL]\nwebhost=a host\n") << true << fallback;
        QTest::newRow("a whole address")
            << QByteArray("[URL]\nwebhost=http://x.example/\n") << true << fallback;
        QTest::newRow("binary garbage")
            << QByteArray("[URL]\nwebhost=\xff\xfe\x01\n") << true << fallback;
    }
    void vendorHostComesFromTheProgramConfig() {
        QFETCH(QByteArray, updateIni);
        QFETCH(bool, create);
        QFETCH(QString, address);
        ProgramFolderWithConfig config(updateIni, create);
        QCOMPARE(VendorAddress(QStringLiteral("/tnapi/pchtml?4")).toString(), address);
    }

    void vendorPagesWithoutQuery() {
        ProgramFolderWithConfig config("[URL]\nwebhost=games.example.org\n");
        QCOMPARE(VendorAddress(QStringLiteral("/tnapi/pcinstall")).toString(),
                 QStringLiteral("http://games.example.org/tnapi/pcinstall"));
        QCOMPARE(VendorAddress(QStringLiteral("/")).toString(),
                 QStringLiteral("http://games.example.org/"));
    }

    void navigatesToTheVendorPage() {
        VendorServer server;
        ProgramFolderWithConfig config(
            "[URL]\nwebhost=127.0.0.1:" + QByteArray::number(server.serverPort()) + "\n");
        CWebBrowser2 view;
        view.resize(300, 200);
        view.show();
        view.ShowVendorPage(QStringLiteral("/tnapi/pchtml?4"));
        QVERIFY(QTest::qWaitFor([&] { return view.title() == QStringLiteral("vendor"); }, 20000));
        QCOMPARE(server.requests.value(0), QStringLiteral("GET /tnapi/pchtml?4 HTTP/1.1"));
        QCOMPARE(view.url().toString(),
                 QStringLiteral("http://127.0.0.1:%1/tnapi/pchtml?4").arg(server.serverPort()));
    }

    void unreachablePageShowsNothing() {
        CWebBrowser2 view;
        view.resize(300, 200);
        view.show();
        const QString address =
            QStringLiteral("http://127.0.0.1:%1/tnapi/pchtml?4").arg(ClosedPort());
        QVERIFY(LoadAndWait(view, address));
        QCOMPARE(RunScript(view, "document.body ? document.body.innerText : ''").toString(),
                 QString());
    }

    void scriptDialogsAreSilenced() {
        CWebBrowser2 view;
        view.put_Silent(true);
        view.resize(300, 200);
        view.show();
        QVERIFY(LoadAndWait(
            view,
            "data:text/html,<script>alert('a');document.title="
            "(confirm('b')?'yes':'no')+(prompt('c','d')===null?'-null':'-text')</script>"));
        QCOMPARE(view.title(), QStringLiteral("no-null"));
        for (QWidget* window : QApplication::topLevelWidgets()) {
            QVERIFY2(window == &view || !window->isVisible(), qPrintable(window->objectName()));
        }
    }

    void noScrollBarsOnALongPage() {
        CWebBrowser2 view;
        view.resize(300, 200);
        view.show();
        QVERIFY(LoadAndWait(view,
                            "data:text/html,<!DOCTYPE html><body style='margin:0'>"
                            "<div style='width:2000px;height:3000px'></div></body>"));
        QCOMPARE(
            RunScript(view, "window.innerWidth - document.documentElement.clientWidth").toInt(), 0);
        QCOMPARE(
            RunScript(view, "window.innerHeight - document.documentElement.clientHeight").toInt(),
            0);
    }

    void rightClickShowsNoMenu() {
        CWebBrowser2 view;
        view.resize(300, 200);
        view.show();
        QVERIFY(LoadAndWait(view, "data:text/html,<p>text to click</p>"));
        QWidget* surface = view.focusProxy();
        QVERIFY(surface != nullptr);
        QTest::mousePress(surface, Qt::RightButton, {}, QPoint(20, 20));
        QTest::mouseRelease(surface, Qt::RightButton, {}, QPoint(20, 20));
        QContextMenuEvent menuKey(QContextMenuEvent::Mouse, QPoint(20, 20),
                                  surface->mapToGlobal(QPoint(20, 20)));
        QApplication::sendEvent(surface, &menuKey);
        QTest::qWait(1000);
        for (QWidget* window : QApplication::topLevelWidgets()) {
            QVERIFY(!(qobject_cast<QMenu*>(window) && window->isVisible()));
        }
    }
};

int main(int argc, char** argv) {
    PrepareWebViews();
    QApplication app(argc, argv);
    WebBrowserTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "web_browser_test.moc"
