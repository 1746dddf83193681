#include "screenreplies.h"

namespace ScreenReplies {

namespace {
const QString replyStart = QStringLiteral("<gui>");
const QString replyEnd = QStringLiteral("</gui>");
// Replies are a ready notice or one touch (a short id and an event number).
constexpr int unfinishedLimit = 4096;
}  // namespace

QStringList take(QString* pending, const QString& read)
{
    pending->append(read);
    QStringList replies;
    int from = 0;
    for (;;) {
        const int end = pending->indexOf(replyEnd, from);
        if (end < 0)
            break;
        const int stop = end + replyEnd.size();
        const int start = pending->lastIndexOf(replyStart, end);
        const int begin = start >= from ? start : from;
        replies << pending->mid(begin, stop - begin);
        from = stop;
    }
    pending->remove(0, from);
    if (pending->trimmed().isEmpty() || pending->size() > unfinishedLimit)
        pending->clear();
    return replies;
}

}  // namespace ScreenReplies
