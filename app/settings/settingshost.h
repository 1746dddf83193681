#pragma once

#include "pagehost.h"

class QObject;

// The page host of a settings screen: its QObject parent. A screen without one logs an
// error line naming the operation and gets null, so it stays where it is.
PageHost* settingsHostOf(QObject* screen, const char* operation);
