// The exit question and the settings dialog: layout, choices, what they write and when, and the
// close button that asks the question.
#include <QMenu>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTimer>

#include <filesystem>
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
#include "ui/owner_draw_static.h"

using namespace tarnel;

namespace {

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

void Click(QWidget& dialog, const QString& name) {
    QWidget* control = dialog.findChild<QWidget*>(name);
    QVERIFY2(control != nullptr, qPrintable(name));
    QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(4, 4));
}

bool Checked(QWidget& dialog, const char* name) {
    return dialog.findChild<CLoginButton*>(QString::fromLatin1(name))->isChecked();
}

class ClientDialogsTest : public QObject {
    Q_OBJECT

  public:
    explicit ClientDialogsTest(const test::ClientTestHome& home) : home_(home) {}

  private:
    const test::ClientTestHome& home_;

    // "-" when the key is not in the file.
    std::string Saved(const char* key) const {
        return IniProfile(home_.SettingsFile()).Read("SET", key, "-");
    }
    void Save(const std::string& text) const {
        std::filesystem::create_directories(home_.SettingsFile().parent_path());
        std::ofstream(home_.SettingsFile()) << text;
    }

    static void CheckPlaces(QWidget& dialog, const QList<std::pair<QString, QRect>>& places) {
        QCOMPARE(dialog.size(), QSize(437, 195));
        for (const auto& [name, place] : places) {
            QWidget* control = dialog.findChild<QWidget*>(name);
            QVERIFY2(control != nullptr, qPrintable(name));
            QCOMPARE(control->pos(), place.topLeft());
            if (qobject_cast<COwerDrawStatic*>(control) != nullptr) {
                QVERIFY2(control->width() >= place.width(), qPrintable(name));
            } else {
                QCOMPARE(control->size(), place.size());
                QCOMPARE(control->cursor().shape(),
                         name == "closeButton" ? Qt::ArrowCursor : Qt::PointingHandCursor);
            }
        }
    }

  private slots:
    void cleanup() {
        std::filesystem::remove(home_.SettingsFile());
        std::filesystem::remove_all(home_.DataHome());
        std::filesystem::remove_all(home_.ConfigHome() / "mimeapps.list");
    }

    void theExitQuestionIsLaidOut() {
        CExitAskDlg question(nullptr);
        question.show();
        QCOMPARE(question.windowTitle(), QStringLiteral("退出"));
        CheckPlaces(question, {{"title", {11, 4, 62, 17}},
                               {"question", {143, 45, 158, 17}},
                               {"minimiseRadio", {150, 81, 14, 14}},
                               {"minimiseLabel", {167, 77, 156, 17}},
                               {"recommended", {327, 77, 38, 17}},
                               {"exitRadio", {150, 114, 14, 14}},
                               {"exitLabel", {167, 110, 50, 17}},
                               {"askBox", {24, 170, 14, 14}},
                               {"askLabel", {45, 167, 50, 17}},
                               {"okButton", {337, 145, 80, 27}},
                               {"cancelButton", {237, 145, 80, 27}},
                               {"closeButton", {409, 0, 28, 28}}});
        QVERIFY(Checked(question, "minimiseRadio"));
        QVERIFY(!Checked(question, "exitRadio"));
        QVERIFY(!Checked(question, "askBox"));
    }

    void theExitQuestionAnswers_data() {
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<int>("choice");
        QTest::addColumn<QString>("askprompt");
        QTest::addColumn<QString>("exitapp");
        const QStringList none;
        QTest::newRow("OK: hide, this time only") << QStringList{"okButton"} << 1 << "-"
                                                  << "-";
        QTest::newRow("exit, this time only") << QStringList{"exitRadio", "okButton"} << 0 << "-"
                                              << "-";
        QTest::newRow("exit, never ask again")
            << QStringList{"exitRadio", "askBox", "okButton"} << 0 << "1"
            << "1";
        QTest::newRow("by the labels: hide, never ask again")
            << QStringList{"exitLabel", "minimiseLabel", "askLabel", "okButton"} << 1 << "1"
            << "0";
        QTest::newRow("the box ticked twice is not ticked")
            << QStringList{"askBox", "askLabel", "exitLabel", "okButton"} << 0 << "-"
            << "-";
        QTest::newRow("cancel") << QStringList{"exitRadio", "askBox", "cancelButton"} << -1 << "-"
                                << "-";
        QTest::newRow("close") << QStringList{"askBox", "closeButton"} << -1 << "-"
                               << "-";
        QTest::newRow("Escape") << QStringList{"exitRadio", "askBox", "Escape"} << -1 << "-"
                                << "-";
    }
    void theExitQuestionAnswers() {
        QFETCH(QStringList, clicks);
        QFETCH(int, choice);
        QFETCH(QString, askprompt);
        QFETCH(QString, exitapp);
        CExitAskDlg question(nullptr);
        WhenShown<CExitAskDlg>([clicks](CExitAskDlg& shown) {
            for (const QString& click : clicks) {
                if (click == "Escape") {
                    QTest::keyClick(&shown, Qt::Key_Escape);
                } else {
                    Click(shown, click);
                }
            }
        });
        question.exec();
        QCOMPARE(question.ExitChoice(), choice);
        QCOMPARE(QString::fromStdString(Saved("askprompt")), askprompt);
        QCOMPARE(QString::fromStdString(Saved("exitapp")), exitapp);
    }

    void theExitQuestionStartsFromTheSavedExitChoice() {
        Save("[SET]\nexitapp=1\n");
        CExitAskDlg question(nullptr);
        QVERIFY(Checked(question, "exitRadio"));
        QVERIFY(!Checked(question, "minimiseRadio"));
    }

    void theCloseButtonAsksAndActsOnTheAnswer_data() {
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<bool>("ended");
        QTest::addColumn<bool>("visible");
        QTest::newRow("hide") << QStringList{"okButton"} << false << false;
        QTest::newRow("exit") << QStringList{"exitRadio", "okButton"} << true << false;
        QTest::newRow("cancel") << QStringList{"exitRadio", "cancelButton"} << false << true;
    }
    void theCloseButtonAsksAndActsOnTheAnswer() {
        QFETCH(QStringList, clicks);
        QFETCH(bool, ended);
        QFETCH(bool, visible);
        Save("[SET]\naskprompt=2\n");  // anything but 1 asks
        CtarnelDlg window({.trayAvailable = [] { return true; }});
        window.StartUp();
        QSignalSpy finished(&window, &QDialog::finished);
        WhenShown<CExitAskDlg>([clicks](CExitAskDlg& shown) {
            for (const QString& click : clicks) {
                Click(shown, click);
            }
        });
        Click(window, "closeButton");
        QTRY_COMPARE(finished.count(), ended ? 1 : 0);
        QCOMPARE(window.isVisible(), visible);
        QCOMPARE(window.ExitChoice(), ended ? 0 : visible ? -1 : 1);
        // The icon is added whatever the answer.
        QVERIFY(window.TrayIconShown());
    }

    void theTopFortyPixelsDragTheDialogs_data() {
        QTest::addColumn<bool>("settings");
        QTest::addColumn<int>("y");
        QTest::addColumn<bool>("moves");
        QTest::newRow("exit question, last row of the band") << false << 39 << true;
        QTest::newRow("exit question, below the band") << false << 40 << false;
        QTest::newRow("settings, on the title") << true << 8 << true;
        QTest::newRow("settings, below the band") << true << 40 << false;
    }
    void theTopFortyPixelsDragTheDialogs() {
        QFETCH(bool, settings);
        QFETCH(int, y);
        QFETCH(bool, moves);
        std::unique_ptr<QDialog> dialog;
        if (settings) {
            dialog = std::make_unique<CSetDlg>(nullptr);
        } else {
            dialog = std::make_unique<CExitAskDlg>(nullptr);
        }
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        const QPoint before = dialog->pos();
        const QPoint at(200, y);
        QWidget* receiver = dialog->childAt(at) != nullptr ? dialog->childAt(at) : dialog.get();
        const QPoint local = receiver->mapFrom(dialog.get(), at);
        QTest::mousePress(receiver, Qt::LeftButton, {}, local);
        QTest::mouseMove(receiver, local + QPoint(30, 12));
        QTest::mouseRelease(receiver, Qt::LeftButton, {}, local + QPoint(30, 12));
        QCOMPARE(dialog->pos() != before, moves);
    }

    void theSettingsDialogIsLaidOut() {
        CSetDlg settings(nullptr);
        settings.show();
        QCOMPARE(settings.windowTitle(), QStringLiteral("设置"));
        CheckPlaces(settings, {{"title", {5, 4, 26, 17}},
                               {"associateBox", {74, 50, 14, 14}},
                               {"associateLabel", {90, 47, 130, 17}},
                               {"closeCaption", {74, 80, 110, 17}},
                               {"minimiseRadio", {74, 110, 14, 14}},
                               {"minimiseLabel", {90, 107, 180, 17}},
                               {"recommended", {275, 107, 38, 17}},
                               {"exitRadio", {74, 140, 14, 14}},
                               {"exitLabel", {90, 137, 50, 17}},
                               {"closeButton", {409, 0, 28, 28}}});
    }

    void theSettingsWriteTheExitChoiceAtEachClick() {
        CSetDlg settings(nullptr);
        settings.show();
        Click(settings, "minimiseRadio");
        QCOMPARE(Saved("exitapp"), "-");  // already chosen: nothing to write
        Click(settings, "exitLabel");
        QCOMPARE(Saved("exitapp"), "1");
        QVERIFY(Checked(settings, "exitRadio"));
        Click(settings, "minimiseLabel");
        QCOMPARE(Saved("exitapp"), "0");
        QCOMPARE(Saved("askprompt"), "-");
        Click(settings, "closeButton");
        QVERIFY(!settings.isVisible());
    }

    void theSettingsAssociateThePackages() {
        const AssociationFolders folders = AssociationFolders::FromEnvironment();
        {
            CSetDlg settings(nullptr);
            QVERIFY(!Checked(settings, "associateBox"));
            Click(settings, "associateLabel");
            QVERIFY(Checked(settings, "associateBox"));
            QVERIFY(IsAssociated(folders));
            // Unticking undoes nothing.
            Click(settings, "associateBox");
            QVERIFY(!Checked(settings, "associateBox"));
            QVERIFY(IsAssociated(folders));
        }
        CSetDlg again(nullptr);
        QVERIFY(Checked(again, "associateBox"));
    }

    void theSettingsMenuOpensTheSettings() {
        CtarnelDlg window;
        window.StartUp();
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
        Click(window, "settingsButton");
        QTRY_VERIFY(opened);
    }
};

}  // namespace

int main(int argc, char** argv) {
    return test::RunClientTests<ClientDialogsTest>(argc, argv);
}

#include "client_dialogs_test.moc"
