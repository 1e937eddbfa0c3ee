// The chooser the installer window shows when several phones are attached, offscreen.
#include <QApplication>
#include <QTimer>

#include "installer/app/phone_chooser_dlg.h"
#include "installer/app/tarnel_install_dlg.h"
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

template <class T>
T* Child(QWidget& parent, const QString& name) {
    T* child = parent.findChild<T*>(name);
    if (child == nullptr)
        qWarning("no control %s", qPrintable(name));
    return child;
}

}  // namespace

class PhoneChooserTest : public QObject {
    Q_OBJECT

  private slots:
    void listsEachPhoneWithTheLastChoiceFirst() {
        CPhoneChooserDlg chooser(nullptr, Phones(2), "SER1");
        chooser.show();
        QCOMPARE(chooser.size(), QSize(437, 195));
        QCOMPARE(Child<COwerDrawStatic>(chooser, "phone0Label")->Text(),
                 QStringLiteral("Model 0 (SER0)"));
        QVERIFY(Child<CLoginButton>(chooser, "phone1Radio")->isChecked());
        QVERIFY(!Child<CLoginButton>(chooser, "phone0Radio")->isChecked());
        QCOMPARE(chooser.ChosenSerial(), "SER1");
        QTest::mouseClick(Child<COwerDrawStatic>(chooser, "phone0Label"), Qt::LeftButton);
        QVERIFY(Child<CLoginButton>(chooser, "phone0Radio")->isChecked());
        QCOMPARE(chooser.ChosenSerial(), "SER0");
        // More phones make it taller; without a known last choice it starts on the first.
        CPhoneChooserDlg four(nullptr, Phones(4), "gone");
        four.show();
        QCOMPARE(four.height(), 195 + 2 * 26);
        QCOMPARE(four.ChosenSerial(), "SER0");
        QVERIFY(Child<COwerDrawStatic>(four, "phone3Label")->geometry().bottom() <
                Child<CLoginButton>(four, "okButton")->geometry().top());
    }

    // The window's own chooser: a click on the second phone and OK give its serial, Cancel none.
    void theWindowAsksWithIt() {
        CtarnelInstallDlg window;
        test::StartWindow(window);
        const auto answer = [](const char* row, const char* button) {
            QTimer::singleShot(0, [row, button] {
                auto* chooser = qobject_cast<CPhoneChooserDlg*>(QApplication::activeModalWidget());
                QVERIFY(chooser != nullptr);
                if (*row != '\0')
                    QTest::mouseClick(Child<COwerDrawStatic>(*chooser, row), Qt::LeftButton);
                QTest::mouseClick(Child<CLoginButton>(*chooser, button), Qt::LeftButton);
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
