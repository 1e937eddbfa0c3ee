#include <QApplication>
#include <QFile>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

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

}  // namespace

class WebBrowserTest : public QObject {
    Q_OBJECT

  private slots:
    void vendorHostComesFromTheProgramConfig_data() {
        QTest::addColumn<QByteArray>("updateIni");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("address");
        const QString fallback = "http://" + kDefaultVendorHost + "/tnapi/pchtml?4";
        const QString path = QStringLiteral("/tnapi/pchtml?4");
        QTest::newRow("no config file") << QByteArray() << path << fallback;
        QTest::newRow("host and port, CRLF")
            << QByteArray("[URL]\r\niniurl=http://a/b\r\nwebhost = 127.0.0.1:8080\r\n") << path
            << "http://127.0.0.1:8080/tnapi/pchtml?4";
        QTest::newRow("capitals, no query")
            << QByteArray("[URL]\nwebhost=Games.Example.ORG\n") << "/tnapi/pcinstall"
            << "http://games.example.org/tnapi/pcinstall";
        QTest::newRow("a path in the host")
            << QByteArray("[URL]\nwebhost=evil.example/x?\n") << path << fallback;
        QTest::newRow("user name in the host")
            << QByteArray("[URL]\nwebhost=me@evil.example\n") << path << fallback;
        QTest::newRow("a whole address")
            << QByteArray("[URL]\nwebhost=http://x.example/\n") << path << fallback;
    }
    void vendorHostComesFromTheProgramConfig() {
        QFETCH(QByteArray, updateIni);
        QFETCH(QString, path);
        QFETCH(QString, address);
        QTemporaryDir folder;
        if (!updateIni.isEmpty()) {
            QFile ini(folder.filePath(QStringLiteral("Update.ini")));
            QVERIFY(ini.open(QIODevice::WriteOnly) && ini.write(updateIni) > 0);
        }
        const QByteArray saved = qgetenv("TARNEL_HOME");
        qputenv("TARNEL_HOME", QFile::encodeName(folder.path()));
        const QString got = VendorAddress(path).toString();
        qputenv("TARNEL_HOME", saved);
        QCOMPARE(got, address);
    }

    // The view shows no script dialogs while silent, no scroll bars, no context menu, and nothing
    // at all for a page that cannot be reached.
    void viewLooksLikePartOfTheWindow() {
        CWebBrowser2 view;
        view.put_Silent(true);
        view.resize(300, 200);
        view.show();
        QVERIFY(LoadAndWait(
            view,
            "data:text/html,<!DOCTYPE html><body style='margin:0'>"
            "<div style='width:2000px;height:3000px'></div><script>alert('a');document.title="
            "(confirm('b')?'yes':'no')+(prompt('c','d')===null?'-null':'-text')</script></body>"));
        QCOMPARE(view.title(), QStringLiteral("no-null"));
        QCOMPARE(
            RunScript(view, "window.innerWidth - document.documentElement.clientWidth").toInt(), 0);
        QCOMPARE(
            RunScript(view, "window.innerHeight - document.documentElement.clientHeight").toInt(),
            0);

        QWidget* surface = view.focusProxy();
        QVERIFY(surface != nullptr);
        QTest::mouseClick(surface, Qt::RightButton, {}, QPoint(20, 20));
        QContextMenuEvent menuKey(QContextMenuEvent::Mouse, QPoint(20, 20),
                                  surface->mapToGlobal(QPoint(20, 20)));
        QApplication::sendEvent(surface, &menuKey);
        QTest::qWait(1000);
        for (QWidget* window : QApplication::topLevelWidgets()) {
            QVERIFY2(window == &view || !window->isVisible(), qPrintable(window->objectName()));
        }

        QVERIFY(LoadAndWait(
            view, QStringLiteral("http://127.0.0.1:%1/tnapi/pchtml?4").arg(ClosedPort())));
        QCOMPARE(RunScript(view, "document.body ? document.body.innerText : ''").toString(),
                 QString());
    }
};

int main(int argc, char** argv) {
    PrepareWebViews();
    QApplication app(argc, argv);
    WebBrowserTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "web_browser_test.moc"
