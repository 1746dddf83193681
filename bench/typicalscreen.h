#pragma once

// The typical screen of the display server benchmarks: a photo-like full-screen picture, twelve
// 100 x 60 buttons with rounded-off alpha and 20 labels, as PNG files and as the protocol
// message that shows them.

#include <stb/stb_image_write.h>

#include <QString>
#include <QUrl>

#include <cstdint>
#include <functional>
#include <vector>

namespace typicalscreen {

constexpr int kPictures = 12;
constexpr int kPictureW = 100, kPictureH = 60;

struct Label {
    int x, y, px;
    uint8_t r, g, b;
    const char* text;
};

// The typical screen's 20 labels.
const Label kLabels[20] = {
    {20, 8, 22, 255, 255, 255, "2024年1月5日(金)"},   {330, 8, 22, 255, 255, 255, "09:30:15"},
    {20, 36, 18, 255, 255, 0, "出勤"},                 {90, 36, 18, 255, 255, 0, "退勤"},
    {160, 36, 18, 255, 255, 0, "外出"},                {230, 36, 18, 255, 255, 0, "再入"},
    {300, 36, 18, 255, 255, 0, "日替退"},              {380, 36, 18, 255, 255, 0, "解錠"},
    {30, 92, 18, 0, 0, 0, "Card 1"},                   {145, 92, 18, 0, 0, 0, "Card 2"},
    {260, 92, 18, 0, 0, 0, "Card 3"},                  {375, 92, 18, 0, 0, 0, "Card 4"},
    {30, 162, 18, 0, 0, 0, "山田太郎"},                {145, 162, 18, 0, 0, 0, "佐藤花子"},
    {260, 162, 18, 0, 0, 0, "鈴木一郎"},               {375, 162, 18, 0, 0, 0, "高橋次郎"},
    {30, 232, 18, 0, 0, 255, "カードをタッチしてください"}, {300, 232, 18, 255, 0, 0, "通信中"},
    {380, 232, 18, 255, 0, 0, "OK"},                   {20, 252, 14, 255, 255, 255, "VantroQo 1.0"},
};

inline int pictureX(int i) { return 20 + 115 * (i % 4); }
inline int pictureY(int i) { return 60 + 70 * (i / 4); }

inline QString encoded(const QString& text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}

inline QString pictureItem(const QString& file, int x, int y)
{
    return QStringLiteral("<item><backbround><pos><x>%1</x><y>%2</y></pos><filename>%3</filename></backbround></item>")
        .arg(x)
        .arg(y)
        .arg(encoded(QStringLiteral("../Parts/") + file));
}

inline QString labelItem(const Label& l)
{
    return QStringLiteral("<item><label><pos><x>%1</x><y>%2</y></pos><px>%3</px><color><r>%4</r><g>%5</g><b>%6</b>"
                          "<a>255</a></color><text>%7</text></label></item>")
        .arg(l.x)
        .arg(l.y)
        .arg(l.px)
        .arg(l.r)
        .arg(l.g)
        .arg(l.b)
        .arg(encoded(QString::fromUtf8(l.text)));
}

inline QByteArray typicalScreen()
{
    QString m = QStringLiteral("<items><action>New</action>") + pictureItem(QStringLiteral("full.png"), 0, 0);
    for (int i = 0; i < kPictures; ++i)
        m += pictureItem(QStringLiteral("p%1.png").arg(i), pictureX(i), pictureY(i));
    for (const Label& l : kLabels)
        m += labelItem(l);
    return (m + QStringLiteral("<action>Flash</action></items>")).toUtf8();
}

// The pictures: a photo-like full-screen picture and twelve buttons with rounded-off alpha.
inline uint32_t fullPixel(int x, int y)
{
    const unsigned r = unsigned(x * 255 / 479), g = unsigned(y * 255 / 271), b = unsigned((x ^ y) & 0xFF);
    return 0xFF000000u | b << 16 | g << 8 | r;
}

inline uint32_t buttonPixel(int i, int x, int y)
{
    const bool corner = (x < 4 || x >= kPictureW - 4) && (y < 4 || y >= kPictureH - 4);
    const unsigned a = corner ? 0x40 : 0xFF;
    return a << 24 | unsigned(40 + 15 * i) << 16 | unsigned(200 - y) << 8 | unsigned(120 + x);
}

inline bool writePicture(const QString& path, int w, int h, const std::function<uint32_t(int, int)>& pixel)
{
    std::vector<uint32_t> rgba(size_t(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            rgba[size_t(y) * w + x] = pixel(x, y);  // bytes R, G, B, A in memory
    return stbi_write_png(path.toUtf8().constData(), w, h, 4, rgba.data(), w * 4) != 0;
}

// Writes the full-screen picture as full.png and the buttons as p0.png to p11.png into dir
// (ending in "/"); false when one could not be written.
inline bool writePictures(const QString& dir)
{
    bool ok = writePicture(dir + QStringLiteral("full.png"), 480, 272, fullPixel);
    for (int i = 0; i < kPictures; ++i)
        ok = writePicture(dir + QStringLiteral("p%1.png").arg(i), kPictureW, kPictureH,
                          [i](int x, int y) { return buttonPixel(i, x, y); }) && ok;
    return ok;
}

}  // namespace typicalscreen
