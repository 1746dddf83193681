#include "mockjsonservice.h"

#include <QDate>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRandomGenerator>

namespace {

const QStringList operationNames = {
    QStringLiteral("getToken"),       QStringLiteral("releaseToken"),       QStringLiteral("getServiceName"),
    QStringLiteral("getVantroDataUpdateTime"), QStringLiteral("getVantroUser"), QStringLiteral("getVantroUnyou"),
    QStringLiteral("getVantroCommCycle"), QStringLiteral("putVantroInfo"),  QStringLiteral("putStamp"),
    QStringLiteral("putUserIDm"),     QStringLiteral("getVantroFirmwareInfo"),
};

const QByteArray jsonType = "application/json; charset=utf-8";

MockAnswer json(const QJsonObject& object, int status = 200)
{
    MockAnswer answer;
    answer.status = status;
    answer.contentType = jsonType;
    answer.body = QJsonDocument(object).toJson(QJsonDocument::Compact);
    return answer;
}

MockAnswer result(int code)
{
    return json(QJsonObject{{QStringLiteral("result"), code}});
}

MockAnswer plain(int status, const QByteArray& text)
{
    MockAnswer answer;
    answer.status = status;
    answer.body = text;
    return answer;
}

QString newToken()
{
    QString token;
    for (int i = 0; i < 4; ++i)
        token += QStringLiteral("%1").arg(QRandomGenerator::system()->generate(), 8, 16, QLatin1Char('0'));
    return token;
}

bool isInteger(const QJsonValue& v)
{
    return v.isDouble() && v.toDouble() == double(qint64(v.toDouble()));
}

bool validStamp(const QJsonValue& value)
{
    const QJsonObject s = value.toObject();
    static const QStringList members = {QStringLiteral("ymd"), QStringLiteral("hms"), QStringLiteral("id_code"),
                                        QStringLiteral("kubun"), QStringLiteral("flag")};
    for (const QString& m : members) {
        if (!isInteger(s.value(m)))
            return false;
    }
    const int ymd = s.value(QStringLiteral("ymd")).toInt();
    const int hms = s.value(QStringLiteral("hms")).toInt();
    static const QList<int> kubuns = {1, 4, 102, 103, 114, 821};
    static const QList<int> flags = {0, 1, 2, 3, 6};
    return value.isObject() && QDate(ymd / 10000, ymd / 100 % 100, ymd % 100).isValid() && hms >= 0
           && hms / 10000 <= 47 && hms / 100 % 100 < 60 && hms % 100 < 60 && s.value(QStringLiteral("id_code")).toInt() >= 0
           && kubuns.contains(s.value(QStringLiteral("kubun")).toInt())
           && flags.contains(s.value(QStringLiteral("flag")).toInt());
}

}  // namespace

MockJsonService::MockJsonService(MockHttpServer* server, QObject* parent)
    : QObject(parent)
    , m_server(server)
    , m_now([] { return QDateTime::currentSecsSinceEpoch(); })
{
    for (const QString& operation : operationNames)
        server->setHandler(pathOf(operation), [this, operation](const MockRequest& r) { return handle(operation, r); });
}

QString MockJsonService::serviceUrl() const
{
    return m_server->url(QString::fromLatin1(basePath));
}

QByteArray MockJsonService::pathOf(const QString& operation)
{
    // The client joins its paths to the base URL as they stand: the token path has no slash
    // of its own, the others one more.
    const QByteArray name = operation.toUtf8();
    return QByteArray(basePath) + (operation == QLatin1String("getToken") ? name : "/" + name);
}

void MockJsonService::scriptResult(const QString& operation, int result, int nth)
{
    m_scripts[operation].append({nth, result});
}

MockAnswer MockJsonService::handle(const QString& operation, const MockRequest& request)
{
    if (request.method != "POST")
        return plain(405, "POST only\n");
    if (request.header("Content-Type") != jsonType)
        return plain(415, "application/json; charset=utf-8 only\n");
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(request.body, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return plain(400, "the body is not a JSON object\n");
    m_operations << operation;
    const int nth = callCount(operation);
    for (const auto& script : m_scripts.value(operation)) {
        if (script.first == 0 || script.first == nth)
            return result(script.second);
    }
    return operate(operation, document.object());
}

MockAnswer MockJsonService::operate(const QString& operation, const QJsonObject& body)
{
    const QString key = body.value(QStringLiteral("client_key")).toString();
    if (operation == QLatin1String("getToken")) {
        if (!m_clients.contains(key))
            return result(-1003);
        if (!m_clients.value(key))
            return result(-1004);
        const QString token = newToken();
        m_tokens.insert(token, Token{key, m_now() + TokenLifetimeSeconds});
        m_issued << token;
        return json(QJsonObject{{QStringLiteral("result"), 0}, {QStringLiteral("token"), token}});
    }

    const QString token = body.value(QStringLiteral("token")).toString();
    const auto found = m_tokens.find(token);
    if (found == m_tokens.end())
        return result(m_ended.contains(token) ? -1101 : -1002);
    if (found->clientKey != key)
        return result(-1002);
    if (found->expiry <= m_now()) {
        m_tokens.erase(found);
        m_ended.insert(token);
        return result(-1101);
    }
    if (operation == QLatin1String("releaseToken")) {
        m_tokens.erase(found);
        m_ended.insert(token);
        return result(0);
    }
    if (operation == QLatin1String("getVantroDataUpdateTime")) {
        QJsonArray times;
        for (const UpdateTime& t : m_updateTimes)
            times.append(QJsonObject{{QStringLiteral("data_kind"), t.kind}, {QStringLiteral("update_time"), t.time}});
        return json(QJsonObject{{QStringLiteral("result"), 0}, {QStringLiteral("update_times"), times}});
    }
    if (operation == QLatin1String("putStamp"))
        return putStamp(key, body);
    if (operation == QLatin1String("putVantroInfo")) {
        QList<Info> infos;
        for (const QJsonValue& v : body.value(QStringLiteral("infos")).toArray()) {
            const QJsonObject o = v.toObject();
            const QJsonValue k = o.value(QStringLiteral("key")), val = o.value(QStringLiteral("value")),
                             t = o.value(QStringLiteral("update_time"));
            if (!k.isString() || !val.isString() || !t.isString())
                return result(-1002);
            infos << Info{k.toString(), val.toString(), t.toString()};
        }
        m_status.insert(key, infos);
        return result(0);
    }
    return result(0);
}

MockAnswer MockJsonService::putStamp(const QString& clientKey, const QJsonObject& body)
{
    const QJsonValue list = body.value(QStringLiteral("stamps"));
    if (!list.isArray())
        return result(-1002);
    const QJsonArray stamps = list.toArray();
    for (const QJsonValue& s : stamps) {
        if (!validStamp(s))
            return result(-1002);
    }
    for (const QJsonValue& v : stamps) {
        const QJsonObject s = v.toObject();
        const StoredStamp stamp{clientKey,
                                s.value(QStringLiteral("ymd")).toInt(),
                                s.value(QStringLiteral("hms")).toInt(),
                                s.value(QStringLiteral("id_code")).toInt(),
                                s.value(QStringLiteral("kubun")).toInt(),
                                s.value(QStringLiteral("flag")).toInt()};
        const QString identity = QStringLiteral("%1/%2/%3/%4/%5/%6")
                                     .arg(clientKey)
                                     .arg(stamp.ymd)
                                     .arg(stamp.hms)
                                     .arg(stamp.idCode)
                                     .arg(stamp.kubun)
                                     .arg(stamp.flag);
        if (!m_stampKeys.contains(identity)) {
            m_stampKeys.insert(identity);
            m_stamps << stamp;
        }
    }
    return result(0);
}
