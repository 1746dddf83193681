#include "messagecapture.h"
#include "mydebug.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

struct LineCase {
    const char* name;
    std::function<void(MyDebug&)> parts;
    QString expectedBuffer;
};

void PrintTo(const LineCase& c, std::ostream* os)
{
    *os << c.name;
}

class MyDebugLines : public ::testing::TestWithParam<LineCase> {};

TEST_P(MyDebugLines, BuildsTheExactLineAndQtMessage)
{
    const LineCase& c = GetParam();
    vnq::test::MessageCapture capture;
    QString buffer;
    {
        MyDebug line;
        line << "<IFO>";
        c.parts(line);
        buffer = line.buffer();
    }
    EXPECT_EQ(buffer, c.expectedBuffer);
    ASSERT_EQ(capture.messages().size(), 1);
    EXPECT_EQ(capture.messages().first(), QLatin1Char('"') + c.expectedBuffer + QLatin1String("\" "));
}

INSTANTIATE_TEST_SUITE_P(
    Parts, MyDebugLines,
    ::testing::Values(
        LineCase{"NoParts", [](MyDebug&) {}, QStringLiteral(" <IFO>")},
        LineCase{"EmptyQString", [](MyDebug& d) { d << QString(); }, QStringLiteral(" <IFO> \"\"")},
        LineCase{"QuoteNotEscaped", [](MyDebug& d) { d << QStringLiteral("a\"b"); },
                 QStringLiteral(" <IFO> \"a\"b\"")},
        LineCase{"NegativeInt", [](MyDebug& d) { d << -1; }, QStringLiteral(" <IFO> -1")},
        LineCase{"LargestUnsigned", [](MyDebug& d) { d << 4294967295u; },
                 QStringLiteral(" <IFO> 4294967295")},
        LineCase{"JapaneseTextAndQString",
                 [](MyDebug& d) { d << "アプリ:" << QStringLiteral("未設定"); },
                 QStringLiteral(" <IFO> アプリ: \"未設定\"")},
        LineCase{"FullSiteShape",
                 [](MyDebug& d) { d << "void* self_watcher(void*)" << "[" << 31 << "]:" << "アプリフリーズ？:" << 7 << 7; },
                 QStringLiteral(" <IFO> void* self_watcher(void*) [ 31 ]: アプリフリーズ？: 7 7")}),
    [](const ::testing::TestParamInfo<LineCase>& info) { return std::string(info.param.name); });

TEST(MyDebug, PrettyFunctionNamesTheSignature)
{
    struct Probe {
        static QString line()
        {
            MyDebug d;
            d << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:";
            return d.buffer();
        }
    };
    vnq::test::MessageCapture capture;
    const QString line = Probe::line();
    EXPECT_TRUE(line.startsWith(QStringLiteral(" <ERR> static QString")));
    EXPECT_TRUE(line.contains(QStringLiteral("Probe::line()")));
}

}  // namespace
