#include "httplogmask.h"

#include "loggabletext.h"

#include <QRegularExpression>

namespace logmask {

namespace {

const QString hidden = QStringLiteral("****");

// An optional namespace prefix of an XML name ("soap:", "ns1:").
const QString xmlPrefix = QStringLiteral("(?:[A-Za-z_][\\w.-]*:)?");
// A JSON string literal with its escapes.
const QString jsonString = QStringLiteral("\"(?:[^\"\\\\]|\\\\.)*\"");

QString maskXmlTokens(QString text)
{
    static const QRegularExpression token(
        QStringLiteral("(<%1(token|seed)(?:\\s[^>]*)?>)[^<]*(</%1\\2\\s*>)").arg(xmlPrefix));
    return text.replace(token, QStringLiteral("\\1") + hidden + QStringLiteral("\\3"));
}

QString maskJsonTokens(QString text)
{
    static const QRegularExpression token(
        QStringLiteral("(\"token\"\\s*:\\s*)(?:%1|[^,}\\]\\s]+)").arg(jsonString));
    return text.replace(token, QStringLiteral("\\1\"") + hidden + QStringLiteral("\""));
}

// Bodies without the password setting (every stamp upload) skip the expressions.
bool mayHoldPassword(const QString& text)
{
    return text.contains(QLatin1String("admin_password")) || text.contains(QStringLiteral("管理者パスワード"));
}

// <name>admin_password</name> followed by its <value>...</value>.
QString maskXmlPassword(QString text)
{
    if (!mayHoldPassword(text))
        return text;
    static const QRegularExpression pair(
        QStringLiteral("(<%1name(?:\\s[^>]*)?>\\s*(?:admin_password|管理者パスワード)\\s*</%1name\\s*>"
                       "\\s*<%1value(?:\\s[^>]*)?>)[^<]*(<)")
            .arg(xmlPrefix));
    return text.replace(pair, QStringLiteral("\\1") + hidden + QStringLiteral("\\2"));
}

// Every flat JSON object whose "key" is "admin_password" gets its "value" hidden.
QString maskJsonPassword(const QString& text)
{
    if (!mayHoldPassword(text))
        return text;
    static const QRegularExpression object(QStringLiteral("\\{[^{}]*\\}"));
    static const QRegularExpression key(
        QStringLiteral("\"key\"\\s*:\\s*\"(?:admin_password|管理者パスワード)\""));
    static const QRegularExpression value(
        QStringLiteral("(\"value\"\\s*:\\s*)(?:%1|[^,}\\s]+)").arg(jsonString));
    QString out;
    int from = 0;
    auto it = object.globalMatch(text);
    while (it.hasNext()) {
        const auto match = it.next();
        out += text.mid(from, match.capturedStart() - from);
        QString piece = match.captured();
        if (piece.contains(key))
            piece.replace(value, QStringLiteral("\\1\"") + hidden + QStringLiteral("\""));
        out += piece;
        from = match.capturedEnd();
    }
    out += text.mid(from);
    return out;
}

}  // namespace

QString maskSecret(const QString& secret)
{
    return hidden + QStringLiteral("(%1)").arg(secret.size());
}

QString maskBody(const QString& body)
{
    return maskJsonPassword(maskXmlPassword(maskJsonTokens(maskXmlTokens(body))));
}

QString bodyForLog(const QString& body)
{
    return vnq::loggableText(maskBody(body));
}

}  // namespace logmask
