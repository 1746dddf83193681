#include "fullkeyboardkeys.h"

#include <QStringList>

namespace fullkeyboardkeys {

namespace {

constexpr short KeySize = 35;
constexpr short Pitch = 40;

KeypadShape key(const QString& id, short x, short y, short w = KeySize, short h = KeySize)
{
    return KeypadShape{id, QString(), x, y, w, h};
}

// One row of keys at the pitch, their ids "Full_" and the names given.
QVector<KeypadShape> row(const QStringList& names, short x0, short y)
{
    QVector<KeypadShape> keys;
    for (int i = 0; i < names.size(); ++i)
        keys.append(key(QStringLiteral("Full_") + names.at(i), short(x0 + Pitch * i), y));
    return keys;
}

QStringList letters(const char* row, Layout layout)
{
    QStringList names;
    for (const char* c = row; *c; ++c) {
        const QChar letter = QLatin1Char(*c);
        names << QString(layout == Layout::Upper ? letter.toUpper() : letter);
    }
    return names;
}

// Delete above the right-hand column of Cancel, the three page keys and Enter.
QVector<KeypadShape> commonKeys()
{
    return {key(QStringLiteral("Full_Del"), 375, 64),       key(QStringLiteral("Full_Cancel"), 405, 63, 60, 35),
            key(QStringLiteral("Mode_Pad_Up"), 405, 103, 60, 35), key(QStringLiteral("Mode_Pad_Low"), 405, 143, 60, 35),
            key(QStringLiteral("Mode_Pad_Sym"), 405, 183, 60, 35), key(QStringLiteral("Full_Enter"), 405, 223, 60, 35)};
}

struct Symbol {
    const char* name;
    char character;
};

// In the order in which the key handling tries them.
const Symbol symbols[] = {
    {"EXCL", '!'}, {"DQUO", '"'}, {"HASH", '#'}, {"DOLL", '$'}, {"PERC", '%'}, {"AMPE", '&'}, {"APOS", '\''},
    {"LPAR", '('}, {"RPAR", ')'}, {"EQUA", '='}, {"TILD", '~'}, {"HAT", '^'},  {"SCOL", ';'}, {"COLO", ':'},
    {"BAPO", '`'}, {"SLAS", '/'}, {"ASTE", '*'}, {"DASH", '-'}, {"PLUS", '+'}, {"LESS", '<'}, {"GRAT", '>'},
    {"QUES", '?'}, {"UNDE", '_'}, {"AT", '@'},   {"COMM", ','}, {"DOT", '.'},  {"YEN", '\\'}, {"VBAR", '|'},
    {"LKET", '['}, {"RKET", ']'}, {"LBRA", '{'}, {"RBRA", '}'}, {"SPAC", ' '},
};

}  // namespace

QString imagePath(Layout layout)
{
    switch (layout) {
    case Layout::Lower:
        return QStringLiteral("../Parts/06_テンキー画面/テンキー画面08.png");
    case Layout::Upper:
        return QStringLiteral("../Parts/06_テンキー画面/テンキー画面09.png");
    case Layout::Symbols:
        break;
    }
    return QStringLiteral("../Parts/06_テンキー画面/テンキー画面12.png");
}

QVector<KeypadShape> shapes(Layout layout)
{
    QVector<KeypadShape> keys;
    if (layout == Layout::Symbols) {
        keys << row({"EXCL", "DQUO", "HASH", "DOLL", "PERC", "AMPE", "APOS", "LPAR", "RPAR"}, 33, 104)
             << row({"EQUA", "TILD", "HAT", "SCOL", "COLO", "BAPO", "SLAS", "ASTE", "DASH", "PLUS"}, 15, 144)
             << row({"LESS", "GRAT", "QUES", "UNDE", "AT", "COMM", "DOT", "YEN", "VBAR"}, 33, 184)
             << row({"Left", "LKET", "RKET"}, 15, 224) << key(QStringLiteral("Full_SPAC"), 135, 224, 152, 34)
             << row({"LBRA", "RBRA", "Right"}, 295, 224);
    } else {
        keys << row({"1", "2", "3", "4", "5", "6", "7", "8", "9", "0"}, 15, 104)
             << row(letters("qwertyuiop", layout), 15, 144) << row(letters("asdfghjkl", layout), 33, 184)
             << row(letters("zxcvbnm", layout), 73, 224) << key(QStringLiteral("Full_Left"), 33, 224)
             << key(QStringLiteral("Full_Right"), 353, 224);
    }
    return keys + commonKeys();
}

QString typedText(const QString& id)
{
    for (const Symbol& symbol : symbols) {
        if (id == QStringLiteral("Full_") + QLatin1String(symbol.name))
            return QString(QLatin1Char(symbol.character));
    }
    return id.right(1);
}

}  // namespace fullkeyboardkeys
