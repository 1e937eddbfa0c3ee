#pragma once

#include <QRgb>
#include <QString>
#include <QWebEngineView>

namespace tarnel {

// Call before the QApplication is made in a program that shows web views.
void PrepareWebViews();

class SilentPage;

// A web view that looks like part of the window: no border, no scroll bars, no context menu,
// and when silent no script dialogs. A page that cannot be reached shows nothing, not the
// browser's error page.
class CWebBrowser2 : public QWebEngineView {
    Q_OBJECT

  public:
    explicit CWebBrowser2(QWidget* parent = nullptr);

    void put_Silent(bool silent);
    void Navigate2(const QString& address);
    // Silent, then "about:blank " and the vendor page at once, as every host does.
    void ShowVendorPage(const QString& pathAndQuery);
    // What shows while nothing is loaded, or when the page could not be reached.
    void SetBackgroundColour(QRgb colour);

  private:
    SilentPage* page_;
};

}  // namespace tarnel
