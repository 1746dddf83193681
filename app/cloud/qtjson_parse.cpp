#include "qtjson.h"

// The reader: a recursive descent over the text's UTF-16 code units, lenient about commas,
// trailing text, unknown escapes and number forms, strict about member names and colons.

namespace QtJson {
namespace {

enum class Token { None, ObjectStart, ObjectEnd, ArrayStart, ArrayEnd, Colon, Comma, String, Number, True, False, Null };

bool isWhitespace(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r');
}

bool isNumberChar(QChar c)
{
    const ushort u = c.unicode();
    return (u >= '0' && u <= '9') || u == '+' || u == '-' || u == '.' || u == 'e' || u == 'E';
}

void eatWhitespace(const QString& json, int& index)
{
    const int size = json.size();
    while (index < size && isWhitespace(json.at(index)))
        ++index;
}

// Matches a literal at the index, character by character; nothing is required after it.
bool matchLiteral(const QString& json, int& index, QLatin1String literal)
{
    if (json.size() - index < literal.size() || json.midRef(index, literal.size()) != literal)
        return false;
    index += literal.size();
    return true;
}

// Skips whitespace and returns the next token, advancing over it; a character that starts
// no token is not passed.
Token nextToken(const QString& json, int& index)
{
    eatWhitespace(json, index);
    if (index == json.size())
        return Token::None;
    const ushort c = json.at(index).unicode();
    switch (c) {
    case '{': ++index; return Token::ObjectStart;
    case '}': ++index; return Token::ObjectEnd;
    case '[': ++index; return Token::ArrayStart;
    case ']': ++index; return Token::ArrayEnd;
    case ':': ++index; return Token::Colon;
    case ',': ++index; return Token::Comma;
    case '"': ++index; return Token::String;
    case 't': return matchLiteral(json, index, QLatin1String("true")) ? Token::True : Token::None;
    case 'f': return matchLiteral(json, index, QLatin1String("false")) ? Token::False : Token::None;
    case 'n': return matchLiteral(json, index, QLatin1String("null")) ? Token::Null : Token::None;
    default:
        if (c == '-' || (c >= '0' && c <= '9')) {
            ++index;
            return Token::Number;
        }
        return Token::None;
    }
}

int hexDigit(ushort c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The four characters after "\u" as one UTF-16 code unit: read as QString::toInt with
// base 16 reads them (0 when they are no number), low 16 bits kept.
ushort escapedCodeUnit(const QString& json, int index)
{
    int value = 0;
    for (int i = 0; i < 4; ++i) {
        const int digit = hexDigit(json.at(index + i).unicode());
        if (digit < 0)
            return ushort(json.midRef(index, 4).toInt(nullptr, 16));
        value = value * 16 + digit;
    }
    return ushort(value);
}

// The string rule: the character at the start (after whitespace) is skipped unread, so a
// member name may stand behind any character that starts a token.
QString parseString(const QString& json, int& index, bool& success)
{
    eatWhitespace(json, index);
    ++index;
    const QChar* data = json.constData();
    const int size = json.size();
    QString result;
    int runStart = index;
    while (index < size) {
        const ushort c = data[index].unicode();
        if (c == '"') {
            result.append(data + runStart, index - runStart);
            ++index;
            return result;
        }
        if (c != '\\') {
            ++index;
            continue;
        }
        result.append(data + runStart, index - runStart);
        if (++index == size)
            break;
        const ushort escaped = data[index++].unicode();
        switch (escaped) {
        case '"': case '\\': case '/': result.append(QChar(escaped)); break;
        case 'b': result.append(QChar(0x08)); break;
        case 'f': result.append(QChar(0x0c)); break;
        case 'n': result.append(QChar(0x0a)); break;
        case 'r': result.append(QChar(0x0d)); break;
        case 't': result.append(QChar(0x09)); break;
        case 'u':
            if (size - index < 4) {
                success = false;
                return QString();
            }
            result.append(QChar(escapedCodeUnit(json, index)));
            index += 4;
            break;
        default: break;  // an unknown escape drops both characters
        }
        runStart = index;
    }
    success = false;
    return QString();
}

// Up to nine digits always fit the result type, so the common case skips Qt's general
// conversion; the results are the same.
bool shortDigits(const QStringRef& digits)
{
    if (digits.isEmpty() || digits.size() > 9)
        return false;
    for (QChar c : digits)
        if (c.unicode() < '0' || c.unicode() > '9')
            return false;
    return true;
}

uint shortValue(const QStringRef& digits)
{
    uint value = 0;
    for (QChar c : digits)
        value = value * 10 + (c.unicode() - '0');
    return value;
}

// The number rule, which never fails: the longest run of number characters becomes a
// double when it has a point, else the narrowest of int/qlonglong (negative) or
// uint/qulonglong that holds it, else the run's text.
QVariant parseNumber(const QString& json, int& index)
{
    eatWhitespace(json, index);
    const int start = index;
    while (index < json.size() && isNumberChar(json.at(index)))
        ++index;
    const QStringRef run = json.midRef(start, index - start);
    bool ok = false;
    if (run.contains(QLatin1Char('.'))) {
        const double value = run.toDouble(&ok);
        return ok ? value : 0.0;
    }
    if (run.startsWith(QLatin1Char('-'))) {
        const QStringRef digits = run.mid(1);
        if (shortDigits(digits))
            return -int(shortValue(digits));
        const int value = run.toInt(&ok);
        if (ok)
            return value;
        const qlonglong longValue = run.toLongLong(&ok);
        if (ok)
            return longValue;
        return run.toString();
    }
    if (shortDigits(run))
        return shortValue(run);
    const uint value = run.toUInt(&ok);
    if (ok)
        return value;
    const qulonglong longValue = run.toULongLong(&ok);
    if (ok)
        return longValue;
    return run.toString();
}

QVariant parseValue(const QString& json, int& index, bool& success, int depth, const ObjectObserver* observer);

// The loop shared by the object and array rules. `depth` counts the arrays and objects
// around this one. Commas anywhere are skipped, `end` closes the container, and
// `readEntry` reads one member or element, returning false on failure. A failure returns
// the container empty, not what was read so far.
template <typename Container, typename ReadEntry>
Container parseContainer(const QString& json, int& index, bool& success, int depth, Token end, ReadEntry readEntry)
{
    nextToken(json, index);
    if (depth >= maxDepth) {
        success = false;
        return Container();
    }
    Container container;
    for (;;) {
        int ahead = index;
        const Token token = nextToken(json, ahead);
        if (token == Token::None) {
            success = false;
            return Container();
        }
        if (token == Token::Comma || token == end) {
            index = ahead;
            if (token == end)
                return container;
            continue;
        }
        if (!readEntry(container))
            return Container();
    }
}

// A member name is read by the string rule whatever token stands before it. An observer is
// told of the members read, also when the object fails.
QVariantMap parseObject(const QString& json, int& index, bool& success, int depth, const ObjectObserver* observer)
{
    QVector<MemberSpan> spans;
    const QVariantMap map
        = parseContainer<QVariantMap>(json, index, success, depth, Token::ObjectEnd, [&](QVariantMap& map) {
              const QString name = parseString(json, index, success);
              if (!success)
                  return false;
              if (nextToken(json, index) != Token::Colon) {
                  success = false;
                  return false;
              }
              eatWhitespace(json, index);
              const int start = index;
              const QVariant value = parseValue(json, index, success, depth + 1, observer);
              if (observer)
                  spans.append({name, start, success ? index : json.size(), value});
              if (success)
                  map.insert(name, value);
              return success;
          });
    if (observer)
        (*observer)(spans);
    return map;
}

QVariantList parseArray(const QString& json, int& index, bool& success, int depth, const ObjectObserver* observer)
{
    return parseContainer<QVariantList>(json, index, success, depth, Token::ArrayEnd, [&](QVariantList& list) {
        const QVariant value = parseValue(json, index, success, depth + 1, observer);
        if (success)
            list.append(value);
        return success;
    });
}

QVariant parseValue(const QString& json, int& index, bool& success, int depth, const ObjectObserver* observer)
{
    int ahead = index;
    switch (nextToken(json, ahead)) {
    case Token::ObjectStart:
        return parseObject(json, index, success, depth, observer);
    case Token::ArrayStart:
        return parseArray(json, index, success, depth, observer);
    case Token::String: {
        const QString text = parseString(json, index, success);
        return success ? QVariant(text) : QVariant();
    }
    case Token::Number:
        return parseNumber(json, index);
    case Token::True:
        index = ahead;
        return true;
    case Token::False:
        index = ahead;
        return false;
    case Token::Null:
        index = ahead;
        return QVariant();
    default:
        success = false;
        return QVariant();
    }
}

}  // namespace

QVariant parse(const QString& json, bool& success)
{
    return parse(json, success, ObjectObserver());
}

QVariant parse(const QString& json, bool& success, const ObjectObserver& observer)
{
    success = true;
    if (json.isNull())
        return QVariant();
    int index = 0;
    return parseValue(json, index, success, 0, observer ? &observer : nullptr);
}

QVariant parse(const QString& json)
{
    bool success;
    return parse(json, success);
}

}  // namespace QtJson
