#include "ui/web_browser.h"

#include <QCoreApplication>
#include <QWebEnginePage>
#include <QWebEngineSettings>

#include <unistd.h>

#include "ui/vendor_site.h"

namespace tarnel {

// Script dialogs answer "no" without showing anything while silent.
class SilentPage : public QWebEnginePage {
  public:
    using QWebEnginePage::QWebEnginePage;

    bool silent = false;

  protected:
    void javaScriptAlert(const QUrl& origin, const QString& message) override {
        if (!silent) {
            QWebEnginePage::javaScriptAlert(origin, message);
        }
    }
    bool javaScriptConfirm(const QUrl& origin, const QString& message) override {
        return !silent && QWebEnginePage::javaScriptConfirm(origin, message);
    }
    bool javaScriptPrompt(const QUrl& origin, const QString& message, const QString& fallback,
                          QString* result) override {
        return !silent && QWebEnginePage::javaScriptPrompt(origin, message, fallback, result);
    }
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                  int line, const QString& source) override {
        if (!silent) {
            QWebEnginePage::javaScriptConsoleMessage(level, message, line, source);
        }
    }
};

void PrepareWebViews() {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // Chromium's sandbox cannot start for root; without it the browser process refuses to run.
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX")) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    }
}

CWebBrowser2::CWebBrowser2(QWidget* parent) : QWebEngineView(parent), page_(new SilentPage(this)) {
    QWebEngineSettings* settings = page_->settings();
    settings->setAttribute(QWebEngineSettings::ShowScrollBars, false);
    settings->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
    setPage(page_);
    setContextMenuPolicy(Qt::NoContextMenu);
}

void CWebBrowser2::put_Silent(bool silent) {
    page_->silent = silent;
}

void CWebBrowser2::Navigate2(const QString& address) {
    load(QUrl::fromUserInput(address));
}

void CWebBrowser2::ShowVendorPage(const QString& pathAndQuery) {
    put_Silent(true);
    Navigate2(QStringLiteral("about:blank "));
    Navigate2(VendorAddress(pathAndQuery).toString());
}

void CWebBrowser2::SetBackgroundColour(QRgb colour) {
    page_->setBackgroundColor(QColor(colour));
}

}  // namespace tarnel
