// The firmware conversion on a 32 MB image wrapped as the SOAP service's answer (about 43 MB of
// base64): throughput in MB of answer per second, and how much the resident memory grows while
// it runs ("rss_growth_kB", the largest growth seen at any piece), which stays within a few MB
// because the answer is read, decoded and written one piece at a time.
#include "firmwareconverter.h"

#include <benchmark/benchmark.h>

#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>

namespace {

constexpr int imageBytes = 32 * 1024 * 1024;

long residentKiloBytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

void quietMessages(QtMsgType, const QMessageLogContext&, const QString&) {}

void BM_FirmwareConvert(benchmark::State& state)
{
    qInstallMessageHandler(quietMessages);
    QTemporaryDir dir;
    const QString receivePath = dir.filePath(QStringLiteral("cloudrecv.tmp"));
    const QString imagePath = dir.filePath(QStringLiteral("firm.bin"));
    FirmwareConverter::Expected expected;
    qint64 answerBytes = 0;
    {
        QByteArray image(imageBytes, '\0');
        quint32 seed = 1;
        for (char& b : image) {
            seed = seed * 1664525u + 1013904223u;
            b = char(seed >> 24);
        }
        expected.size = image.size();
        expected.md5 = QString::fromLatin1(QCryptographicHash::hash(image, QCryptographicHash::Md5).toHex());
        QFile receive(receivePath);
        if (!receive.open(QIODevice::WriteOnly)) {
            state.SkipWithError("cannot write the receive file");
            return;
        }
        receive.write("<soap><result>0</result><firmware_data>");
        receive.write(image.toBase64());
        receive.write("</firmware_data></soap>");
        answerBytes = receive.size();
    }

    long growth = 0;
    for (auto _ : state) {
        const long before = residentKiloBytes();
        FirmwareConverter converter(receivePath, imagePath, expected);
        converter.onPiece = [&](qint64, qint64) { growth = std::max(growth, residentKiloBytes() - before); };
        if (converter.convert() != 0) {
            state.SkipWithError("conversion failed");
            return;
        }
    }
    state.SetBytesProcessed(state.iterations() * answerBytes);
    state.counters["rss_growth_kB"] = double(growth);
    qInstallMessageHandler(nullptr);
}

}  // namespace

BENCHMARK(BM_FirmwareConvert)->Unit(benchmark::kMillisecond)->Iterations(3);
