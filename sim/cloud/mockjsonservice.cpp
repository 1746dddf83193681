#include "mockjsonservice.h"

#include <QCryptographicHash>
#include <QDate>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QUrl>

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
    setFirmware(m_firmwareVersion, m_firmware);
}

QByteArray MockJsonService::firmwarePath() const
{
    return "/firmware/" + QUrl::toPercentEncoding(m_firmwareVersion + QStringLiteral(".bin"));
}

void MockJsonService::setFirmware(const QString& version, const QByteArray& image)
{
    m_firmwareVersion = version;
    m_firmware = image;
    m_server->setHandler(firmwarePath(), [this](const MockRequest& r) { return serveFirmware(r); });
}

QString MockJsonService::firmwareUrl() const
{
    return m_server->url(QString::fromLatin1(firmwarePath()));
}

MockAnswer MockJsonService::serveFirmware(const MockRequest& request)
{
    if (request.method != "GET")
        return plain(405, "GET only\n");
    if (request.path != firmwarePath())
        return plain(404, "no such firmware\n");
    m_operations << QStringLiteral("firmware");
    MockAnswer answer;
    answer.contentType = "application/octet-stream";
    answer.body = m_firmware;
    return answer;
}

MockAnswer MockJsonService::firmwareInfo() const
{
    return json(QJsonObject{
        {QStringLiteral("result"), 0},
        {QStringLiteral("version"), m_firmwareVersion},
        {QStringLiteral("size"), m_firmware.size()},
        {QStringLiteral("hash"), QString::fromLatin1(QCryptographicHash::hash(m_firmware, QCryptographicHash::Md5).toHex())},
        {QStringLiteral("url"), firmwareUrl()},
    });
}

// id_code is the user's number as a string of digits, idm_no the card or "CLEAR".
MockAnswer MockJsonService::putUserIDm(const QJsonObject& body)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,18}$"));
    const QJsonValue id = body.value(QStringLiteral("id_code")), idm = body.value(QStringLiteral("idm_no"));
    if (!id.isString() || !digits.match(id.toString()).hasMatch() || !idm.isString() || idm.toString().isEmpty())
        return result(-1002);
    if (!m_idms.assign(QString::number(id.toString().toLongLong()), idm.toString()))
        return result(-60);
    emit stored();
    return result(0);
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
        if (!m_clients.contains(key) && m_acceptAnyClient && !key.isEmpty())
            m_clients.insert(key, true);
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
        emit stored();
        return result(0);
    }
    if (operation == QLatin1String("getVantroUser")) {
        QJsonArray users;
        for (const User& u : m_users) {
            QJsonObject user{{QStringLiteral("id_code"), u.idCode},
                             {QStringLiteral("name"), u.name},
                             {QStringLiteral("group_no"), u.groupNo},
                             {QStringLiteral("idm_no"), u.idm}};
            if (!u.idmUpdateTime.isEmpty())
                user.insert(QStringLiteral("idm_update_time"), u.idmUpdateTime);
            users.append(user);
        }
        return json(QJsonObject{{QStringLiteral("result"), 0}, {QStringLiteral("users"), users}});
    }
    if (operation == QLatin1String("getVantroUnyou")) {
        QJsonArray unyous;
        for (const Setting& setting : m_settings)
            unyous.append(QJsonObject{{QStringLiteral("key"), setting.key},
                                      {QStringLiteral("value"), setting.value},
                                      {QStringLiteral("update_time"), setting.updateTime}});
        return json(QJsonObject{{QStringLiteral("result"), 0}, {QStringLiteral("unyous"), unyous}});
    }
    if (operation == QLatin1String("getVantroCommCycle"))
        return json(QJsonObject{{QStringLiteral("result"), 0},
                                {QStringLiteral("comm_mmss"), m_commMmss},
                                {QStringLiteral("comm_cycle"), m_commCycle}});
    if (operation == QLatin1String("putUserIDm"))
        return putUserIDm(body);
    if (operation == QLatin1String("getServiceName"))
        return json(QJsonObject{{QStringLiteral("result"), 0}, {QStringLiteral("service_name"), m_serviceName}});
    if (operation == QLatin1String("getVantroFirmwareInfo"))
        return firmwareInfo();
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
    emit stored();
    return result(0);
}
