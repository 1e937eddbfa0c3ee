// The chooser the installer window shows when several phones are attached, offscreen.
#include <QApplication>
#include <QTimer>

#include "installer/app/phone_chooser_dlg.h"
#include "tests/installer_app/window_test_support.h"
#include "ui/login_button.h"
#include "ui/owner_draw_static.h"

using namespace tarnel;

namespace {

std::vector<AttachedPhone> Phones(int count) {
    std::vector<AttachedPhone> phones;
    for (int i = 0; i < count; ++i)
        phones.push_back({"SER" + std::to_string(i), "device", "Model_" + std::to_string(i), ""});
    return phones;
}

}  // namespace

class PhoneChooserTest : public QObject {
    Q_OBJECT

  private slots:
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
};

int main(int argc, char** argv) {
    return test::RunWindowTests<PhoneChooserTest>(argc, argv);
}

#include "phone_chooser_test.moc"
