#include "ui/vendor_site.h"

// Values are kept as the UTF-8 bytes of the file.
#define SI_NO_CONVERSION
#include <SimpleIni.h>

#include <QFile>

#include "ui/skin_folder.h"

namespace tarnel {
namespace {

bool UsableHost(const QString& host) {
    QUrl probe;
    probe.setScheme(QStringLiteral("http"));
    probe.setAuthority(host, QUrl::StrictMode);
    return probe.isValid() && !probe.host().isEmpty() && probe.userInfo().isEmpty() &&
           probe.authority() == host.toLower();
}

}  // namespace

QString VendorHost() {
    CSimpleIniA ini;
    ini.SetUnicode(true);
    const QString file = ProgramFile(QStringLiteral("Update.ini"));
    if (file.isEmpty() || ini.LoadFile(QFile::encodeName(file).constData()) < 0) {
        return kDefaultVendorHost;
    }
    const QString host = QString::fromUtf8(ini.GetValue("URL", "webhost", "")).trimmed();
    return UsableHost(host) ? host.toLower() : kDefaultVendorHost;
}

QUrl VendorAddress(const QString& pathAndQuery) {
    QUrl address;
    address.setScheme(QStringLiteral("http"));
    address.setAuthority(VendorHost());
    const qsizetype query = pathAndQuery.indexOf(u'?');
    address.setPath(pathAndQuery.left(query));
    if (query >= 0) {
        address.setQuery(pathAndQuery.mid(query + 1));
    }
    return address;
}

}  // namespace tarnel
