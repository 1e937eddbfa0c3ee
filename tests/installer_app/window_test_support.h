#pragma once

#include <QApplication>
#include <QImage>
#include <QList>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <string>

#include "tests/apk/apk_builder.h"
#include "tests/support/test_home.h"
#include "ui/web_browser.h"

namespace tarnel {
class CtarnelInstallDlg;
}

namespace tarnel::test {

// The installer window's home: a vendor host on a closed loopback port, no adb.
struct WindowTestHome : TestHome {
    WindowTestHome() : TestHome("webhost=127.0.0.1:9\n") {}
};

// Runs a QTest class the way tarnelInstall runs its window.
template <class Tests>
int RunWindowTests(int argc, char** argv) {
    const WindowTestHome home;
    PrepareWebViews();
    QApplication application(argc, argv);
    Tests tests;
    return QTest::qExec(&tests, argc, argv);
}

// Answers every message box that opens while it lives, pressing `press` (or the box's only
// button), and writes down what each box said.
class BoxAnswerer : public QObject {
  public:
    struct Box {
        QString caption;
        QString text;
        QMessageBox::StandardButtons buttons;
    };

    explicit BoxAnswerer(QMessageBox::StandardButton press = QMessageBox::Ok);

    QList<Box> boxes;
    QMessageBox::StandardButton press;

  private:
    void AnswerOpenBoxes();

    QTimer poll_;
};

// A window started as tarnelInstall starts it, with path on its command line.
void StartWindow(CtarnelInstallDlg& window, const std::filesystem::path& path = {});
// Waits until the package last opened has been loaded.
bool WaitUntilLoaded(const CtarnelInstallDlg& window);

// An APK built with aapt: package com.example.<stem>, the label, two permissions, an icon.
std::filesystem::path BuildTestApk(const std::filesystem::path& folder, const std::string& stem,
                                   const std::string& label, const std::string& version = "1.0");

// Windows started while it lives run the real adb (and find the SimulatedPhone made after it).
struct UseRealAdb {
    UseRealAdb();
    ~UseRealAdb();
};

// What a control shows, as drawn in its window.
QImage Look(QWidget* control);

}  // namespace tarnel::test
