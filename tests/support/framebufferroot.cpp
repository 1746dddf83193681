#include "framebufferroot.h"

namespace vnq::test {

FramebufferBoardRoot::FramebufferBoardRoot(uint32_t xres, uint32_t yres, uint32_t bitsPerPixel)
    : FramebufferBoardRoot(simfb::boardScreen(xres, yres, bitsPerPixel))
{
}

FramebufferBoardRoot::FramebufferBoardRoot(const simfb::FbInfo& info)
    : m_info(info)
{
    makeDir(QStringLiteral("/dev"));
    makeDir(QStringLiteral("/var/log"));
    simfb::writeFramebuffer(path(QStringLiteral("/dev/fb0")).toStdString(), info);
}

bool FramebufferBoardRoot::rewriteInfo(const simfb::FbInfo& info)
{
    m_info = info;
    return writeFile(QStringLiteral("/dev/fb0.info"), QByteArray::fromStdString(simfb::formatFbInfo(info)));
}

}  // namespace vnq::test
