#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTextCodec>

// Every test executable runs on a Qt core application, like the programs under test.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
    return RUN_ALL_TESTS();
}
