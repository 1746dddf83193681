#include "httplogmask.h"

#include <gtest/gtest.h>

namespace {

TEST(LogMask, SecretsInBodiesAreHidden)
{
    const struct {
        const char* name;
        QString body;
        QString masked;
    } cases[] = {
        {"SOAP token",
         QStringLiteral("<soap:Body><PutStampRaw xmlns=\"u\"><token>0123abcd</token><client_unique_key>K</client_unique_key>"),
         QStringLiteral("<soap:Body><PutStampRaw xmlns=\"u\"><token>****</token><client_unique_key>K</client_unique_key>")},
        {"token seed", QStringLiteral("<result>0</result><seed>9f86d081884c7d65</seed>"),
         QStringLiteral("<result>0</result><seed>****</seed>")},
        {"prefixed token element", QStringLiteral("<ns1:token a=\"1\">x</ns1:token>"),
         QStringLiteral("<ns1:token a=\"1\">****</ns1:token>")},
        {"JSON token", QStringLiteral("{\"client_key\":\"K\",\"token\" : \"ab\\\"cd\",\"n\":1}"),
         QStringLiteral("{\"client_key\":\"K\",\"token\" : \"****\",\"n\":1}")},
        {"XML password pair",
         QStringLiteral("<VantroSetting><name>admin_password</name><value>123456</value></VantroSetting>"
                        "<VantroSetting><name>volume</name><value>3</value></VantroSetting>"),
         QStringLiteral("<VantroSetting><name>admin_password</name><value>****</value></VantroSetting>"
                        "<VantroSetting><name>volume</name><value>3</value></VantroSetting>")},
        {"JSON password object",
         QStringLiteral("[{\"key\":\"admin_password\",\"value\":\"123456\",\"update_time\":\"20240101\" },"
                        "{\"key\":\"volume\",\"value\":\"3\" }]"),
         QStringLiteral("[{\"key\":\"admin_password\",\"value\":\"****\",\"update_time\":\"20240101\" },"
                        "{\"key\":\"volume\",\"value\":\"3\" }]")},
        {"nothing secret", QStringLiteral("<tokens>1</tokens>{\"tokenizer\":\"x\"}"),
         QStringLiteral("<tokens>1</tokens>{\"tokenizer\":\"x\"}")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(logmask::maskBody(c.body).toStdString(), c.masked.toStdString()) << c.name;
    EXPECT_EQ(logmask::maskSecret(QStringLiteral("pzorbitHx4n7dRw")), QStringLiteral("****(15)"));
}

TEST(LogMask, BodiesAreMaskedThenMadeOneLine)
{
    EXPECT_EQ(logmask::bodyForLog(QStringLiteral("<token>t</token>\n")), QStringLiteral("<token>****</token>\\n"));
    const QString big = QStringLiteral("<token>secret</token>") + QString(1048576, QLatin1Char('x'));
    const QString line = logmask::bodyForLog(big);
    EXPECT_LE(line.size(), 512);
    EXPECT_TRUE(line.startsWith(QStringLiteral("<token>****</token>xxx")));
    EXPECT_TRUE(line.endsWith(QStringLiteral(" bytes)")));
}

}  // namespace
