// The installer window: what the user does with it (panel, location, keys, drops), what the
// flow's effects show, its chooser of several phones, and one installation by a click through the
// real adb and the simulated phone.
#include <QAbstractButton>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTimer>

#include <fstream>
#include <thread>

#include "installer/app/phone_chooser_dlg.h"
#include "installer/app/tarnel_install_dlg.h"
#include "installer/package/game_package_writer.h"
#include "installer/package/package_writer.h"
#include "platform/text_codec.h"
#include "tests/installer_app/window_test_support.h"
#include "tests/support/phone_fixture.h"
#include "ui/login_button.h"
#include "ui/my_progress_ctrl.h"
#include "ui/owner_draw_static.h"

using namespace tarnel;

namespace {

QWidget* Control(QWidget& window, const QString& name) {
    return window.findChild<QWidget*>(name);
}

QString TextOf(QWidget& window, const QString& name) {
    return window.findChild<COwerDrawStatic*>(name)->Text();
}

void Click(QWidget* control) {
    QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(5, 5));
}

std::vector<AttachedPhone> Phones(int count) {
    std::vector<AttachedPhone> phones;
    for (int i = 0; i < count; ++i)
        phones.push_back({"SER" + std::to_string(i), "device", "Model_" + std::to_string(i), ""});
    return phones;
}

// What a control shows, as drawn in its window.
QImage Look(QWidget* control) {
    return control->parentWidget()->grab(control->geometry()).toImage();
}

bool WaitUntilLoaded(const CtarnelInstallDlg& window) {
    return QTest::qWaitFor([&] { return window.State().loading == 0; }, 60000);
}

// Windows started while it lives run the real adb (and find the SimulatedPhone made after it).
struct UseRealAdb {
    UseRealAdb() { qputenv("TARNEL_ADB", "adb"); }
    ~UseRealAdb() { qputenv("TARNEL_ADB", "/nonexistent/adb"); }
};

// Answers every message box that opens while it lives, pressing `press` (or the box's only
// button), and writes down what each box said.
class BoxAnswerer {
  public:
    struct Box {
        QString caption, text;
        QMessageBox::StandardButtons buttons;
    };

    explicit BoxAnswerer(QMessageBox::StandardButton press) {
        QObject::connect(&poll_, &QTimer::timeout, [this, press] {
            for (QWidget* window : QApplication::topLevelWidgets()) {
                auto* box = qobject_cast<QMessageBox*>(window);
                if (box != nullptr && box->isVisible()) {
                    boxes.push_back({box->windowTitle(), box->text(), box->standardButtons()});
                    QAbstractButton* button = box->button(press);
                    (button != nullptr ? button : box->buttons().front())->click();
                }
            }
        });
        poll_.start(20);
    }

    QList<Box> boxes;

  private:
    QTimer poll_;
};

}  // namespace

class WindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir packages_;
    std::filesystem::path apk_;

    std::filesystem::path Package(const std::string& name) const {
        return std::filesystem::path(packages_.path().toStdString()) / name;
    }

  private slots:
    void initTestCase() {
        apk_ = test::BuildTestApk(Package(""), "facts", "星落传说", "2.5.1");
        std::optional<PackageWriter> bundle = PackageWriter::Create(Package("facts.xapk"));
        std::ifstream apk(apk_, std::ios::binary);
        bundle->AddFile("com.example.facts.apk",
                        std::string(std::istreambuf_iterator<char>(apk), {}));
        bundle->AddFile("main.obb", "obb");
        bundle->AddFile("manifest.json", R"({"package_name": "com.example.facts", "expansions":
            [{"file": "main.obb", "install_path": "Android/obb/com.example.facts/main.obb"}]})");
        QVERIFY(bundle->Finish());
        GamePackage game;
        game.manifest.packageName = "com.example.icon";
        game.manifest.appName = "图标游戏";
        game.manifest.versionName = "3.0";
        game.icon = test::SolidPng(96, 96, 200, 40, 30);
        QVERIFY(WriteGamePackage(Package("icon game.tpk"), game));
    }

    // Open, the panel grows the window downwards and moves what lies below it by as much.
    void thePermissionPanelGrowsTheWindowAndShrinksItBack_data() {
        QTest::addColumn<int>("presses");
        QTest::addColumn<QString>("target");
        QTest::newRow("closed") << 0 << "permissionToggle";
        QTest::newRow("opened by its label") << 1 << "permissionLabel";
        QTest::newRow("opened and closed") << 2 << "permissionToggle";
    }
    void thePermissionPanelGrowsTheWindowAndShrinksItBack() {
        QFETCH(int, presses);
        QFETCH(QString, target);
        CtarnelInstallDlg window;
        test::StartWindow(window);
        const QRect closed = window.geometry();
        // Without a package neither the toggle nor its label opens anything.
        Click(Control(window, target));
        QCOMPARE(window.geometry(), closed);
        window.OpenFromUser(apk_.string());
        QVERIFY(WaitUntilLoaded(window));
        const QPoint buttonAt = Control(window, "installButton")->pos();
        for (int i = 0; i < presses; ++i) {
            Click(Control(window, target));
        }
        const bool open = presses % 2 == 1;
        const int grown = window.height() - closed.height();
        QCOMPARE(grown > 0, open);
        QCOMPARE(window.geometry(), closed.adjusted(0, 0, 0, grown));
        QCOMPARE(Control(window, "installButton")->pos(), buttonAt + QPoint(0, grown));
        auto* edit = window.findChild<QPlainTextEdit*>("permissionText");
        QCOMPARE(edit->isVisible(), open);
        if (open) {
            // Both permissions of the APK, one a line, without the CR of the bridge's text.
            QCOMPARE(edit->toPlainText().split('\n').size(), 2);
            QVERIFY(!edit->toPlainText().contains('\r'));
        }
    }

    void theInstallLocationIsOneOfTwoBoxes_data() {
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<int>("toSdCard");
        QTest::newRow("at start") << QStringList{} << 1;
        QTest::newRow("memory box") << QStringList{"memoryBox"} << 0;
        QTest::newRow("memory, then sd card label")
            << QStringList{"memoryLabel", "sdCardLabel"} << 1;
        QTest::newRow("memory twice") << QStringList{"memoryBox", "memoryLabel"} << 0;
    }
    void theInstallLocationIsOneOfTwoBoxes() {
        QFETCH(QStringList, clicks);
        QFETCH(int, toSdCard);
        CtarnelInstallDlg window;
        test::StartWindow(window);
        QWidget* sdCard = Control(window, "sdCardBox");
        QWidget* memory = Control(window, "memoryBox");
        const QImage checked = Look(sdCard);
        const QImage unchecked = Look(memory);
        QVERIFY(checked != unchecked);
        for (const QString& name : clicks) {
            Click(Control(window, name));
        }
        QCOMPARE(window.State().installToSdCard, toSdCard);
        QCOMPARE(Look(sdCard), toSdCard == 1 ? checked : unchecked);
        QCOMPARE(Look(memory), toSdCard == 1 ? unchecked : checked);
    }

    // Enter, also on a focused button, leaves the window open; Escape closes it.
    void keys() {
        CtarnelInstallDlg window;
        test::StartWindow(window);
        QSignalSpy finished(&window, &QDialog::finished);
        QWidget* button = Control(window, "installButton");
        button->setFocus();
        QTest::keyClick(button, Qt::Key_Return);
        QVERIFY(window.isVisible());
        QTest::keyClick(button, Qt::Key_Escape);
        QCOMPARE(finished.count(), 1);
        QVERIFY(!window.isVisible());
    }

    // The window passes the first path on (what the package is, is the flow's); a game package's
    // icon is drawn 70 x 70 at (30, 60), whatever the picture's own size.
    void drops_data() {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("label");
        QTest::newRow("two packages: the first is opened")
            << QStringList{"facts.apk", "icon game.tpk"} << "星落传说";
        QTest::newRow("a game package with its icon") << QStringList{"icon game.tpk"} << "图标游戏";
    }
    void drops() {
        QFETCH(QStringList, files);
        QFETCH(QString, label);
        CtarnelInstallDlg window;
        test::StartWindow(window);
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& file : files) {
            urls.push_back(QUrl::fromLocalFile(packages_.filePath(file)));
        }
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(200, 150), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(&window, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(200, 150), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(&window, &drop);
        // The drop is taken at once; the package opens after it.
        QTRY_COMPARE_WITH_TIMEOUT(TextOf(window, "appLabel"), label, 60000);
        QCOMPARE(window.State().openedPath, urls[0].toLocalFile().toStdString());
        if (files[0].endsWith(".tpk")) {
            QVERIFY(WaitUntilLoaded(window));
            const QImage look = window.grab(QRect(30, 60, 72, 72)).toImage();
            QCOMPARE(QColor(look.pixel(3, 66)), QColor(200, 40, 30));
            QCOMPARE(QColor(look.pixel(71, 35)), QColor(Qt::white));
        }
    }

    // The flow's effects as the window shows them.
    void effects_data() {
        QTest::addColumn<QString>("effect");
        QTest::addColumn<int>("press");
        QTest::addColumn<QString>("shown");
        QTest::newRow("a short status") << "status 正在安装软件..." << 0 << "正在安装软件...";
        QTest::newRow("a status too long for its line")
            << "status " + QString(40, QChar(u'长')) << 0 << "…";
        QTest::newRow("a question answered OK") << "question" << int(QMessageBox::Ok) << "yes";
        QTest::newRow("a question cancelled") << "question" << int(QMessageBox::Cancel) << "no";
        QTest::newRow("progress") << "progress" << 0 << "";
        QTest::newRow("install done") << "done" << 0 << "";
    }
    void effects() {
        QFETCH(QString, effect);
        QFETCH(int, press);
        QFETCH(QString, shown);
        CtarnelInstallDlg window;
        test::StartWindow(window);
        const std::string text = NarrowText("手机未连接到电脑");
        BoxAnswerer answerer(static_cast<QMessageBox::StandardButton>(press));
        if (effect.startsWith("status ")) {
            const QString status = effect.mid(7);
            window.SetStatus(status.toStdString());
            QCOMPARE(TextOf(window, "status").endsWith(shown), true);
            QCOMPARE(Control(window, "status")->toolTip(), shown == status ? QString() : status);
        } else if (effect == "question") {
            // The flow's messages and boxes take the same way, with OK alone.
            QCOMPARE(window.AskQuestion(text, NarrowText("提示")), shown == "yes");
            QCOMPARE(answerer.boxes.size(), 1);
            QCOMPARE(answerer.boxes[0].caption, QStringLiteral("提示"));
            QCOMPARE(answerer.boxes[0].text, QStringLiteral("手机未连接到电脑"));
            QVERIFY(answerer.boxes[0].buttons.testFlag(QMessageBox::Cancel));
        } else if (effect == "progress") {
            auto* bar = window.findChild<CMyProgressCtrl*>("progress");
            QVERIFY(!bar->isVisible());
            window.SetProgress(100);
            QVERIFY(bar->isVisible());
            QCOMPARE(bar->FilledWidth(), bar->width());
            QVERIFY(bar->geometry().bottom() < Control(window, "status")->geometry().top());
            window.SetProgress(-1);
            QVERIFY(!bar->isVisible());
        } else {
            QWidget* button = Control(window, "installButton");
            const QImage installLook = Look(button);
            window.EnableInstallButton(false);
            QVERIFY(!button->isEnabled() && Look(button) != installLook);
            window.EnableInstallButton(true);
            window.ShowInstallDone(true);
            QVERIFY(Look(button) != installLook);
            window.ShowInstallDone(false);
            QCOMPARE(Look(button), installLook);
        }
    }

    // The start-up phone check and a bundle's summary share the status line, whichever comes
    // first: a ready phone leaves the summary, one that is not is named before it.
    void theStatusLineTellsOfBothPhoneAndBundle_data() {
        QTest::addColumn<bool>("ready");
        QTest::addColumn<bool>("phoneFirst");
        QTest::newRow("phone ready, checked first") << true << true;
        QTest::newRow("phone ready, checked last") << true << false;
        QTest::newRow("no phone, checked first") << false << true;
        QTest::newRow("no phone, checked last") << false << false;
    }
    void theStatusLineTellsOfBothPhoneAndBundle() {
        QFETCH(bool, ready);
        QFETCH(bool, phoneFirst);
        const test::SimulatedPhone phone(
            test::Scenario::object(),
            ready ? test::PhonePresence::Plugged : test::PhonePresence::Unplugged);
        // The real adb, answering once let go: the phone check's word comes first or last.
        const UseRealAdb adb;
        const QString gate = packages_.filePath("adb"), go = gate + ".go";
        QFile::remove(go);
        std::ofstream(gate.toStdString())
            << "#!/bin/sh\nuntil [ -e \"$0.go\" ]; do sleep 0.05; done\nexec adb \"$@\"\n";
        QFile::setPermissions(gate, QFile::ReadOwner | QFile::ExeOwner);
        qputenv("TARNEL_ADB", QFile::encodeName(gate));
        CtarnelInstallDlg window;
        if (phoneFirst)
            QFile(go).open(QIODevice::WriteOnly);
        test::StartWindow(window);
        QTRY_COMPARE_WITH_TIMEOUT(!window.State().startUpPhoneText.empty(), phoneFirst, 30000);
        window.OpenFromUser(Package("facts.xapk").string());
        QVERIFY(WaitUntilLoaded(window));
        QFile(go).open(QIODevice::WriteOnly);
        QTRY_VERIFY_WITH_TIMEOUT(!window.State().startUpPhoneText.empty(), 30000);
        const QString summary = QStringLiteral("安装包内有 1 个APK文件、1 个OBB文件");
        const QString phoneText = ready ? "手机已连接到电脑" : "请用数据线将手机连接到电脑";
        const QString whole = Control(window, "status")->toolTip();
        QCOMPARE(whole.isEmpty() ? TextOf(window, "status") : whole,
                 ready ? summary : phoneText + "。" + summary);
        // The next package has nothing to say: the summary goes, the phone's word is back.
        window.OpenFromUser(apk_.string());
        QVERIFY(WaitUntilLoaded(window));
        QCOMPARE(TextOf(window, "status"), phoneText);
    }

    // The last choice first, or the first phone; more phones make it taller, above its buttons.
    void listsEachPhoneWithTheLastChoiceFirst() {
        CPhoneChooserDlg chooser(nullptr, Phones(2), "SER1");
        chooser.show();
        QCOMPARE(chooser.findChild<COwerDrawStatic*>("phone0Label")->Text(),
                 QStringLiteral("Model 0 (SER0)"));
        QVERIFY(chooser.findChild<CLoginButton*>("phone1Radio")->isChecked());
        QVERIFY(!chooser.findChild<CLoginButton*>("phone0Radio")->isChecked());
        QCOMPARE(chooser.ChosenSerial(), "SER1");
        CPhoneChooserDlg four(nullptr, Phones(4), "gone");
        four.show();
        QVERIFY(four.height() > chooser.height());
        QCOMPARE(four.ChosenSerial(), "SER0");
        QVERIFY(four.findChild<QWidget*>("phone3Label")->geometry().bottom() <
                four.findChild<QWidget*>("okButton")->geometry().top());
    }

    // The window's own chooser: a click on the second phone's label and OK give its serial,
    // Cancel none.
    void theWindowAsksWithIt() {
        CtarnelInstallDlg window;
        test::StartWindow(window);
        const auto answer = [](const char* row, const char* button) {
            QTimer::singleShot(0, [row, button] {
                auto* chooser = qobject_cast<CPhoneChooserDlg*>(QApplication::activeModalWidget());
                QVERIFY(chooser != nullptr);
                if (*row != '\0')
                    QTest::mouseClick(chooser->findChild<QWidget*>(row), Qt::LeftButton);
                QTest::mouseClick(chooser->findChild<QWidget*>(button), Qt::LeftButton);
            });
        };
        answer("phone1Label", "okButton");
        QCOMPARE(window.ChoosePhone(Phones(3), "SER0"), std::optional<std::string>("SER1"));
        answer("", "cancelButton");
        QCOMPARE(window.ChoosePhone(Phones(3), "SER0"), std::nullopt);
    }

    void effectsPostedByWorkersRunOnTheWindowsThread() {
        CtarnelInstallDlg window;
        std::thread::id ranOn;
        std::thread worker([&] { window.Post([&] { ranOn = std::this_thread::get_id(); }); });
        worker.join();
        QTRY_VERIFY(ranOn == std::this_thread::get_id());
    }

    // The window passes the user's place on; the installation itself is the flow's (flow_e2e).
    void aClickInstallsTheGameInTheChosenPlace() {
        UseRealAdb adb;
        test::SimulatedPhone phone;
        CtarnelInstallDlg window;
        test::StartWindow(window, apk_);
        QVERIFY(WaitUntilLoaded(window));
        QTRY_COMPARE_WITH_TIMEOUT(TextOf(window, "status"), QStringLiteral("手机已连接到电脑"),
                                  30000);
        Click(Control(window, "memoryLabel"));
        Click(Control(window, "installButton"));
        QTRY_COMPARE_WITH_TIMEOUT(TextOf(window, "status"), QStringLiteral("已安装到手机"), 120000);
        QTRY_COMPARE(window.State().busy, 0);
        QVERIFY(std::filesystem::exists(phone.HostPath("/data/app/com.example.facts-1/base.apk")));
    }
};

int main(int argc, char** argv) {
    return test::RunWindowTests<WindowTest>(argc, argv);
}

#include "window_test.moc"
