// The display server on the real drawing port: the Vistrel program in a temporary board root
// (simulated GPU and framebuffer), driven over its socket by a QLocalSocket client as the
// terminal drives it.
// - message to pixels: a typical screen (a cached full-screen picture, 12 pictures, 20 labels,
//   "Flash") until the ready reply, which follows the swap: mean and 95th percentile over 50;
// - full-screen redraws per second: "New", the cached full-screen picture, "Flash"; and
//   "Past", "Flash";
// - a fade-in at vsync_hz 0 and 60;
// - the program's peak resident memory (VmHWM) after these scenes (goal 24 MB);
// - a reference: the same typical screen drawn with cairo on an RGB16_565 image surface from the
//   same decoded pictures and the same FreeType outlines as cairo paths, reported as the ratio
//   of the two times (goal: the simulated GPU's frame at most 1.5 times cairo's).
#include <benchmark/benchmark.h>

#include <cairo.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <stb/stb_image.h>
#include <stb/stb_image_write.h>

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QUrl>

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "fb_info.h"
#include "packagedfont.h"
#include "tempboardroot.h"

namespace {

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

int pictureX(int i) { return 20 + 115 * (i % 4); }
int pictureY(int i) { return 60 + 70 * (i / 4); }

QString encoded(const QString& text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}

QString pictureItem(const QString& file, int x, int y)
{
    return QStringLiteral("<item><backbround><pos><x>%1</x><y>%2</y></pos><filename>%3</filename></backbround></item>")
        .arg(x)
        .arg(y)
        .arg(encoded(QStringLiteral("../Parts/") + file));
}

QString labelItem(const Label& l)
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

QByteArray typicalScreen()
{
    QString m = QStringLiteral("<items><action>New</action>") + pictureItem(QStringLiteral("full.png"), 0, 0);
    for (int i = 0; i < kPictures; ++i)
        m += pictureItem(QStringLiteral("p%1.png").arg(i), pictureX(i), pictureY(i));
    for (const Label& l : kLabels)
        m += labelItem(l);
    return (m + QStringLiteral("<action>Flash</action></items>")).toUtf8();
}

// The pictures: a photo-like full-screen picture and twelve buttons with rounded-off alpha.
uint32_t fullPixel(int x, int y)
{
    const unsigned r = unsigned(x * 255 / 479), g = unsigned(y * 255 / 271), b = unsigned((x ^ y) & 0xFF);
    return 0xFF000000u | b << 16 | g << 8 | r;
}

uint32_t buttonPixel(int i, int x, int y)
{
    const bool corner = (x < 4 || x >= kPictureW - 4) && (y < 4 || y >= kPictureH - 4);
    const unsigned a = corner ? 0x40 : 0xFF;
    return a << 24 | unsigned(40 + 15 * i) << 16 | unsigned(200 - y) << 8 | unsigned(120 + x);
}

bool writePicture(const QString& path, int w, int h, const std::function<uint32_t(int, int)>& pixel)
{
    std::vector<uint32_t> rgba(size_t(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            rgba[size_t(y) * w + x] = pixel(x, y);  // bytes R, G, B, A in memory
    return stbi_write_png(path.toUtf8().constData(), w, h, 4, rgba.data(), w * 4) != 0;
}

// The Vistrel program in a board root of its own with the screen's vertical sync at hz.
class Server {
public:
    explicit Server(uint32_t hz)
        : vsyncHz(hz)
    {
        for (const char* dir : {"/tmp", "/var/log", "/var/tmp", "/VnQo/app/App/Font", "/VnQo/app/Parts", "/dev/input"})
            root.makeDir(QString::fromLatin1(dir));
        ::mkfifo(root.path(QStringLiteral("/dev/input/event0")).toUtf8().constData(), 0600);
        simfb::FbInfo info = simfb::boardScreen();
        info.vsyncHz = hz;
        simfb::writeFramebuffer(root.path(QStringLiteral("/dev/fb0")).toStdString(), info);
        QFile::link(QString::fromStdString(packagedFont()), root.path(QStringLiteral("/VnQo/app/App/Font/ipag.ttf")));
        root.writeFile(QStringLiteral("/VnQo/app/App/start.xml"),
                       "<items><action>Clear</action><action>Flash</action></items>");
        const QString parts = root.path(QStringLiteral("/VnQo/app/Parts/"));
        writePicture(parts + QStringLiteral("full.png"), 480, 272, fullPixel);
        for (int i = 0; i < kPictures; ++i)
            writePicture(parts + QStringLiteral("p%1.png").arg(i), kPictureW, kPictureH,
                         [i](int x, int y) { return buttonPixel(i, x, y); });

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("VNQ_ROOT"), root.root());
        environment.insert(QStringLiteral("VNQ_VISTREL_DRAW"), QStringLiteral("ovg"));
        program.setProcessEnvironment(environment);
        program.setWorkingDirectory(root.path(QStringLiteral("/VnQo/app/App")));
        program.setStandardOutputFile(root.path(QStringLiteral("/var/log/Vistrel.log")));
        program.setProcessChannelMode(QProcess::MergedChannels);
        program.start(QStringLiteral(VISTREL_PROGRAM), QStringList());
        const QString socketFile = root.path(QStringLiteral("/tmp/vistrel.uds"));
        QDeadlineTimer deadline(20000);
        while (!deadline.hasExpired() && !QFileInfo::exists(socketFile))
            program.waitForFinished(20);
        client.connectToServer(socketFile);
        ok = client.waitForConnected(5000);
    }
    ~Server()
    {
        client.abort();
        program.kill();
        program.waitForFinished(5000);
    }

    // Sends the message and waits for the ready reply; the seconds it took, or -1.
    double exchange(const QByteArray& message)
    {
        QElapsedTimer elapsed;
        elapsed.start();
        client.write(message);
        client.flush();
        while (!received.contains("<status>ready</status>")) {
            if (!client.waitForReadyRead(10000))
                return -1;
            received += client.readAll();
        }
        received.remove(0, received.indexOf("</gui>") + 6);
        return elapsed.nsecsElapsed() / 1e9;
    }

    // The program's peak resident memory in kB, -1 when unknown.
    long peakKb() const
    {
        QFile status(QStringLiteral("/proc/%1/status").arg(program.processId()));
        if (!status.open(QIODevice::ReadOnly))
            return -1;
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("VmHWM:"))
                return line.mid(6).trimmed().split(' ').front().toLong();
        return -1;
    }

    const uint32_t vsyncHz;
    bool ok = false;

private:
    vnq::test::TempBoardRoot root;
    QProcess program;
    QLocalSocket client;
    QByteArray received;
};

// The largest peak resident memory of the programs that have ended.
long endedPeakKb = -1;

// One server at a time, kept while the benchmarks ask for the same vertical sync.
Server* server(uint32_t hz)
{
    static std::unique_ptr<Server> current;
    if (!current || current->vsyncHz != hz) {
        if (current)
            endedPeakKb = std::max(endedPeakKb, current->peakKb());
        current.reset();
        current = std::make_unique<Server>(hz);
        // The first draw of each picture writes its cache; later draws read it.
        if (current->ok)
            current->exchange(typicalScreen());
    }
    return current->ok ? current.get() : nullptr;
}

double messageToPixelsMean = 0;

void BM_MessageToPixels(benchmark::State& state)
{
    Server* s = server(0);
    if (!s) {
        state.SkipWithError("the Vistrel program did not start");
        return;
    }
    const QByteArray screen = typicalScreen();
    std::vector<double> times;
    for (auto _ : state) {
        const double t = s->exchange(screen);
        if (t < 0) {
            state.SkipWithError("no ready reply");
            return;
        }
        state.SetIterationTime(t);
        times.push_back(t);
    }
    std::sort(times.begin(), times.end());
    messageToPixelsMean = std::accumulate(times.begin(), times.end(), 0.0) / double(times.size());
    state.counters["mean_ms"] = messageToPixelsMean * 1e3;
    state.counters["p95_ms"] = times[std::min(times.size() - 1, size_t(std::ceil(0.95 * double(times.size())) - 1))] * 1e3;
}
BENCHMARK(BM_MessageToPixels)->Iterations(50)->UseManualTime()->Unit(benchmark::kMillisecond);

// Redraws per second: 0 the cached full-screen picture after "New", 1 "Past" of the saved screen.
void BM_FullScreenRedraw(benchmark::State& state)
{
    Server* s = server(0);
    if (!s) {
        state.SkipWithError("the Vistrel program did not start");
        return;
    }
    const QByteArray message = state.range(0) == 0
        ? (QStringLiteral("<items><action>New</action>") + pictureItem(QStringLiteral("full.png"), 0, 0)
           + QStringLiteral("<action>Flash</action></items>")).toUtf8()
        : QByteArray("<items><action>Past</action><action>Flash</action></items>");
    s->exchange("<items><action>Copy</action></items>");
    for (auto _ : state)
        if (s->exchange(message) < 0) {
            state.SkipWithError("no ready reply");
            return;
        }
    state.counters["frames_per_s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FullScreenRedraw)->Arg(0)->Arg(1)->ArgNames({"past"})->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_FadeIn(benchmark::State& state)
{
    Server* s = server(uint32_t(state.range(0)));
    if (!s) {
        state.SkipWithError("the Vistrel program did not start");
        return;
    }
    s->exchange(typicalScreen());
    s->exchange("<items><action>Copy</action></items>");
    QString m = QStringLiteral("<items><action>New</action><action>Clear</action>");
    for (int i = 0; i < 4; ++i)
        m += pictureItem(QStringLiteral("p%1.png").arg(i), pictureX(i), pictureY(i));
    const QByteArray fade = (m + labelItem(kLabels[16]) + QStringLiteral("<action>FadeIn</action></items>")).toUtf8();
    for (auto _ : state)
        if (s->exchange(fade) < 0) {
            state.SkipWithError("no ready reply");
            return;
        }
}
BENCHMARK(BM_FadeIn)->Arg(0)->Arg(60)->ArgNames({"vsync_hz"})->Iterations(10)->UseRealTime()->Unit(benchmark::kMillisecond);

// After the scenes above (run in this order): the largest peak resident memory of the programs
// that drew them.
void BM_PeakMemory(benchmark::State& state)
{
    Server* s = server(60);
    const long kb = std::max(endedPeakKb, s ? s->peakKb() : -1);
    for (auto _ : state)
        benchmark::DoNotOptimize(kb);
    if (kb < 0) {
        state.SkipWithError("no VmHWM of the program");
        return;
    }
    state.counters["VmHWM_MB"] = double(kb) / 1024.0;
    state.counters["goal_MB"] = 24;
}
BENCHMARK(BM_PeakMemory)->Iterations(1);

// The cairo reference.
struct CairoPicture {
    cairo_surface_t* surface = nullptr;
    int x = 0, y = 0;
};

cairo_surface_t* decodedPicture(const QString& path)
{
    int w = 0, h = 0, channels = 0;
    unsigned char* rgba = stbi_load(path.toUtf8().constData(), &w, &h, &channels, 4);
    if (!rgba)
        return nullptr;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const unsigned char* p = rgba + (size_t(y) * w + x) * 4;
            const unsigned a = p[3];
            const uint32_t premultiplied = a << 24 | (p[0] * a / 255) << 16 | (p[1] * a / 255) << 8 | (p[2] * a / 255);
            std::memcpy(data + y * stride + x * 4, &premultiplied, 4);
        }
    cairo_surface_mark_dirty(surface);
    stbi_image_free(rgba);
    return surface;
}

// FreeType outlines as cairo paths, y flipped about the baseline at (x, y).
struct OutlineSink {
    cairo_t* cr;
    double x, y;
    FT_Vector last;
};

int moveTo(const FT_Vector* to, void* user)
{
    auto* s = static_cast<OutlineSink*>(user);
    cairo_close_path(s->cr);
    cairo_move_to(s->cr, s->x + to->x / 64.0, s->y - to->y / 64.0);
    s->last = *to;
    return 0;
}

int lineTo(const FT_Vector* to, void* user)
{
    auto* s = static_cast<OutlineSink*>(user);
    cairo_line_to(s->cr, s->x + to->x / 64.0, s->y - to->y / 64.0);
    s->last = *to;
    return 0;
}

int conicTo(const FT_Vector* control, const FT_Vector* to, void* user)
{
    auto* s = static_cast<OutlineSink*>(user);
    const double x0 = s->last.x / 64.0, y0 = s->last.y / 64.0;
    const double cx = control->x / 64.0, cy = control->y / 64.0, x3 = to->x / 64.0, y3 = to->y / 64.0;
    const double x1 = x0 + 2.0 / 3 * (cx - x0), y1 = y0 + 2.0 / 3 * (cy - y0);
    const double x2 = x3 + 2.0 / 3 * (cx - x3), y2 = y3 + 2.0 / 3 * (cy - y3);
    cairo_curve_to(s->cr, s->x + x1, s->y - y1, s->x + x2, s->y - y2, s->x + x3, s->y - y3);
    s->last = *to;
    return 0;
}

int cubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user)
{
    auto* s = static_cast<OutlineSink*>(user);
    cairo_curve_to(s->cr, s->x + c1->x / 64.0, s->y - c1->y / 64.0, s->x + c2->x / 64.0, s->y - c2->y / 64.0,
                   s->x + to->x / 64.0, s->y - to->y / 64.0);
    s->last = *to;
    return 0;
}

void drawLabel(cairo_t* cr, FT_Face face, const Label& l)
{
    static const FT_Outline_Funcs funcs = {moveTo, lineTo, conicTo, cubicTo, 0, 0};
    FT_Set_Pixel_Sizes(face, FT_UInt(l.px), FT_UInt(l.px));
    OutlineSink sink{cr, double(l.x), double(l.y + l.px), {}};
    const QString text = QString::fromUtf8(l.text);
    for (const uint code : text.toUcs4()) {
        if (FT_Load_Glyph(face, FT_Get_Char_Index(face, code), FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) != 0)
            continue;
        cairo_new_sub_path(cr);
        FT_Outline_Decompose(&face->glyph->outline, &funcs, &sink);
        cairo_close_path(cr);
        sink.x += face->glyph->advance.x / 64.0;
    }
    cairo_set_source_rgb(cr, l.r / 255.0, l.g / 255.0, l.b / 255.0);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
}

void BM_CairoTypicalScreen(benchmark::State& state)
{
    vnq::test::TempBoardRoot root;
    const QString parts = root.path(QStringLiteral("/"));
    std::vector<CairoPicture> pictures;
    writePicture(parts + QStringLiteral("full.png"), 480, 272, fullPixel);
    pictures.push_back({decodedPicture(parts + QStringLiteral("full.png")), 0, 0});
    for (int i = 0; i < kPictures; ++i) {
        const QString file = parts + QStringLiteral("p%1.png").arg(i);
        writePicture(file, kPictureW, kPictureH, [i](int x, int y) { return buttonPixel(i, x, y); });
        pictures.push_back({decodedPicture(file), pictureX(i), pictureY(i)});
    }
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    if (FT_Init_FreeType(&library) != 0 || FT_New_Face(library, packagedFont().c_str(), 0, &face) != 0) {
        state.SkipWithError("no font: install fonts-ipafont-gothic");
        return;
    }
    cairo_surface_t* screen = cairo_image_surface_create(CAIRO_FORMAT_RGB16_565, 480, 272);
    cairo_t* cr = cairo_create(screen);
    std::vector<double> times;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        for (const CairoPicture& p : pictures) {
            cairo_set_source_surface(cr, p.surface, p.x, p.y);
            cairo_paint(cr);
        }
        for (const Label& l : kLabels)
            drawLabel(cr, face, l);
        cairo_surface_flush(screen);
        times.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    const double mean = std::accumulate(times.begin(), times.end(), 0.0) / double(times.size());
    state.counters["mean_ms"] = mean * 1e3;
    if (messageToPixelsMean > 0)
        state.counters["ovg_over_cairo"] = messageToPixelsMean / mean;
    state.counters["goal_ratio"] = 1.5;
    cairo_destroy(cr);
    cairo_surface_destroy(screen);
    for (CairoPicture& p : pictures)
        cairo_surface_destroy(p.surface);
    FT_Done_Face(face);
    FT_Done_FreeType(library);
}
BENCHMARK(BM_CairoTypicalScreen)->Unit(benchmark::kMillisecond);

}  // namespace
