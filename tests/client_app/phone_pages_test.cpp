// The device page, the no-phone page and the connection wizard, offscreen; the wizard and the
// screenshot through the real adb to the simulated phone.

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
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

PreparationSettings QuickSettings() {
    return {std::filesystem::path(qgetenv("TARNEL_HOME").toStdString()) / "tarnel.apk",
            std::chrono::milliseconds(100), 6};
}

}  // namespace

class PhonePagesTest : public QObject {
    Q_OBJECT

  public:
    explicit PhonePagesTest(const ClientTestHome& home) : home_(home) {}

  private slots:
    void initTestCase();
    void pageTextsAndBars_data();
    void pageTextsAndBars();
    void copyPutsAnImageOnTheClipboard();
    void dropOfThreeFilesStartsTheInstallerOnce();
    void wizardArrowPositions();
    void wizardFromThePageShowsTheSimulatedPhone();
    void wizardWithoutAReadyPhoneLeavesThePage_data();
    void wizardWithoutAReadyPhoneLeavesThePage();
    void oneScreenshotWorkerAtATime();
    void closingTheWizardEarlyLeavesItsWorkerRunning();
    void theShownNoPhonePageHintsAtAnUnauthorizedPhone();

  private:
    std::filesystem::path InstallerLog() const { return home_.Folder() / "installer.log"; }

    const ClientTestHome& home_;
};

// A stand-in tarnelInstall in the program folder that writes down its arguments: one line per
// start, the argument count, a tab and the arguments.
void PhonePagesTest::initTestCase() {
    const std::filesystem::path installer = home_.Folder() / "home" / "tarnelInstall";
    std::ofstream(installer) << "#!/bin/sh\nprintf '%s\\t%s\\n' \"$#\" \"$*\" >> '"
                             << InstallerLog().string() << "'\n";
    std::filesystem::permissions(installer, std::filesystem::perms::owner_all);
}

void PhonePagesTest::pageTextsAndBars_data() {
    QTest::addColumn<double>("free");
    QTest::addColumn<double>("total");
    QTest::addColumn<double>("sdTotal");
    QTest::addColumn<int>("root");
    QTest::addColumn<QString>("storageText");
    QTest::addColumn<int>("storageBar");
    QTest::addColumn<bool>("sdShown");
    QTest::addColumn<QString>("rootText");
    QTest::newRow("example") << std::floor(1.5 * kGiB) << std::floor(7.8 * kGiB) << 32 * kGiB << 1
                             << "可用1.50GB，总共7.80GB" << 87 << true << "手机已root";
    QTest::newRow("totals of 0") << 0.0 << 0.0 << 0.0 << 0 << "可用0.00GB，总共0.00GB" << 0 << false
                                 << "手机未root";
    QTest::newRow("full") << 4 * kGiB << 4 * kGiB << 0.0 << 2 << "可用4.00GB，总共4.00GB" << 455
                          << false << "手机未root";
}

void PhonePagesTest::pageTextsAndBars() {
    QFETCH(double, free);
    QFETCH(double, total);
    QFETCH(double, sdTotal);
    QFETCH(int, root);
    DeviceBridge bridge(BridgeVariant::Client);
    bridge.deviceInfo.deviceType = "MI 8";
    bridge.deviceInfo.deviceName = "Xiaomi";
    bridge.deviceInfo.androidRelease = "android 9";
    bridge.deviceInfo.deviceDisplay = "1080x2248";
    bridge.deviceInfo.deviceCPUType = "arm64-v8a";
    bridge.deviceInfo.deviceCPUCount = "8";
    bridge.deviceInfo.deviceRoot = root;
    bridge.deviceInfo.dataSizeFree = free;
    bridge.deviceInfo.dataSizeTotal = total;
    bridge.deviceInfo.ramSizeFree = free;
    bridge.deviceInfo.ramSizeTotal = total;
    bridge.deviceInfo.sdcardSizeTotal = sdTotal;
    bridge.deviceInfo.sdcardSizeFree = sdTotal / 2;
    MyPhoneDlg page(&bridge, nullptr);
    page.RefreshDeviceFacts();
    QCOMPARE(LabelText(page, 1020), QStringLiteral("MI 8"));
    QCOMPARE(LabelText(page, 1021), QStringLiteral("Xiaomi"));
    QCOMPARE(LabelText(page, 1001), QStringLiteral("android 9"));
    QCOMPARE(LabelText(page, 1002), QStringLiteral("1080x2248"));
    QCOMPARE(LabelText(page, 1022), QStringLiteral("arm64-v8a"));
    QCOMPARE(LabelText(page, 1023), QStringLiteral("8"));
    QTEST(LabelText(page, 1003), "rootText");
    QTEST(LabelText(page, 1008), "storageText");
    QTEST(LabelText(page, 1010), "storageText");
    QTEST(page.StorageBarWidth(), "storageBar");
    QTEST(page.RamBarWidth(), "storageBar");
    QTEST(page.HasSdCard(), "sdShown");
    QTEST(LabelShown(page, 1012), "sdShown");
    QTEST(LabelShown(page, 1039), "sdShown");
    QTEST(page.findChild<QWidget*>(QStringLiteral("sdBar"))->isVisibleTo(&page), "sdShown");
    QCOMPARE(LabelText(page, 1030), QStringLiteral("设备型号："));
    // Painting with these bars must not fail.
    QVERIFY(!page.grab().isNull());
}

void PhonePagesTest::copyPutsAnImageOnTheClipboard() {
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

void PhonePagesTest::dropOfThreeFilesStartsTheInstallerOnce() {
    const std::filesystem::path log =
        std::filesystem::path(qgetenv("TARNEL_HOME").toStdString()).parent_path() / "installer.log";
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
    QDragEnterEvent enter(QPoint(500, 200), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
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

void PhonePagesTest::wizardArrowPositions() {
    QList<int> positions;
    for (int step = 0; step < 5; ++step)
        positions << CConnProgressDlg::ArrowX(step);
    QCOMPARE(positions, (QList<int>{125, 185, 245, 305, 125}));
    DeviceBridge bridge(BridgeVariant::Client);
    CConnProgressDlg wizard(bridge, nullptr, nullptr);
    QCOMPARE(wizard.AnimationStep(), 0);
    QCOMPARE(wizard.windowTitle(), QStringLiteral("连接向导"));
}

void PhonePagesTest::wizardFromThePageShowsTheSimulatedPhone() {
    SimulatedPhone phone(Scenario{{"model", "SM-G9650"}, {"brand", "samsung"}, {"root", true}});
    std::filesystem::remove(ScreenshotPath());
    CtarnelDlg window;
    window.Bridge()->adbPath = FindTool("adb", "TARNEL_ADB");
    CPhoneNoConnDlg* noPhone = window.NoPhonePage();
    noPhone->SetWizardSettings(QuickSettings());
    noPhone->ConnectFromPage();
    QVERIFY(window.PhonePage()->isVisibleTo(&window));
    QVERIFY(!noPhone->isVisibleTo(&window));
    QVERIFY(noPhone->WizardOpenedHere());
    QCOMPARE(LabelText(*window.PhonePage(), 1020), QStringLiteral("SM-G9650"));
    QCOMPARE(LabelText(*window.PhonePage(), 1021), QStringLiteral("samsung"));
    QCOMPARE(LabelText(*window.PhonePage(), 1003), QStringLiteral("手机已root"));
    QCOMPARE(LabelText(*window.PhonePage(), 1012), QStringLiteral("可用27.94GB，总共29.80GB"));
    QVERIFY(window.PhonePage()->HasScreenshot());
}

void PhonePagesTest::wizardWithoutAReadyPhoneLeavesThePage_data() {
    QTest::addColumn<bool>("plugged");
    QTest::addColumn<bool>("refuses");
    QTest::addColumn<QString>("hint");
    QTest::newRow("no phone") << false << false << QString();
    QTest::newRow("unauthorized") << true << true << QStringLiteral("请在手机上允许USB调试");
}

void PhonePagesTest::wizardWithoutAReadyPhoneLeavesThePage() {
    QFETCH(bool, plugged);
    QFETCH(bool, refuses);
    SimulatedPhone phone(Scenario{{"refuseHandshake", refuses}},
                         plugged ? PhonePresence::Plugged : PhonePresence::Unplugged);
    CtarnelDlg window;
    window.Bridge()->adbPath = FindTool("adb", "TARNEL_ADB");
    CPhoneNoConnDlg* noPhone = window.NoPhonePage();
    noPhone->SetWizardSettings(QuickSettings());
    noPhone->ConnectFromPage();
    QVERIFY(noPhone->isVisibleTo(&window));
    QVERIFY(!window.PhonePage()->isVisibleTo(&window));
    QVERIFY(!noPhone->WizardOpenedHere());
    QVERIFY(noPhone->findChild<QWidget*>(QStringLiteral("connectButton"))->isEnabled());
    QTEST(noPhone->HintText(), "hint");
}

void PhonePagesTest::oneScreenshotWorkerAtATime() {
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

void PhonePagesTest::closingTheWizardEarlyLeavesItsWorkerRunning() {
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

void PhonePagesTest::theShownNoPhonePageHintsAtAnUnauthorizedPhone() {
    SimulatedPhone phone(Scenario{{"refuseHandshake", true}});
    CtarnelDlg window;
    window.Bridge()->adbPath = FindTool("adb", "TARNEL_ADB");
    QSignalSpy checked(window.NoPhonePage(), &CPhoneNoConnDlg::phoneStateChecked);
    window.show();
    QVERIFY(checked.wait(10000));
    QCOMPARE(window.NoPhonePage()->HintText(), QStringLiteral("请在手机上允许USB调试"));
}

}  // namespace tarnel::test

int main(int argc, char** argv) {
    // The real adb, which the window tests' home otherwise replaces by none.
    setenv("TARNEL_ADB", tarnel::FindTool("adb", "TARNEL_ADB").c_str(), 1);
    return tarnel::test::RunClientTests<tarnel::test::PhonePagesTest>(argc, argv);
}

#include "phone_pages_test.moc"
