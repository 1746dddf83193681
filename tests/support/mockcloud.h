#pragma once

#include "mockhttpserver.h"
#include "mockjsonservice.h"
#include "mocksoapservice.h"
#include "tempboardroot.h"
#include "testca.h"

#include <QString>

#include <memory>

namespace vnq::test {

// The SOAP and JSON services over TLS on loopback, with a fresh CA that the board root trusts
// and the board's cloud.param and merid.param pointing at them. Build it before a client reads
// its parameter file.
class MockCloud {
public:
    explicit MockCloud(const TempBoardRoot& board, const QString& clientKeyLine = QString(),
                       const QString& cloudKeyLine = QString())
    {
        MockServerOptions options;
        options.tls = true;
        options.leaf = ca.validLeaf();
        server = std::make_unique<MockHttpServer>(options);
        service = std::make_unique<MockSoapService>(server.get());
        json = std::make_unique<MockJsonService>(server.get());
        board.writeFile(QStringLiteral("/VnQo/etc/ssl/cloud-ca.pem"), ca.caPem());
        board.writeFile(QStringLiteral("/VnQo/var/cloud.param"),
                        (service->serviceUrl() + QLatin1Char('\n') + clientKeyLine + QLatin1Char('\n') + cloudKeyLine
                         + QLatin1Char('\n'))
                            .toUtf8());
        board.writeFile(QStringLiteral("/VnQo/var/merid.param"),
                        (json->serviceUrl() + QLatin1Char('\n') + clientKeyLine + QLatin1Char('\n')).toUtf8());
    }

    TestCa ca;
    std::unique_ptr<MockHttpServer> server;
    std::unique_ptr<MockSoapService> service;
    std::unique_ptr<MockJsonService> json;
};

}  // namespace vnq::test
