#include "httptlsconfig.h"

#include "platform/boardroot.h"

#include <QFile>
#include <QSslCertificate>

namespace tlsconfig {

namespace {

QList<QSslCertificate> boardCertificates()
{
    if (vnq::boardRoot().isEmpty())
        return {};
    QFile file(vnq::boardPath(QString::fromLatin1(boardCaFile)));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QSslCertificate::fromData(file.readAll(), QSsl::Pem);
}

}  // namespace

QSslConfiguration cloud()
{
    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    config.setProtocol(QSsl::TlsV1_2OrLater);
    config.setPeerVerifyMode(QSslSocket::VerifyPeer);
    const QList<QSslCertificate> extra = boardCertificates();
    if (!extra.isEmpty()) {
        // Setting a list ends Qt's on-demand loading of the system store, so name it whole.
        static const QList<QSslCertificate> system = QSslConfiguration::systemCaCertificates();
        config.setCaCertificates(system + extra);
    }
    return config;
}

}  // namespace tlsconfig
