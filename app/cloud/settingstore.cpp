#include "settingstore.h"

#include "loggabletext.h"

#include "mydebug.h"

bool DownloadedSettings::add(const QString& key, int value, const qint64* updateTime)
{
    int min = 0, max = 0;
    if (DBSetting::getParamRange(key, &min, &max) && (value < min || value > max)) {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "設定値 範囲外" << vnq::loggableText(key) << value;
        return false;
    }
    if (updateTime) {
        for (const DBSetting::ParamWrite& taken : m_writes) {
            if (taken.item == key && taken.timed && taken.updateTime >= *updateTime)
                return false;
        }
    }
    DBSetting::ParamWrite write;
    write.item = key;
    write.value = value;
    write.timed = updateTime != nullptr;
    write.updateTime = updateTime ? *updateTime : 0;
    m_writes.append(write);
    return true;
}

bool DownloadedSettings::apply() const
{
    if (DBSetting::setParams(m_writes))
        return true;
    MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "設定 書込み失敗" << m_writes.size();
    return false;
}
