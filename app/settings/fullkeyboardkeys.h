#pragma once

#include "keypadlayout.h"

#include <QString>
#include <QVector>

// The keys of the full on-screen keyboard, relative to the keyboard's origin, in the order
// in which they are sent. Key faces are part of the page pictures; the keys are bare touch
// areas over them.
namespace fullkeyboardkeys {

enum class Layout { Lower, Upper, Symbols };

// The picture of a page, drawn at the origin in its natural size.
QString imagePath(Layout layout);

// The keys of a page: its typing keys, cursor left and right, then the command keys that
// every page shares.
QVector<KeypadShape> shapes(Layout layout);

// The text a typing key adds: a symbol key's character, or the last character of any other
// id ("Full_a" types a, "Full_7" types 7). Empty for an empty id.
QString typedText(const QString& id);

}  // namespace fullkeyboardkeys
