#pragma once

#include <QString>

// The key a cloud service knows this terminal by, made from its serial number: the service's
// five-character prefix, one digit from the serial's manufacturing month band and the serial's
// last four digits. An unset serial ("未設定") gives the shared test key.
QString clientKeyFromSerial(const char* prefix, const char* testKey, const QString& serialNumber);
