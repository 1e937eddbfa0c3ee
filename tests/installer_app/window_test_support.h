#pragma once

#include <QApplication>
#include <QTest>

#include <filesystem>
#include <string>

#include "installer/app/tarnel_install_dlg.h"
#include "tests/apk/apk_builder.h"
#include "tests/support/test_home.h"
#include "ui/web_browser.h"

namespace tarnel::test {

// Runs a QTest class the way tarnelInstall runs its window, in a home with a vendor host on a
// closed loopback port and no adb.
template <class Tests>
int RunWindowTests(int argc, char** argv) {
    const TestHome home("webhost=127.0.0.1:9\n");
    PrepareWebViews();
    QApplication application(argc, argv);
    Tests tests;
    return QTest::qExec(&tests, argc, argv);
}

// A window started as tarnelInstall starts it, with path on its command line.
inline void StartWindow(CtarnelInstallDlg& window, const std::filesystem::path& path = {}) {
    window.StartUp(path.string());
    QVERIFY(QTest::qWaitForWindowExposed(&window));
}

// An APK built with aapt: package com.example.<stem>, the label, two permissions, an icon.
inline std::filesystem::path BuildTestApk(const std::filesystem::path& folder,
                                          const std::string& stem, const std::string& label,
                                          const std::string& version = "1.0") {
    ApkContents contents;
    contents.packageName = "com.example." + stem;
    contents.label = label;
    contents.versionName = version;
    contents.permissions = {"android.permission.INTERNET", "android.permission.CAMERA"};
    BuildApk(contents, folder / (stem + ".apk"));
    return folder / (stem + ".apk");
}

}  // namespace tarnel::test
