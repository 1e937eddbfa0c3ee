// The device monitor in the running window, with the real adb and the simulated phone: a phone
// attached runs the wizard once, a phone gone shows the no-phone page, a phone back runs the
// wizard again, and the program can be ended while the wizard is open. Which of several phones is
// shown is the follower's table (tests/client_core).
#include <QAbstractButton>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTimer>

#include <chrono>

#include "client/app/conn_progress_dlg.h"
#include "client/app/my_phone_dlg.h"
#include "client/app/phone_no_conn_dlg.h"
#include "client/app/tarnel_dlg.h"
#include "tests/client_app/client_test_support.h"
#include "tests/support/phone_fixture.h"

using namespace tarnel;
using namespace std::chrono_literals;

namespace {

constexpr auto kPoll = 200ms;
constexpr int kPhoneLimit = 60000;

// Counts the connection wizards shown, answers any message box, and can end the window as a
// wizard opens.
class WizardWatch : public QObject {
  public:
    WizardWatch() {
        qApp->installEventFilter(this);
        connect(&boxes_, &QTimer::timeout, this, [] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                box->buttons().front()->click();
            }
        });
        boxes_.start(50);
    }
    ~WizardWatch() override { qApp->removeEventFilter(this); }

    int shown = 0;
    CtarnelDlg* endOnWizard = nullptr;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && qobject_cast<CConnProgressDlg*>(watched) != nullptr) {
            ++shown;
            if (endOnWizard != nullptr) {
                // As the tray's "关闭" does while the wizard runs.
                endOnWizard->reject();
            }
        }
        return false;
    }

  private:
    QTimer boxes_;
};

class MonitorTest : public QObject {
    Q_OBJECT

  public:
    explicit MonitorTest(const test::ClientTestHome&) {}

  private slots:
    void eachNewPhoneGetsTheWizardOnce() {
        test::SimulatedPhone phone(test::Scenario::object(), test::PhonePresence::Unplugged);
        WizardWatch wizards;
        CtarnelDlg window({.pollInterval = kPoll});
        window.StartUp();
        QTest::qWait(5 * kPoll.count());
        QCOMPARE(wizards.shown, 0);
        QVERIFY(window.NoPhonePage()->isVisible());

        phone.Plug();
        QTRY_COMPARE_WITH_TIMEOUT(wizards.shown, 1, kPhoneLimit);
        QTRY_VERIFY_WITH_TIMEOUT(window.PhonePage()->isVisible(), kPhoneLimit);
        QTest::qWait(5 * kPoll.count());
        QCOMPARE(wizards.shown, 1);

        phone.Unplug();
        QTRY_VERIFY_WITH_TIMEOUT(window.NoPhonePage()->isVisible(), kPhoneLimit);
        QVERIFY(!window.PhonePage()->isVisible());
        QCOMPARE(wizards.shown, 1);

        phone.Plug();
        QTRY_COMPARE_WITH_TIMEOUT(wizards.shown, 2, kPhoneLimit);
    }

    void theProgramEndsWhileTheWizardIsOpen() {
        test::SimulatedPhone phone;
        WizardWatch wizards;
        {
            CtarnelDlg window({.pollInterval = kPoll});
            wizards.endOnWizard = &window;
            QSignalSpy finished(&window, &QDialog::finished);
            window.StartUp();
            QTRY_COMPARE_WITH_TIMEOUT(wizards.shown, 1, kPhoneLimit);
            QTRY_COMPARE(finished.count(), 1);
            wizards.endOnWizard = nullptr;
        }
        // The window is gone, its monitor joined: nothing is left to run a wizard.
        QTest::qWait(3 * kPoll.count());
        QCOMPARE(wizards.shown, 1);
    }
};

}  // namespace

int main(int argc, char** argv) {
    return test::RunClientTests<MonitorTest>(argc, argv);
}

#include "monitor_e2e_test.moc"
