#include "settingstore.h"

#include "loggabletext.h"

#include "dbsetting.h"
#include "mydebug.h"

bool storeDownloadedSetting(const QString& key, int value, int* updateTime)
{
    int min = 0, max = 0;
    if (DBSetting::getParamRange(key, &min, &max) && (value < min || value > max)) {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "設定値 範囲外" << vnq::loggableText(key) << value;
        return false;
    }
    return DBSetting::setParam(key, &value, updateTime);
}
