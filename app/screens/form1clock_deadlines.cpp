#include "form1clock.h"

#include "dbsetting.h"
#include "mydebug.h"
#include "mytimer.h"

// The return-to-clock deadline, the lock-file check and the scheduled data request.

void Form1Clock::setClockModoriTimer()
{
    if (!currentPage)
        return;
    int minutes = 0;
    if (DBSetting::getSetting(QStringLiteral("時計に戻る時間"), &minutes) && minutes >= 1)
        MyTimer::getInstance()->setClockModori();
    else
        MyTimer::getInstance()->stopClockModori();
}

void Form1Clock::stopClockModoriTimer()
{
    MyTimer::getInstance()->stopClockModori();
}

void Form1Clock::timeoutHandlerClockModori()
{
    MyDebug() << "<IFO>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "時計画面戻り";
    if (currentPage)
        returnPage(currentPage.data(), false);
}

void Form1Clock::timeoutHandlerVnqLock()
{
}

void Form1Clock::timeoutDataRequest(bool)
{
}
