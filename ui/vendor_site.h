#pragma once

#include <QString>
#include <QUrl>

namespace tarnel {

inline const QString kDefaultVendorHost = QStringLiteral("www.tarnel.com");

// The vendor's web host: key "webhost" of section "URL" in Update.ini in the program folder, an
// optional port after a colon. A missing file, key or unusable value gives the default host.
QString VendorHost();

// A plain-HTTP address on the vendor's host, for a path with an optional query ("/tnapi/pchtml?4").
QUrl VendorAddress(const QString& pathAndQuery);

}  // namespace tarnel
