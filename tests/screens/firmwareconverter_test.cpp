#include "firmwareconverter.h"

#include "messagecapture.h"
#include "tempboardroot.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QFile>

namespace {

// A deterministic image of n bytes.
QByteArray imageOf(int n)
{
    QByteArray bytes(n, '\0');
    quint32 state = 12345;
    for (char& b : bytes) {
        state = state * 1103515245u + 12345u;
        b = char(state >> 16);
    }
    return bytes;
}

class FirmwareConversion : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(board.makeDir(QStringLiteral("/VnQo/var/fwup"))); }

    // The SOAP answer around the base64 text, with extra characters before the data tag.
    static QByteArray answer(const QByteArray& base64, int offset = 0, const QByteArray& result = "0")
    {
        return "<soap><result>" + result + "</result>" + QByteArray(offset, ' ') + "<firmware_data>" + base64
            + "</firmware_data></soap>";
    }

    int convert(const QByteArray& receive, qint64 pieceBytes = FirmwareConverter::DefaultPieceBytes,
                FirmwareConverter::Expected expected = {})
    {
        EXPECT_TRUE(board.writeFile(QStringLiteral("/VnQo/var/fwup/cloudrecv.tmp"), receive));
        if (expected.size == 0) {
            expected.size = image.size();
            expected.md5 = QString::fromLatin1(QCryptographicHash::hash(image, QCryptographicHash::Md5).toHex());
        }
        FirmwareConverter converter(board.path(QStringLiteral("/VnQo/var/fwup/cloudrecv.tmp")),
                                    board.path(QStringLiteral("/VnQo/var/fwup/firm.bin")), expected);
        converter.pieceBytes = pieceBytes;
        converter.onPiece = [this](qint64 consumed, qint64 total) { progress << consumed * 100 / total; };
        converter.afterPiece = [this] { ++dropped; };
        return converter.convert();
    }

    QByteArray written() const { return board.readFile(QStringLiteral("/VnQo/var/fwup/firm.bin")); }
    bool imageExists() const { return board.exists(QStringLiteral("/VnQo/var/fwup/firm.bin")); }

    vnq::test::TempBoardRoot board;
    vnq::test::MessageCapture log;
    QByteArray image = imageOf(1000);
    QList<qint64> progress;
    int dropped = 0;
};

TEST_F(FirmwareConversion, TheSameImageWhereverTheTextAndThePiecesFall)
{
    const QByteArray base64 = image.toBase64();
    for (int offset = 0; offset < 4; ++offset) {
        for (qint64 piece = 64; piece < 96; ++piece) {
            SCOPED_TRACE(testing::Message() << offset << " " << piece);
            ASSERT_EQ(convert(answer(base64, offset), piece), 0);
            ASSERT_EQ(written(), image);
        }
    }
    // A boundary inside the closing tag: the third piece completes it.
    const QByteArray text = answer(base64);
    const qint64 closing = text.indexOf("</firmware_data>");
    progress.clear();
    dropped = 0;
    ASSERT_EQ(convert(text, (closing + 6) / 2), 0);
    EXPECT_EQ(written(), image);
    EXPECT_EQ(progress.size(), 3) << "one progress step a piece";
    EXPECT_EQ(dropped, 2) << "the cache is dropped between pieces";
}

TEST_F(FirmwareConversion, LineBreaksAndBlanksAreSkipped)
{
    QByteArray wrapped;
    const QByteArray base64 = image.toBase64();
    for (int i = 0; i < base64.size(); i += 76)
        wrapped += base64.mid(i, 76) + "\r\n ";
    EXPECT_EQ(convert(answer(wrapped), 100), 0);
    EXPECT_EQ(written(), image);
}

TEST_F(FirmwareConversion, RefusedAnswersLeaveNoImageToInstall)
{
    const QByteArray base64 = image.toBase64();
    QByteArray truncated = answer(base64);
    truncated.truncate(truncated.indexOf("</firmware_data>") + 5);
    const struct {
        const char* name;
        QByteArray receive;
        FirmwareConverter::Expected expected;
        int result;
        bool oldImageKept;
    } cases[] = {
        {"service error", answer(base64, 0, "-21"), {}, -21, true},
        {"no result", QByteArray("<firmware_data>") + base64 + "</firmware_data>", {}, -1, true},
        {"no data", QByteArray("<result>0</result>"), {}, -1, true},
        {"truncated", truncated, {}, -1, false},
        {"wrong size", answer(base64), {999, QString()}, -1, false},
        {"wrong md5", answer(base64), {1000, QStringLiteral("00112233445566778899aabbccddeeff")}, -1, false},
        {"no size", answer(base64), {-1, QStringLiteral("x")}, -1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(board.writeFile(QStringLiteral("/VnQo/var/fwup/firm.bin"), "old image"));
        FirmwareConverter::Expected expected = c.expected;
        if (expected.size == 999)
            expected.md5 = QString::fromLatin1(QCryptographicHash::hash(image, QCryptographicHash::Md5).toHex());
        EXPECT_EQ(convert(c.receive, 128, expected), c.result);
        if (c.oldImageKept) {
            EXPECT_EQ(written(), QByteArray("old image"));
        } else {
            EXPECT_FALSE(imageExists());
        }
    }
}

TEST_F(FirmwareConversion, AnUnreadableReceiveFileFails)
{
    FirmwareConverter converter(board.path(QStringLiteral("/VnQo/var/fwup/missing.tmp")),
                                board.path(QStringLiteral("/VnQo/var/fwup/firm.bin")), {});
    EXPECT_EQ(converter.convert(), -1);
    EXPECT_FALSE(log.matching(QStringLiteral("一時ファームファイル オープン失敗")).isEmpty());
}

}  // namespace
