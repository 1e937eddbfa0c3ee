// The client window's layout and what the user does with it: dragging, keys, links, the close
// button with a saved choice, the notification-area icon (present and absent) and the pages.
#include <QDesktopServices>
#include <QDir>
#include <QMenu>
#include <QProcess>
#include <QScreen>
#include <QSignalSpy>
#include <QSystemTrayIcon>

#include <csignal>
#include <fstream>

#include "client/app/my_phone_dlg.h"
#include "client/app/phone_no_conn_dlg.h"
#include "client/app/tarnel_dlg.h"
#include "tests/client_app/client_test_support.h"
#include "ui/login_button.h"
#include "ui/owner_draw_static.h"

using namespace tarnel;

namespace {

class UrlCatcher : public QObject {
    Q_OBJECT

  public:
    UrlCatcher() { QDesktopServices::setUrlHandler("http", this, "Open"); }
    ~UrlCatcher() override { QDesktopServices::unsetUrlHandler("http"); }
    QList<QUrl> opened;

  public slots:
    void Open(const QUrl& url) { opened.push_back(url); }
};

// Processes that carry an environment entry, found wherever they went: a web engine helper that
// outlives the program is handed to another parent.
int ProcessesCarrying(const QByteArray& entry) {
    int count = 0;
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile environment(QStringLiteral("/proc/%1/environ").arg(pid));
        if (pid.toInt() > 0 && environment.open(QIODevice::ReadOnly))
            count += environment.readAll().split('\0').contains(entry) ? 1 : 0;
    }
    return count;
}

// Whether a process has a handler for a signal.
bool Catches(qint64 pid, int signal) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("SigCgt:"))
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (signal - 1)) & 1;
    }
    return false;
}

ClientWindowOptions WithTray(bool tray) {
    return {.trayAvailable = [tray] { return tray; }};
}

class ClientWindowTest : public QObject {
    Q_OBJECT

  public:
    explicit ClientWindowTest(const test::ClientTestHome& home) : home_(home) {}

  private:
    const test::ClientTestHome& home_;

    void SaveChoice(const char* askPrompt, const char* exitApp) {
        std::filesystem::create_directories(home_.SettingsFile().parent_path());
        std::ofstream(home_.SettingsFile())
            << "[SET]\naskprompt=" << askPrompt << "\nexitapp=" << exitApp << "\n";
    }

    static void Start(CtarnelDlg& window) {
        window.StartUp();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }

    static void Click(CtarnelDlg& window, const char* name) {
        auto* button = window.findChild<CLoginButton*>(QString::fromLatin1(name));
        QVERIFY(button != nullptr);
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
    }

  private slots:
    void cleanup() { std::filesystem::remove(home_.SettingsFile()); }

    void theWindowIsBorderlessCentredAndTitled() {
        CtarnelDlg window;
        Start(window);
        QCOMPARE(window.size(), QSize(980, 686));
        QCOMPARE(window.windowTitle(), QStringLiteral("Tarnel安装器"));
        QVERIFY(window.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(!(window.windowFlags() & Qt::WindowMaximizeButtonHint));
        // Centred; a screen smaller than the window keeps the top band reachable.
        const QRect screen = window.screen()->availableGeometry();
        QCOMPARE(window.x(), std::max(screen.left(), screen.center().x() - 980 / 2 + 1));
        QCOMPARE(window.y(), std::max(screen.top(), screen.center().y() - 686 / 2 + 1));
        QCOMPARE(window.findChild<COwerDrawStatic*>("versionLabel")->Text(),
                 QStringLiteral("版本：v1.0.0"));
    }

    void controlsSitAtTheirPlaces_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("place");
        QTest::addColumn<bool>("visible");
        QTest::newRow("close") << "closeButton" << QRect(952, 0, 28, 28) << true;
        QTest::newRow("minimise") << "minimiseButton" << QRect(924, 0, 28, 28) << true;
        QTest::newRow("settings") << "settingsButton" << QRect(896, 0, 28, 28) << true;
        QTest::newRow("microblog") << "microblogButton" << QRect(800, 30, 93, 29) << true;
        QTest::newRow("chat group") << "chatGroupButton" << QRect(700, 30, 93, 29) << true;
        QTest::newRow("version") << "versionLabel" << QRect(880, 654, 100, 14) << true;
        QTest::newRow("market page") << "marketPage" << QRect(5, 676, 1, 1) << true;
        QTest::newRow("device page") << "phonePage" << QRect(0, 90, 980, 536) << false;
        QTest::newRow("no-phone page") << "noPhonePage" << QRect(0, 90, 980, 536) << true;
    }
    void controlsSitAtTheirPlaces() {
        QFETCH(QString, name);
        QFETCH(QRect, place);
        QFETCH(bool, visible);
        CtarnelDlg window;
        Start(window);
        QWidget* control = window.findChild<QWidget*>(name);
        QVERIFY(control != nullptr);
        if (qobject_cast<COwerDrawStatic*>(control) != nullptr) {
            // A label grows when its font needs more room than the layout gives it.
            QCOMPARE(control->pos(), place.topLeft());
            QVERIFY(control->width() >= place.width() && control->height() >= place.height());
        } else {
            QCOMPARE(control->geometry(), place);
        }
        QCOMPARE(control->isVisible(), visible);
        if (qobject_cast<CLoginButton*>(control) != nullptr) {
            QVERIFY(!control->accessibleName().isEmpty());
        }
    }

    void theTopBandDragsTheWindow_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QPoint>("pressAt");
        QTest::addColumn<bool>("moves");
        QTest::newRow("last row of the band") << "" << QPoint(400, 95) << true;
        QTest::newRow("first row below the band") << "" << QPoint(400, 96) << false;
        QTest::newRow("on a link button") << "microblogButton" << QPoint(5, 5) << false;
    }
    void theTopBandDragsTheWindow() {
        QFETCH(QString, target);
        QFETCH(QPoint, pressAt);
        QFETCH(bool, moves);
        const UrlCatcher browser;
        CtarnelDlg window;
        Start(window);
        QWidget* receiver = target.isEmpty() ? &window : window.findChild<QWidget*>(target);
        const QPoint before = window.pos();
        QTest::mousePress(receiver, Qt::LeftButton, {}, pressAt);
        QTest::mouseMove(receiver, pressAt + QPoint(30, 12));
        QTest::mouseRelease(receiver, Qt::LeftButton, {}, pressAt + QPoint(30, 12));
        QCOMPARE(window.pos() != before, moves);
    }

    void aDoubleClickInTheBandNeverMaximises() {
        CtarnelDlg window;
        Start(window);
        QTest::mouseDClick(&window, Qt::LeftButton, {}, QPoint(400, 40));
        QVERIFY(!window.isMaximized());
        QCOMPARE(window.size(), QSize(980, 686));
    }

    void enterIsIgnoredAndEscapeEndsTheProgram() {
        CtarnelDlg window;
        Start(window);
        QSignalSpy finished(&window, &QDialog::finished);
        for (QWidget* target :
             {static_cast<QWidget*>(&window), window.findChild<QWidget*>("microblogButton")}) {
            target->setFocus();
            QTest::keyClick(target, Qt::Key_Return);
            QTest::keyClick(target, Qt::Key_Enter);
        }
        QVERIFY(window.isVisible());
        QCOMPARE(finished.count(), 0);
        QTest::keyClick(&window, Qt::Key_Escape);
        QCOMPARE(finished.count(), 1);
    }

    void theLinkButtonsOpenTheirAddressesInTheBrowser() {
        const UrlCatcher browser;
        CtarnelDlg window;
        Start(window);
        Click(window, "microblogButton");
        Click(window, "chatGroupButton");
        QCOMPARE(browser.opened,
                 (QList<QUrl>{QUrl(test::kTestMicroblog), QUrl(test::kTestChatGroup)}));
        QCOMPARE(window.findChild<QWidget*>("chatGroupButton")->cursor().shape(),
                 Qt::PointingHandCursor);
    }

    void aSavedChoiceClosesWithoutAsking_data() {
        QTest::addColumn<bool>("tray");
        QTest::addColumn<QString>("exitApp");
        QTest::addColumn<QString>("outcome");
        QTest::newRow("hide, with a tray") << true << "0"
                                           << "hidden";
        QTest::newRow("hide, no tray: minimised instead") << false << "0"
                                                          << "minimised";
        QTest::newRow("exit") << true << "1"
                              << "ended";
    }
    void aSavedChoiceClosesWithoutAsking() {
        QFETCH(bool, tray);
        QFETCH(QString, exitApp);
        QFETCH(QString, outcome);
        SaveChoice("1", exitApp.toLatin1().constData());
        CtarnelDlg window(WithTray(tray));
        Start(window);
        QSignalSpy finished(&window, &QDialog::finished);
        for (int close = 0; close < 2 && outcome != "ended"; ++close) {
            window.showNormal();
            Click(window, "closeButton");
            QCOMPARE(window.findChildren<QSystemTrayIcon*>().size(), tray ? 1 : 0);
        }
        if (outcome == "ended") {
            Click(window, "closeButton");
        }
        QTRY_COMPARE(finished.count(), outcome == "ended" ? 1 : 0);
        QCOMPARE(window.isVisible(), outcome == "minimised");
        QCOMPARE(window.isMinimized(), outcome == "minimised");
        QVERIFY(QApplication::activeModalWidget() == nullptr);
    }

    void minimisingHidesOnceTheIconExists() {
        CtarnelDlg window(WithTray(true));
        Start(window);
        Click(window, "minimiseButton");
        QTRY_VERIFY(window.isMinimized());
        QTest::qWait(50);
        QVERIFY(window.isVisible());
        window.showNormal();
        window.ShowTrayIcon();
        QVERIFY(window.TrayIcon()->isVisible());
        QCOMPARE(window.TrayIcon()->toolTip(), QStringLiteral("Tarnel"));
        Click(window, "minimiseButton");
        QTRY_VERIFY(!window.isVisible());
        // A double click on the icon brings the window back.
        emit window.TrayIcon()->activated(QSystemTrayIcon::DoubleClick);
        QVERIFY(window.isVisible());
        QVERIFY(!window.isMinimized());
    }

    void theTraysCloseEndsTheProgramWithoutAsking() {
        CtarnelDlg window(WithTray(true));
        Start(window);
        window.ShowTrayIcon();
        window.hide();
        QSignalSpy finished(&window, &QDialog::finished);
        const QList<QAction*> items = window.TrayMenu()->actions();
        QCOMPARE(items.size(), 1);
        QCOMPARE(items[0]->text(), QStringLiteral("关闭"));
        items[0]->trigger();
        QCOMPARE(finished.count(), 1);
        QVERIFY(!window.TrayIcon()->isVisible());
        QVERIFY(QApplication::activeModalWidget() == nullptr);
    }

    void theProgramSaysWhatItNeeds_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("display");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("says");
        QTest::addColumn<int>("signal");  // sent once the window and its web view are up
        QTest::newRow("help") << QStringList{"--help"} << true << 0 << "Usage: tarnel" << 0;
        QTest::newRow("version") << QStringList{"--version"} << true << 0 << "tarnel 1.0.0" << 0;
        QTest::newRow("unknown option")
            << QStringList{"--frob"} << true << 2 << "unknown option" << 0;
        QTest::newRow("no display") << QStringList{} << false << 2 << "no display" << 0;
        QTest::newRow("SIGTERM") << QStringList{} << true << 0 << "" << SIGTERM;
        QTest::newRow("SIGHUP") << QStringList{} << true << 0 << "" << SIGHUP;
    }
    // Ended by a signal, the program quits in order and leaves no web engine helper behind.
    void theProgramSaysWhatItNeeds() {
        QFETCH(QStringList, arguments);
        QFETCH(bool, display);
        QFETCH(int, exitCode);
        QFETCH(QString, says);
        QFETCH(int, signal);
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (!display) {
            for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
                environment.remove(name);
            }
        }
        const QByteArray mark =
            "TARNEL_SIGNAL_TEST=" + QByteArray::number(QCoreApplication::applicationPid());
        environment.insert(QStringLiteral("TARNEL_SIGNAL_TEST"), QString::fromUtf8(mark.mid(19)));
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(TARNEL_CLIENT_PROGRAM), arguments);
        if (signal != 0) {
            QTRY_VERIFY_WITH_TIMEOUT(
                Catches(program.processId(), signal) && ProcessesCarrying(mark) > 1, 30000);
            ::kill(static_cast<pid_t>(program.processId()), signal);
            QVERIFY(program.waitForFinished(10000));
            QCOMPARE(program.exitStatus(), QProcess::NormalExit);
            QTRY_COMPARE_WITH_TIMEOUT(ProcessesCarrying(mark), 0, 5000);
        } else {
            QVERIFY(program.waitForFinished(30000));
        }
        QCOMPARE(program.exitCode(), exitCode);
        QVERIFY(QString::fromUtf8(program.readAllStandardOutput() + program.readAllStandardError())
                    .contains(says));
    }

    void thePagesSwitchWithThePhone() {
        CtarnelDlg window;
        Start(window);
        DeviceInfo facts;
        facts.model = "MI 8";
        window.OnPhoneReady(facts);
        QCOMPARE(window.Bridge()->deviceInfo.model, std::string("MI 8"));
        QVERIFY(window.PhonePage()->isVisible());
        QVERIFY(!window.NoPhonePage()->isVisible());
        window.ShowNoPhonePage();
        QVERIFY(!window.PhonePage()->isVisible());
        QVERIFY(window.NoPhonePage()->isVisible());
    }
};

}  // namespace

int main(int argc, char** argv) {
    return test::RunClientTests<ClientWindowTest>(argc, argv);
}

#include "client_window_test.moc"
