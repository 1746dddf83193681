#include "httpclient.h"

#include "mydebug.h"
#include "platform/boardroot.h"

#include <QFile>

void HttpClient::simplifiedRecvData()
{
    m_recvData = m_recvData.simplified();
}

qint64 HttpClient::getTempFileSize()
{
    QFile file(vnq::boardPath(QString::fromLatin1(tempFilePath)));
    if (!file.open(QIODevice::ReadOnly)) {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "Open failed temp file!!";
        return -1;
    }
    return file.size();
}

int HttpClient::getTempFileData(int pos, int len)
{
    m_recvData.clear();
    if (pos < 0 || len < 0)
        return -1;
    QFile file(vnq::boardPath(QString::fromLatin1(tempFilePath)));
    if (!file.open(QIODevice::ReadOnly)) {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "Open failed temp file!!";
        return -1;
    }
    if (!file.seek(pos))
        return -1;
    m_recvData = file.read(len);
    return m_recvData.size();
}

// Copies the temp file to path and removes it; -1 when the copy failed, and the temp file is
// then kept.
int HttpClient::moveTempFile(QString path)
{
    const QString temp = vnq::boardPath(QString::fromLatin1(tempFilePath));
    if (!QFile::copy(temp, path))
        return -1;
    QFile::remove(temp);
    return 0;
}
