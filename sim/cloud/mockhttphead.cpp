#include "mockhttphead.h"

namespace mockhttp {

QByteArray headerValue(const Headers& headers, const QByteArray& name)
{
    for (const auto& h : headers) {
        if (h.first.compare(name, Qt::CaseInsensitive) == 0)
            return h.second;
    }
    return {};
}

QByteArray Head::header(const QByteArray& name) const
{
    return headerValue(headers, name);
}

HeadResult parseHead(const QByteArray& buffer, int maxBytes, Head* head, int* length)
{
    // A request line is text: anything else (a TLS greeting, say) is refused at once.
    const int lineEnd = buffer.indexOf("\r\n");
    for (int i = 0; i < (lineEnd < 0 ? buffer.size() : lineEnd); ++i) {
        const uchar c = uchar(buffer[i]);
        if (c < 0x20 || c == 0x7f)
            return HeadResult::Malformed;
    }
    const int end = buffer.indexOf("\r\n\r\n");
    if (end < 0)
        return buffer.size() > maxBytes ? HeadResult::TooLarge : HeadResult::Incomplete;
    if (end + 4 > maxBytes)
        return HeadResult::TooLarge;
    const QList<QByteArray> lines = buffer.left(end).split('\n');
    const QList<QByteArray> requestLine = lines.first().trimmed().split(' ');
    if (requestLine.size() != 3)
        return HeadResult::Malformed;
    *head = Head{requestLine[0], requestLine[1], requestLine[2], {}};
    for (int i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const int colon = line.indexOf(':');
        if (colon <= 0)
            return HeadResult::Malformed;
        head->headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
    }
    *length = end + 4;
    return HeadResult::Complete;
}

namespace {

QByteArray reason(int status)
{
    switch (status) {
    case 200: return "OK";
    case 400: return "Bad Request";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 407: return "Proxy Authentication Required";
    case 411: return "Length Required";
    case 413: return "Payload Too Large";
    case 431: return "Request Header Fields Too Large";
    case 500: return "Internal Server Error";
    case 502: return "Bad Gateway";
    default: return "Status";
    }
}

}  // namespace

QByteArray answerHead(int status, const Headers& headers, qint64 contentLength)
{
    QByteArray head = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason(status) + "\r\n";
    for (const auto& h : headers)
        head += h.first + ": " + h.second + "\r\n";
    head += "Content-Length: " + QByteArray::number(contentLength) + "\r\n\r\n";
    return head;
}

}  // namespace mockhttp
