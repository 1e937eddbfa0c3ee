// The device page, the no-phone page, the connection wizard and the device monitor, offscreen;
// the wizard, the monitor and the screenshot through the real adb to the simulated phone.

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <fstream>

#include "bridge/device_bridge.h"
#include "client/app/conn_progress_dlg.h"
#include "client/app/my_phone_dlg.h"
#include "client/app/phone_no_conn_dlg.h"
#include "client/app/tarnel_dlg.h"
#include "client/core/screenshot_file.h"
#include "platform/tool_locator.h"
#include "tests/apk/apk_builder.h"
#include "tests/client_app/client_test_support.h"
#include "tests/support/phone_fixture.h"
#include "ui/ui.h"

namespace tarnel::test {

namespace {

constexpr double kGiB = 1024.0 * 1024 * 1024;

QString LabelText(const QWidget& page, int id) {
    const auto* label = page.findChild<COwerDrawStatic*>(QStringLiteral("label%1").arg(id));
    return label == nullptr ? QStringLiteral("<no label>") : label->Text();
}

bool LabelShown(const QWidget& page, int id) {
    const auto* label = page.findChild<COwerDrawStatic*>(QStringLiteral("label%1").arg(id));
    return label != nullptr && label->isVisibleTo(&page);
}

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

constexpr auto kPoll = std::chrono::milliseconds(200);
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

}  // namespace

class PhonePagesTest : public QObject {
    Q_OBJECT

  public:
    explicit PhonePagesTest(const ClientTestHome& home) : home_(home) {}

  private:
    std::filesystem::path InstallerLog() const { return home_.Folder() / "installer.log"; }

    const ClientTestHome& home_;

  private slots:
    // A stand-in tarnelInstall in the program folder that writes down its arguments: one line per
    // start, the argument count, a tab and the arguments. It replaces the home's link to /bin/true,
    // which writing through would overwrite.
    void initTestCase() {
        const std::filesystem::path installer = home_.ProgramFolder() / "tarnelInstall";
        std::filesystem::remove(installer);
        std::ofstream(installer) << "#!/bin/sh\nprintf '%s\\t%s\\n' \"$#\" \"$*\" >> '"
                                 << InstallerLog().string() << "'\n";
        std::filesystem::permissions(installer, std::filesystem::perms::owner_all);
    }

    // The facts in their labels, the space lines and bars from the page texts, the SD card's
    // lines and bar only with a card.
    void pageTextsAndBars() {
        DeviceBridge bridge(BridgeVariant::Client);
        DeviceInfo& facts = bridge.deviceInfo;
        facts.deviceType = "MI 8";
        facts.deviceName = "Xiaomi";
        facts.androidRelease = "android 9";
        facts.deviceDisplay = "1080x2248";
        facts.deviceCPUType = "arm64-v8a";
        facts.deviceCPUCount = "8";
        facts.dataSizeFree = facts.ramSizeFree = std::floor(1.5 * kGiB);
        facts.dataSizeTotal = facts.ramSizeTotal = std::floor(7.8 * kGiB);
        MyPhoneDlg page(&bridge, nullptr);
        for (const bool card : {true, false}) {
            facts.deviceRoot = card ? 1 : 0;
            facts.sdcardSizeTotal = facts.sdcardSizeFree = card ? 32 * kGiB : 0;
            page.RefreshDeviceFacts();
            for (const auto& [id, text] : {std::pair{1020, "MI 8"},
                                           {1021, "Xiaomi"},
                                           {1001, "android 9"},
                                           {1002, "1080x2248"},
                                           {1022, "arm64-v8a"},
                                           {1023, "8"},
                                           {1003, card ? "手机已root" : "手机未root"},
                                           {1008, "可用1.50GB，总共7.80GB"},
                                           {1010, "可用1.50GB，总共7.80GB"}}) {
                QCOMPARE(LabelText(page, id), QString::fromUtf8(text));
            }
            QCOMPARE(page.StorageBarWidth(), 87);
            QCOMPARE(page.RamBarWidth(), 87);
            for (const bool shown :
                 {page.HasSdCard(), LabelShown(page, 1012), LabelShown(page, 1039),
                  page.findChild<QWidget*>("sdBar")->isVisibleTo(&page)}) {
                QCOMPARE(shown, card);
            }
        }
    }

    void copyPutsAnImageOnTheClipboard() {
        const std::string png = SolidPng(40, 80, 30, 120, 200);
        std::ofstream(ScreenshotPath(), std::ios::binary) << png;
        DeviceBridge bridge(BridgeVariant::Client);
        MyPhoneDlg page(&bridge, nullptr);
        QStringList messages;
        page.SetMessageSink([&](const QString& text) { messages << text; });
        QGuiApplication::clipboard()->clear();
        page.CopyScreenshot();
        const QImage copied = QGuiApplication::clipboard()->image();
        QCOMPARE(copied.size(), QSize(40, 80));
        QCOMPARE(messages, QStringList{QStringLiteral("已经复制到剪贴板")});

        // Without a screenshot nothing happens.
        std::filesystem::remove(ScreenshotPath());
        page.CopyScreenshot();
        QCOMPARE(messages.size(), 1);
    }

    void dropOfThreeFilesStartsTheInstallerOnce() {
        const std::filesystem::path log = InstallerLog();
        std::filesystem::remove(log);
        DeviceBridge bridge(BridgeVariant::Client);
        MyPhoneDlg page(&bridge, nullptr);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/my games/first game.tpk")),
                      QUrl::fromLocalFile(QStringLiteral("/tmp/second.apk")),
                      QUrl::fromLocalFile(QStringLiteral("/tmp/third.tpk"))});
        // Qt hands a drop to the widget that took the drag's entry.
        QDragEnterEvent enter(QPoint(500, 200), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(&page, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(500, 200), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&page, &drop);
        QVERIFY(drop.isAccepted());
        QTRY_VERIFY(std::filesystem::exists(log));
        QTest::qWait(300);
        QCOMPARE(QString::fromStdString(ReadAll(log)),
                 QStringLiteral("1\t/tmp/my games/first game.tpk\n"));
    }

    void oneScreenshotWorkerAtATime() {
        SimulatedPhone phone;
        DeviceBridge bridge(BridgeVariant::Client);
        bridge.adbPath = FindTool("adb", "TARNEL_ADB");
        MyPhoneDlg page(&bridge, nullptr);
        QStringList messages;
        page.SetMessageSink([&](const QString& text) { messages << text; });
        QSignalSpy finished(&page, &MyPhoneDlg::screenshotFinished);
        page.RefreshScreenshot();
        page.RefreshScreenshot();
        QVERIFY(page.ScreenshotRunning());
        QVERIFY(finished.wait(20000));
        QTest::qWait(300);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.front().front().toBool(), true);
        QVERIFY(page.HasScreenshot());
        QVERIFY(messages.isEmpty());
    }

    void closingTheWizardEarlyLeavesItsWorkerRunning() {
        const std::filesystem::path folder = FreshTestFolder("early-close");
        ApkContents companion;
        companion.packageName = "com.kestrum.player";
        companion.versionName = "2.2.0";
        BuildApk(companion, folder / "tarnel.apk");
        SimulatedPhone phone(Scenario{{"companionDelayMs", 1500}, {"model", "Pixel 4a"}});
        CtarnelDlg window;
        window.Bridge()->adbPath = FindTool("adb", "TARNEL_ADB");
        CPhoneNoConnDlg* noPhone = window.NoPhonePage();
        noPhone->SetWizardSettings({folder / "tarnel.apk", std::chrono::milliseconds(300), 6});
        QTimer::singleShot(200, [] {
            for (QWidget* top : QApplication::topLevelWidgets()) {
                if (qobject_cast<CConnProgressDlg*>(top) != nullptr && top->isVisible())
                    top->findChild<CLoginButton*>(QStringLiteral("wizardCloseButton"))->click();
            }
        });
        noPhone->ConnectFromPage();
        // The wizard is gone; the phone is not ready yet, and becomes ready without it.
        QVERIFY(!window.PhonePage()->isVisibleTo(&window));
        QVERIFY(noPhone->findChild<QWidget*>(QStringLiteral("connectButton"))->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(window.PhonePage()->isVisibleTo(&window), 20000);
        QCOMPARE(LabelText(*window.PhonePage(), 1020), QStringLiteral("Pixel 4a"));
        std::filesystem::remove_all(folder);
    }

    void theShownNoPhonePageHintsAtAnUnauthorizedPhone() {
        SimulatedPhone phone(Scenario{{"refuseHandshake", true}});
        CtarnelDlg window;
        window.Bridge()->adbPath = FindTool("adb", "TARNEL_ADB");
        QSignalSpy checked(window.NoPhonePage(), &CPhoneNoConnDlg::phoneStateChecked);
        window.show();
        QVERIFY(checked.wait(10000));
        QCOMPARE(window.NoPhonePage()->HintText(), QStringLiteral("请在手机上允许USB调试"));
    }

    // The monitor in the running window: a phone attached runs the wizard once, a phone gone shows
    // the no-phone page, a phone back runs the wizard again. Which of several phones is shown is
    // the follower's table (tests/client_core).
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

}  // namespace tarnel::test

int main(int argc, char** argv) {
    // The real adb, which the window tests' home otherwise replaces by none.
    setenv("TARNEL_ADB", tarnel::FindTool("adb", "TARNEL_ADB").c_str(), 1);
    return tarnel::test::RunClientTests<tarnel::test::PhonePagesTest>(argc, argv);
}

#include "phone_pages_test.moc"
