#pragma once

#include <QString>

// Writes a setting that a cloud service sent, by its English key, when the value lies within
// the item's stored bounds (DBSetting::getParamRange); updateTime as DBSetting::setParam takes
// it. False when refused or not written.
bool storeDownloadedSetting(const QString& key, int value, int* updateTime = nullptr);
