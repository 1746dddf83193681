// Keeping typed secrets out of the log lines.

#include "mylabel.h"

namespace {

const QString silentMark = QStringLiteral("_BG_");
// Keypad keys ("Sel3x4_5", "Sel4_2") type their last character; keyboard keys ("Full_a",
// "Full_SLAS") type the character their name after the prefix stands for.
const QString keypadKey = QStringLiteral("Sel");
const QString keyboardKey = QStringLiteral("Full_");

}  // namespace

void MyLabel::setSecretInput(bool on)
{
    if (on)
        ++secretHolders;
    else if (secretHolders > 0)
        --secretHolders;
}

QString MyLabel::loggedTouchId(const QString& id)
{
    if (!getInstance()->secretInput())
        return id;
    const QString key = id.startsWith(silentMark) ? id.mid(silentMark.size()) : id;
    const QString prefix = id.left(id.size() - key.size());
    if (key.startsWith(keyboardKey))
        return prefix + keyboardKey + QLatin1Char('*');
    if (key.startsWith(keypadKey) && key.size() > keypadKey.size())
        return prefix + key.chopped(1) + QLatin1Char('*');
    return id;
}
