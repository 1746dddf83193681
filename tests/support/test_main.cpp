#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTextCodec>

// Every test executable runs on a Qt core application, like the programs under test.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (!qEnvironmentVariableIsSet("VNQ_SOURCE_DIR"))
        qputenv("VNQ_SOURCE_DIR", VNQ_TEST_SOURCE_DIR);
    if (!qEnvironmentVariableIsSet("VNQ_BUILD_DIR"))
        qputenv("VNQ_BUILD_DIR", VNQ_TEST_BUILD_DIR);
    QCoreApplication app(argc, argv);
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
    return RUN_ALL_TESTS();
}
