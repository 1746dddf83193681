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
        {"XML value before its name",
         QStringLiteral("<S><value>4242</value><name>admin_password</name></S><S><name>volume</name><value>3</value></S>"),
         QStringLiteral("<S><value>****</value><name>admin_password</name></S><S><name>volume</name><value>3</value></S>")},
        {"XML value paired across groups",
         QStringLiteral("<S><value>4242</value></S><S><name>admin_password</name></S>"),
         QStringLiteral("<S><value>****</value></S><S><name>admin_password</name></S>")},
        {"XML value in CDATA",
         QStringLiteral("<name>admin_password</name><value><![CDATA[4242]]></value>"),
         QStringLiteral("<name>admin_password</name><value>****</value>")},
        {"XML comment between name and value",
         QStringLiteral("<name>admin_password</name><!-- <value>1</value> --><value>4<!--x-->242</value>"),
         QStringLiteral("<name>admin_password</name><!-- <value>1</value> --><value>****</value>")},
        {"XML name with a character reference",
         QStringLiteral("<name>admin&#95;password</name><value>4242</value>"),
         QStringLiteral("<name>admin&#95;password</name><value>****</value>")},
        {"XML value that is no number pairs with nothing",
         QStringLiteral("<value>abc</value><name>admin_password</name><value>4242</value>"),
         QStringLiteral("<value>****</value><name>admin_password</name><value>****</value>")},
        {"seed in CDATA", QStringLiteral("<seed><![CDATA[9f86d081]]></seed>"), QStringLiteral("<seed>****</seed>")},
        {"cut token", QStringLiteral("<result>0</result><seed>9f86d0"), QStringLiteral("<result>0</result><seed>****")},
        {"JSON object between key and value",
         QStringLiteral("{\"key\":\"admin_password\",\"x\":{},\"value\":4242}"),
         QStringLiteral("{\"key\":\"admin_password\",\"x\":{},\"value\":\"****\"}")},
        {"JSON value before key",
         QStringLiteral("[{\"value\":[4242],\"key\":\"admin_password\"}]"),
         QStringLiteral("[{\"value\":\"****\",\"key\":\"admin_password\"}]")},
        {"JSON escaped key",
         QStringLiteral("{\"key\":\"\\u0061dmin_password\",\"value\":4242}"),
         QStringLiteral("{\"key\":\"\\u0061dmin_password\",\"value\":\"****\"}")},
        {"JSON escaped token name",
         QStringLiteral("{\"result\":0,\"\\u0074oken\":\"abcdef\"}"),
         QStringLiteral("{\"result\":0,\"\\u0074oken\":\"****\"}")},
        {"JSON token as a number", QStringLiteral("{\"token\":12345678}"), QStringLiteral("{\"token\":\"****\"}")},
        {"JSON token unterminated", QStringLiteral("{\"token\":\"abcdef"), QStringLiteral("{\"token\":\"****\"")},
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
