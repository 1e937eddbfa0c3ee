// The client window and its two dialogs, offscreen: the top band that drags them, keys, links, the
// close button with a saved or an asked choice, the notification-area icon (present and absent),
// the exit question's answers and the settings dialog.
#include <QDesktopServices>
#include <QDir>
#include <QMenu>
#include <QProcess>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTimer>

#include <csignal>
#include <fstream>
#include <functional>
#include <memory>

#include "client/app/exit_ask_dlg.h"
#include "client/app/set_dlg.h"
#include "client/app/tarnel_dlg.h"
#include "client/core/file_associations.h"
#include "platform/ini_profile.h"
#include "tests/client_app/client_test_support.h"
#include "ui/login_button.h"

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

// Acts on the next modal dialog or pop-up menu of type Dialog once it is shown.
template <class Dialog>
void WhenShown(std::function<void(Dialog&)> act) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activePopupWidget());
        if (dialog == nullptr) {
            dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        }
        if (dialog != nullptr && dialog->isVisible()) {
            poll->deleteLater();
            poll->stop();
            act(*dialog);
        }
    });
    poll->start(10);
}

void Click(QWidget& window, const QString& name) {
    QWidget* control = window.findChild<QWidget*>(name);
    QVERIFY2(control != nullptr, qPrintable(name));
    QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(4, 4));
}

// One window or dialog of the client, driven by steps, and what it shows afterwards in words.
class Scene {
  public:
    // "window" (a notification area at hand), "window, no tray", "exit question" or "settings".
    explicit Scene(const QString& kind) : kind_(kind) { Open(); }

    QDialog* Window() const { return window_.get(); }

    // "click NAME", "drag NAME" or "drag X,Y" (by 30, 12), "dclick X,Y", "focus NAME",
    // "key Return|Enter|Escape", "answer NAME,NAME..." (clicks in the next exit question), "show",
    // "tray" (shows the icon), "tray dclick", "tray close", "reopen".
    void Do(const QString& step) {
        const QString verb = step.section(' ', 0, 0);
        const QString argument = step.section(' ', 1);
        const QStringList xy = argument.split(',');
        const QPoint point = xy.size() == 2 ? QPoint(xy[0].toInt(), xy[1].toInt()) : QPoint(5, 5);
        QWidget* named = window_->findChild<QWidget*>(argument);
        auto* client = qobject_cast<CtarnelDlg*>(window_.get());
        if (verb == "click") {
            Click(*window_, argument);
        } else if (verb == "drag") {
            QWidget* target = named != nullptr ? named : window_.get();
            QTest::mousePress(target, Qt::LeftButton, {}, point);
            QTest::mouseMove(target, point + QPoint(30, 12));
            QTest::mouseRelease(target, Qt::LeftButton, {}, point + QPoint(30, 12));
        } else if (verb == "dclick") {
            QTest::mouseDClick(window_.get(), Qt::LeftButton, {}, point);
        } else if (verb == "focus") {
            focus_ = named;
            focus_->setFocus();
        } else if (verb == "key") {
            QTest::keyClick(focus_ != nullptr ? focus_ : window_.get(),
                            argument == "Escape"  ? Qt::Key_Escape
                            : argument == "Enter" ? Qt::Key_Enter
                                                  : Qt::Key_Return);
        } else if (verb == "answer") {
            WhenShown<CExitAskDlg>([xy](CExitAskDlg& shown) {
                for (const QString& name : xy) {
                    Click(shown, name);
                }
            });
        } else if (verb == "show") {
            window_->showNormal();
        } else if (step == "tray") {
            client->ShowTrayIcon();
        } else if (step == "tray dclick") {
            emit client->TrayIcon()->activated(QSystemTrayIcon::DoubleClick);
        } else if (step == "tray close") {
            const QList<QAction*> items = client->TrayMenu()->actions();
            QCOMPARE(items.size(), 1);
            QCOMPARE(items[0]->text(), QStringLiteral("关闭"));
            items[0]->trigger();
        } else if (step == "reopen") {
            Open();
        } else {
            QFAIL(qPrintable("unknown step " + step));
        }
    }

    // "ended", or "shown", "hidden" or "minimised"; "moved", "maximised"; "tray" for each icon
    // shown; the ticked buttons; the exit choice ("choice=N", the window's when not 0); the
    // settings dialog's "associated"; the links opened ("open:URL").
    QStringList State() const {
        QStringList words;
        if (finished_->count() > 0) {
            words << "ended";
        } else {
            words << (!window_->isVisible()    ? "hidden"
                      : window_->isMinimized() ? "minimised"
                                               : "shown");
        }
        if (window_->pos() != start_) {
            words << "moved";
        }
        if (window_->isMaximized()) {
            words << "maximised";
        }
        for (const QSystemTrayIcon* icon : window_->findChildren<QSystemTrayIcon*>()) {
            if (icon->isVisible()) {
                words << "tray";
            }
        }
        for (const CLoginButton* button : window_->findChildren<CLoginButton*>()) {
            if (button->isChecked()) {
                words << button->objectName();
            }
        }
        if (const auto* question = qobject_cast<const CExitAskDlg*>(window_.get())) {
            words << QStringLiteral("choice=%1").arg(question->ExitChoice());
        } else if (const auto* client = qobject_cast<const CtarnelDlg*>(window_.get());
                   client != nullptr && client->ExitChoice() != 0) {
            words << QStringLiteral("choice=%1").arg(client->ExitChoice());
        }
        if (kind_ == "settings" && IsAssociated(AssociationFolders::FromEnvironment())) {
            words << "associated";
        }
        for (const QUrl& url : browser_.opened) {
            words << "open:" + url.toString();
        }
        return words;
    }

  private:
    void Open() {
        if (kind_.startsWith("window")) {
            auto client = std::make_unique<CtarnelDlg>(
                ClientWindowOptions{.trayAvailable = [tray = kind_ == "window"] { return tray; }});
            client->StartUp();
            window_ = std::move(client);
        } else {
            if (kind_ == "settings") {
                window_ = std::make_unique<CSetDlg>(nullptr);
            } else {
                window_ = std::make_unique<CExitAskDlg>(nullptr);
            }
            window_->show();
        }
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        finished_ = std::make_unique<QSignalSpy>(window_.get(), &QDialog::finished);
        start_ = window_->pos();
    }

    QString kind_;
    UrlCatcher browser_;
    std::unique_ptr<QDialog> window_;
    std::unique_ptr<QSignalSpy> finished_;
    QPoint start_;
    QWidget* focus_ = nullptr;
};

class ClientWindowTest : public QObject {
    Q_OBJECT

  public:
    explicit ClientWindowTest(const test::ClientTestHome& home) : home_(home) {}

  private:
    const test::ClientTestHome& home_;

  private slots:
    void cleanup() {
        std::filesystem::remove(home_.SettingsFile());
        std::filesystem::remove_all(home_.DataHome());
        std::filesystem::remove(home_.ConfigHome() / "mimeapps.list");
    }

    // What the user's steps do, from tarnelUser.ini's [SET] lines as saved (space-separated).
    void whatEachStepDoes_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("saved");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("state");
        const auto row = [](const char* name, const char* kind, const char* saved,
                            const QStringList& steps, const char* state) {
            QTest::newRow(name) << kind << saved << steps << state;
        };
        // The window moves by its top 96 pixels, never maximises, keeps Enter from closing it.
        row("drag, last row of the band", "window", "", {"drag 400,95"}, "shown moved");
        row("drag below the band", "window", "", {"drag 400,96"}, "shown");
        row("drag on a link button", "window", "", {"drag microblogButton"},
            "shown open:http://127.0.0.1:9/weibo");
        row("double click in the band", "window", "", {"dclick 400,40"}, "shown");
        row("Enter is ignored", "window", "",
            {"key Return", "key Enter", "focus microblogButton", "key Return", "key Enter"},
            "shown");
        row("Escape ends the program", "window", "", {"key Escape"}, "ended");
        row("the link buttons open their addresses", "window", "",
            {"click microblogButton", "click chatGroupButton"},
            "shown open:http://127.0.0.1:9/weibo open:http://127.0.0.1:9/?_wv=1027&k=abcdef");
        // askprompt=1 acts on the saved exitapp, twice over; anything else asks.
        row("close, saved hide", "window", "askprompt=1 exitapp=0",
            {"click closeButton", "show", "click closeButton"}, "hidden tray");
        row("close, saved hide without a tray: minimised", "window, no tray",
            "askprompt=1 exitapp=0", {"click closeButton", "show", "click closeButton"},
            "minimised");
        row("close, saved exit", "window", "askprompt=1 exitapp=1", {"click closeButton"}, "ended");
        row("close, asked: hide", "window", "askprompt=2", {"answer okButton", "click closeButton"},
            "hidden tray choice=1");
        row("close, asked: exit", "window", "exitapp=1",
            {"answer exitRadio,okButton", "click closeButton"}, "ended");
        row("close, asked: cancel", "window", "",
            {"answer exitRadio,cancelButton", "click closeButton"}, "shown tray choice=-1");
        // Minimising hides once the icon exists; its double click brings the window back and
        // its 关闭 ends the program without asking.
        row("minimise without the icon", "window", "", {"click minimiseButton"}, "minimised");
        row("minimise with the icon", "window", "", {"tray", "click minimiseButton"},
            "hidden tray");
        row("the icon brings the window back", "window", "",
            {"tray", "click minimiseButton", "tray dclick"}, "shown tray");
        row("the icon's close", "window", "", {"tray", "tray close"}, "ended");
        // The exit question: the choice, and what is saved.
        row("question: drag, last row of the band", "exit question", "", {"drag 200,39"},
            "shown moved minimiseRadio choice=-1");
        row("question: starts from the saved choice", "exit question", "exitapp=1", {},
            "shown exitRadio choice=-1");
        row("question: OK hides, this time only", "exit question", "", {"click okButton"},
            "ended minimiseRadio choice=1");
        row("question: exit, this time only", "exit question", "",
            {"click exitRadio", "click okButton"}, "ended exitRadio choice=0");
        row("question: exit, never ask again", "exit question", "",
            {"click exitRadio", "click askBox", "click okButton"},
            "ended exitRadio askBox choice=0 askprompt=1 exitapp=1");
        row("question: by the labels, hide, never ask again", "exit question", "",
            {"click exitLabel", "click minimiseLabel", "click askLabel", "click okButton"},
            "ended minimiseRadio askBox choice=1 askprompt=1 exitapp=0");
        row("question: the box ticked twice is not ticked", "exit question", "",
            {"click askBox", "click askLabel", "click exitLabel", "click okButton"},
            "ended exitRadio choice=0");
        row("question: cancel", "exit question", "",
            {"click exitRadio", "click askBox", "click cancelButton"},
            "ended exitRadio askBox choice=-1");
        row("question: close", "exit question", "", {"click askBox", "click closeButton"},
            "ended minimiseRadio askBox choice=-1");
        row("question: Escape", "exit question", "",
            {"click exitRadio", "click askBox", "key Escape"}, "ended exitRadio askBox choice=-1");
        // The settings write the exit choice at each click, and associate the packages for good.
        row("settings: drag on the title", "settings", "", {"drag title"},
            "shown moved minimiseRadio");
        row("settings: start from the saved choice", "settings", "exitapp=1", {},
            "shown exitRadio");
        row("settings: the chosen one again writes nothing", "settings", "",
            {"click minimiseLabel"}, "shown minimiseRadio");
        row("settings: the chosen radio clicked again stays chosen", "settings", "",
            {"click minimiseRadio"}, "shown minimiseRadio");
        row("settings: exit, then hide", "settings", "", {"click exitLabel", "click minimiseLabel"},
            "shown minimiseRadio exitapp=0");
        row("settings: associate", "settings", "", {"click associateLabel"},
            "shown associateBox minimiseRadio associated");
        row("settings: unticking undoes nothing", "settings", "",
            {"click associateLabel", "click associateBox", "reopen"},
            "shown associateBox minimiseRadio associated");
    }
    void whatEachStepDoes() {
        QFETCH(QString, kind);
        QFETCH(QString, saved);
        QFETCH(QStringList, steps);
        QFETCH(QString, state);
        std::filesystem::create_directories(home_.SettingsFile().parent_path());
        std::ofstream(home_.SettingsFile()) << "[SET]\n" << saved.replace(' ', '\n').toStdString();
        Scene scene(kind);
        for (const QString& step : steps) {
            scene.Do(step);
        }
        const auto words = [&] {
            QStringList words = scene.State();
            for (const char* key : {"askprompt", "exitapp"}) {
                const std::string value = IniProfile(home_.SettingsFile()).Read("SET", key, "-");
                if (value != "-" && !saved.contains(key)) {
                    words << QString::fromLatin1(key) + "=" + QString::fromStdString(value);
                }
            }
            return words.join(' ');
        };
        QTRY_COMPARE(words(), state);
        QVERIFY(QApplication::activeModalWidget() == nullptr);
    }

    void theProgramSaysWhatItNeeds_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("display");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("says");
        QTest::addColumn<int>("signal");  // sent once the window and its web view are up
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
        QFETCH(QString, says);
        QFETCH(int, signal);
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
            if (!display) {
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
        QTEST(program.exitCode(), "exitCode");
        QVERIFY(QString::fromUtf8(program.readAllStandardOutput() + program.readAllStandardError())
                    .contains(says));
    }

    void theSettingsMenuOpensTheSettings() {
        const Scene scene("window");
        bool opened = false;
        WhenShown<QMenu>([](QMenu& menu) {
            QCOMPARE(menu.actions().size(), 1);
            QCOMPARE(menu.actions()[0]->text(), QStringLiteral("设置"));
            menu.setActiveAction(menu.actions()[0]);
            QTest::keyClick(&menu, Qt::Key_Return);
        });
        WhenShown<CSetDlg>([&opened](CSetDlg& settings) {
            opened = true;
            settings.reject();
        });
        Click(*scene.Window(), "settingsButton");
        QTRY_VERIFY(opened);
    }
};

}  // namespace

int main(int argc, char** argv) {
    return test::RunClientTests<ClientWindowTest>(argc, argv);
}

#include "client_window_test.moc"
