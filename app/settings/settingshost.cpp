#include "settingshost.h"

#include "mydebug.h"

#include <QObject>

PageHost* settingsHostOf(QObject* screen, const char* operation)
{
    PageHost* host = screen ? dynamic_cast<PageHost*>(screen->parent()) : nullptr;
    if (!host)
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "no page host for" << operation;
    return host;
}
