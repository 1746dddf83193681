#pragma once

#include <QChar>
#include <QString>

// The symbol keys of the full keyboard and the characters they type.
struct SymbolKey {
    const char* id;
    char character;
};

inline constexpr SymbolKey symbolKeys[] = {
    {"Full_EXCL", '!'}, {"Full_DQUO", '"'}, {"Full_HASH", '#'}, {"Full_DOLL", '$'}, {"Full_PERC", '%'},
    {"Full_AMPE", '&'}, {"Full_APOS", '\''}, {"Full_LPAR", '('}, {"Full_RPAR", ')'}, {"Full_EQUA", '='},
    {"Full_TILD", '~'}, {"Full_HAT", '^'},  {"Full_SCOL", ';'}, {"Full_COLO", ':'}, {"Full_BAPO", '`'},
    {"Full_SLAS", '/'}, {"Full_ASTE", '*'}, {"Full_DASH", '-'}, {"Full_PLUS", '+'}, {"Full_LESS", '<'},
    {"Full_GRAT", '>'}, {"Full_QUES", '?'}, {"Full_UNDE", '_'}, {"Full_AT", '@'},   {"Full_COMM", ','},
    {"Full_DOT", '.'},  {"Full_YEN", '\\'}, {"Full_VBAR", '|'}, {"Full_LKET", '['}, {"Full_RKET", ']'},
    {"Full_LBRA", '{'}, {"Full_RBRA", '}'}, {"Full_SPAC", ' '},
};

// The key that types a printable ASCII character.
inline QString keyFor(QChar c)
{
    for (const SymbolKey& key : symbolKeys) {
        if (c == QLatin1Char(key.character))
            return QString::fromLatin1(key.id);
    }
    return QStringLiteral("Full_") + c;
}
