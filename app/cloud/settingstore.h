#pragma once

#include "dbsetting.h"

#include <QList>
#include <QString>
#include <QtGlobal>

// The settings one answer of a cloud service carries, by their English keys. They are taken
// while the answer is read and written together once it has proved whole, so an answer cut
// short or refused changes no setting.
class DownloadedSettings {
public:
    // Takes a setting when its value lies within the item's stored bounds
    // (DBSetting::getParamRange); with an update time (seconds since 1970), also as the
    // setting's update time, unless a setting of the same key taken before has one as new.
    // False when refused.
    bool add(const QString& key, int value, const qint64* updateTime = nullptr);
    // Writes every setting taken in one transaction (DBSetting::setParams): all or none.
    bool apply() const;

private:
    QList<DBSetting::ParamWrite> m_writes;
};
