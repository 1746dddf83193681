#include "mocksoapservice.h"

#include <QCryptographicHash>
#include <QDate>
#include <QDateTime>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QXmlStreamReader>

namespace {

const QString soap11 = QStringLiteral("http://schemas.xmlsoap.org/soap/envelope/");

QString escaped(const QString& value)
{
    return value.toHtmlEscaped().replace(QLatin1Char('\''), QLatin1String("&apos;"));
}

QString element(const QString& name, const QString& value)
{
    return QStringLiteral("<%1>%2</%1>").arg(name, escaped(value));
}

// The children each operation takes, in their order.
QStringList childrenOf(const QString& operation)
{
    if (operation == QLatin1String("GetTokenSeed"))
        return {QStringLiteral("client_unique_key")};
    if (operation == QLatin1String("PutStampRaw"))
        return {QStringLiteral("token"), QStringLiteral("client_unique_key"), QStringLiteral("stamps")};
    if (operation == QLatin1String("PutUserIDm"))
        return {QStringLiteral("client_unique_key"), QStringLiteral("token"), QStringLiteral("users")};
    if (operation == QLatin1String("PutVantroInfo"))
        return {QStringLiteral("client_unique_key"), QStringLiteral("token"), QStringLiteral("version"),
                QStringLiteral("settings")};
    static const QStringList plain = {QStringLiteral("GetVantroDataUpdateTime"), QStringLiteral("GetVantroUser"),
                                      QStringLiteral("GetVantroSetting"), QStringLiteral("GetCommCycle"),
                                      QStringLiteral("GetServiceName"), QStringLiteral("GetFirmwareVersion"),
                                      QStringLiteral("GetFirmwareFile")};
    if (plain.contains(operation))
        return {QStringLiteral("client_unique_key"), QStringLiteral("token")};
    return {};
}

bool allDigits(const QString& text, int length = -1)
{
    if (text.isEmpty() || (length >= 0 && text.size() != length))
        return false;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

bool validStamp(const QHash<QString, QString>& s)
{
    static const QStringList kubuns = {QStringLiteral("001"), QStringLiteral("004"), QStringLiteral("102"),
                                       QStringLiteral("103"), QStringLiteral("114"), QStringLiteral("821")};
    static const QStringList flags = {QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"),
                                      QStringLiteral("3"), QStringLiteral("6")};
    const QString time = s.value(QStringLiteral("stamptime"));
    if (!allDigits(s.value(QStringLiteral("id_code"))) || !kubuns.contains(s.value(QStringLiteral("kubun")))
        || !flags.contains(s.value(QStringLiteral("flag"))) || !allDigits(time, 14))
        return false;
    const QDate day = QDate::fromString(time.left(8), QStringLiteral("yyyyMMdd"));
    const int h = time.mid(8, 2).toInt(), m = time.mid(10, 2).toInt(), sec = time.mid(12, 2).toInt();
    return day.isValid() && h <= 47 && m <= 59 && sec <= 59;
}

}  // namespace

// A request body as the service reads it.
struct MockSoapService::Parsed {
    QString error;
    QString operation;
    QString ns;
    QStringList order;
    QHash<QString, QString> values;
    QList<QHash<QString, QString>> stamps;
    QList<QHash<QString, QString>> users;
    QList<QPair<QString, QString>> settings;

    explicit Parsed(const QByteArray& body)
    {
        if (body.contains("<!DOCTYPE")) {
            error = QStringLiteral("document type");
            return;
        }
        QXmlStreamReader r(body);
        if (!r.readNextStartElement() || r.name() != QLatin1String("Envelope") || r.namespaceUri() != soap11) {
            error = QStringLiteral("no SOAP 1.1 envelope");
            return;
        }
        while (r.readNextStartElement()) {
            if (r.name() == QLatin1String("Header") && r.namespaceUri() == soap11) {
                r.skipCurrentElement();
            } else if (r.name() == QLatin1String("Body") && r.namespaceUri() == soap11 && operation.isEmpty()) {
                if (!r.readNextStartElement()) {
                    error = QStringLiteral("empty body");
                    return;
                }
                operation = r.name().toString();
                ns = r.namespaceUri().toString();
                readOperation(r);
                if (r.readNextStartElement())
                    error = QStringLiteral("more than one operation");
            } else {
                error = QStringLiteral("unexpected element ") + r.name().toString();
                return;
            }
        }
        if (r.hasError())
            error = r.errorString();
        else if (operation.isEmpty() && error.isEmpty())
            error = QStringLiteral("no operation");
    }

    void readOperation(QXmlStreamReader& r)
    {
        while (r.readNextStartElement()) {
            const QString child = r.name().toString();
            order << child;
            if (child == QLatin1String("stamps")) {
                while (r.readNextStartElement()) {
                    if (r.name() != QLatin1String("StampRaw")) {
                        error = QStringLiteral("stamps holds ") + r.name().toString();
                        r.skipCurrentElement();
                        continue;
                    }
                    QHash<QString, QString> stamp;
                    QStringList fields;
                    while (r.readNextStartElement()) {
                        fields << r.name().toString();
                        stamp.insert(r.name().toString(), r.readElementText());
                    }
                    if (fields != QStringList{QStringLiteral("id_code"), QStringLiteral("kubun"),
                                              QStringLiteral("stamptime"), QStringLiteral("flag")})
                        error = QStringLiteral("StampRaw children ") + fields.join(QLatin1Char(','));
                    stamps << stamp;
                }
            } else if (child == QLatin1String("users")) {
                while (r.readNextStartElement()) {
                    QHash<QString, QString> user;
                    QStringList fields;
                    while (r.readNextStartElement()) {
                        fields << r.name().toString();
                        user.insert(r.name().toString(), r.readElementText());
                    }
                    if (fields != QStringList{QStringLiteral("id_code"), QStringLiteral("idm"),
                                              QStringLiteral("idm_update_time")})
                        error = QStringLiteral("UserIDm children ") + fields.join(QLatin1Char(','));
                    users << user;
                }
            } else if (child == QLatin1String("settings")) {
                while (r.readNextStartElement()) {
                    QPair<QString, QString> pair;
                    QStringList fields;
                    while (r.readNextStartElement()) {
                        fields << r.name().toString();
                        (r.name() == QLatin1String("name") ? pair.first : pair.second) = r.readElementText();
                    }
                    if (fields != QStringList{QStringLiteral("name"), QStringLiteral("value")})
                        error = QStringLiteral("VantroSetting children ") + fields.join(QLatin1Char(','));
                    settings << pair;
                }
            } else {
                values.insert(child, r.readElementText());
            }
        }
    }
};

MockSoapService::MockSoapService(MockHttpServer* server, QObject* parent)
    : QObject(parent)
    , m_server(server)
    , m_now([] { return QDateTime::currentSecsSinceEpoch(); })
{
    server->setHandler(servicePath, [this](const MockRequest& r) { return handle(r); });
    server->setFaultChooser([this](const MockRequest& r, MockFault* f) { return chooseFault(r, f); });
}

QString MockSoapService::serviceUrl() const
{
    return m_server->url(QString::fromLatin1(servicePath));
}

void MockSoapService::addClient(const QString& key, const QString& cloudKey, bool enabled)
{
    Client& c = m_clients[key];
    c.cloudKey = cloudKey;
    c.enabled = enabled;
}

void MockSoapService::setClientEnabled(const QString& key, bool enabled)
{
    const auto client = m_clients.find(key);
    if (client != m_clients.end())
        client->enabled = enabled;
}

void MockSoapService::scriptResult(const QString& operation, const QString& result, int nth)
{
    m_resultScripts[operation].append({nth, result});
}

void MockSoapService::scriptFault(const QString& operation, const MockFault& fault, int nth)
{
    m_faultScripts[operation].append({nth, fault});
}

QStringList MockSoapService::operations() const
{
    QStringList ops;
    for (const Call& c : m_calls)
        ops << c.operation;
    return ops;
}

// Counts every call of an operation, whatever becomes of it, and picks a scripted fault.
bool MockSoapService::chooseFault(const MockRequest& request, MockFault* fault)
{
    if (request.path != servicePath)
        return false;
    QByteArray action = request.header("SOAPAction");
    action = action.mid(action.lastIndexOf('/') + 1);
    if (action.endsWith('"'))
        action.chop(1);
    const QString operation = QString::fromUtf8(action);
    m_currentCount = ++m_callCounts[operation];
    for (const auto& entry : m_faultScripts.value(operation)) {
        if (entry.first == 0 || entry.first == m_currentCount) {
            *fault = entry.second;
            return true;
        }
    }
    return false;
}

MockAnswer MockSoapService::answer(const QString& operation, const QString& result, const QString& elements) const
{
    const QString text = QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>"
                                        "<soap:Envelope xmlns:soap=\"%1\"><soap:Body>"
                                        "<%2Response xmlns=\"%3\">%4%5</%2Response>"
                                        "</soap:Body></soap:Envelope>")
                             .arg(soap11, operation, escaped(serviceUrl()), element(QStringLiteral("result"), result),
                                  elements);
    return MockAnswer{200, "text/xml; charset=utf-8", text.toUtf8()};
}

MockAnswer MockSoapService::soapFault(const QString& reason) const
{
    const QString text = QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>"
                                        "<soap:Envelope xmlns:soap=\"%1\"><soap:Body><soap:Fault>"
                                        "<faultcode>soap:Client</faultcode>%2"
                                        "</soap:Fault></soap:Body></soap:Envelope>")
                             .arg(soap11, element(QStringLiteral("faultstring"), reason));
    return MockAnswer{500, "text/xml; charset=utf-8", text.toUtf8()};
}

// "" when the token is made from an open seed of the client (which is then spent), else "-20".
QString MockSoapService::checkToken(Client* client, const QString& token)
{
    const qint64 now = m_now();
    for (int i = 0; i < client->seeds.size(); ++i) {
        const auto& seed = client->seeds[i];
        if (seed.second < now)
            continue;
        const QString expected = QString::fromLatin1(
            QCryptographicHash::hash((client->cloudKey + seed.first).toUtf8(), QCryptographicHash::Md5).toHex());
        if (token == expected) {
            client->seeds.removeAt(i);
            m_acceptedTokens << token;
            return QString();
        }
    }
    return QStringLiteral("-20");
}

MockAnswer MockSoapService::handle(const MockRequest& request)
{
    const QString url = serviceUrl();
    if (request.method != "POST")
        return soapFault(QStringLiteral("method ") + QString::fromLatin1(request.method));
    if (request.header("Content-Type") != "text/xml; charset=utf-8")
        return soapFault(QStringLiteral("content type"));
    const Parsed parsed(request.body);
    if (!parsed.error.isEmpty())
        return soapFault(parsed.error);
    const QString op = parsed.operation;
    if (QString::fromUtf8(request.header("SOAPAction")) != QStringLiteral("\"%1/%2\"").arg(url, op))
        return soapFault(QStringLiteral("SOAPAction"));
    if (parsed.ns != url)
        return soapFault(QStringLiteral("namespace"));
    const QStringList expected = childrenOf(op);
    if (expected.isEmpty() || parsed.order != expected)
        return soapFault(QStringLiteral("children ") + parsed.order.join(QLatin1Char(',')));

    const QString key = parsed.values.value(QStringLiteral("client_unique_key"));
    auto reply = [&](const QString& result, const QString& elements = QString()) {
        m_calls.append({op, key, result});
        return answer(op, result, elements);
    };
    if (m_acceptAnyClient && !key.isEmpty() && !m_clients.contains(key))
        addClient(key);
    const auto client = m_clients.find(key);
    if (client == m_clients.end())
        return reply(QStringLiteral("-10"));
    if (!client->enabled)
        return reply(QStringLiteral("-11"));

    if (op == QLatin1String("GetTokenSeed")) {
        for (const auto& entry : m_resultScripts.value(op)) {
            if (entry.first == 0 || entry.first == m_currentCount)
                return reply(entry.second);
        }
        const qint64 now = m_now();
        client->seeds.erase(std::remove_if(client->seeds.begin(), client->seeds.end(),
                                           [now](const QPair<QString, qint64>& s) { return s.second < now; }),
                            client->seeds.end());
        while (client->seeds.size() >= MaxOpenSeeds)
            client->seeds.removeFirst();
        quint32 words[4];
        QRandomGenerator::system()->fillRange(words);
        QString seed;
        for (const quint32 w : words)
            seed += QStringLiteral("%1").arg(w, 8, 16, QLatin1Char('0'));
        client->seeds.append({seed, now + SeedLifetimeSeconds});
        m_issuedSeeds << seed;
        return reply(QStringLiteral("0"), element(QStringLiteral("seed"), seed));
    }

    const QString tokenResult = checkToken(&client.value(), parsed.values.value(QStringLiteral("token")));
    if (!tokenResult.isEmpty())
        return reply(tokenResult);
    for (const auto& entry : m_resultScripts.value(op)) {
        if (entry.first == 0 || entry.first == m_currentCount)
            return reply(entry.second);
    }

    if (op == QLatin1String("GetVantroDataUpdateTime")) {
        QString groups;
        for (const UpdateTime& t : m_updateTimes) {
            groups += QStringLiteral("<VantroDataUpdateTime>") + element(QStringLiteral("data_kind"), QString::number(t.kind))
                      + element(QStringLiteral("update_time"), t.time)
                      + element(QStringLiteral("count"), QString::number(t.count)) + QStringLiteral("</VantroDataUpdateTime>");
        }
        return reply(QStringLiteral("0"), groups);
    }
    if (op == QLatin1String("GetVantroSetting")) {
        QString settings;
        for (const auto& setting : m_settings) {
            settings += QStringLiteral("<Setting>") + element(QStringLiteral("name"), setting.first)
                        + element(QStringLiteral("value"), QString::number(setting.second)) + QStringLiteral("</Setting>");
        }
        return reply(QStringLiteral("0"), settings);
    }
    if (op == QLatin1String("GetCommCycle")) {
        const QStringList names = {QStringLiteral("start_sec"), QStringLiteral("cycle_sec"),
                                   QStringLiteral("unserviced_start"), QStringLiteral("unserviced_end")};
        QString values;
        for (int i = 0; i < names.size(); ++i)
            values += element(names[i], QString::number(m_commCycle.value(i)));
        return reply(QStringLiteral("0"), values);
    }
    if (op == QLatin1String("GetVantroUser")) {
        QString users;
        for (const User& u : m_users) {
            users += QStringLiteral("<User>") + element(QStringLiteral("id_code"), u.idCode)
                     + element(QStringLiteral("name"), u.name) + element(QStringLiteral("group_code"), u.groupCode)
                     + element(QStringLiteral("idm"), u.idm) + QStringLiteral("</User>");
        }
        return reply(QStringLiteral("0"), users);
    }
    if (op == QLatin1String("GetServiceName"))
        return reply(QStringLiteral("0"), element(QStringLiteral("service_name"), QStringLiteral("VantroQo mock cloud")));
    if (op == QLatin1String("GetFirmwareVersion")) {
        const QString hash = QString::fromLatin1(QCryptographicHash::hash(m_firmware, QCryptographicHash::Md5).toHex());
        return reply(QStringLiteral("0"), element(QStringLiteral("version"), m_firmwareVersion)
                                              + element(QStringLiteral("size"), QString::number(m_firmware.size()))
                                              + element(QStringLiteral("hash"), hash));
    }
    if (op == QLatin1String("GetFirmwareFile")) {
        QString data = QString::fromLatin1(m_firmware.toBase64());
        for (int at = 76; at < data.size(); at += 77)
            data.insert(at, QLatin1Char('\n'));
        return reply(QStringLiteral("0"), element(QStringLiteral("firmware_data"), data));
    }
    if (op == QLatin1String("PutUserIDm")) {
        const auto storedAfter = qScopeGuard([this] { emit stored(); });
        for (const auto& user : parsed.users) {
            const QString idCode = QString::number(user.value(QStringLiteral("id_code")).toLongLong());
            const QString idm = user.value(QStringLiteral("idm"));
            const QDateTime when = QDateTime::fromString(user.value(QStringLiteral("idm_update_time")),
                                                         QStringLiteral("yyyyMMddhhmmss"));
            if (!when.isValid() || when.toSecsSinceEpoch() > m_now() + 300)
                return reply(QStringLiteral("-61"));
            if (!m_idms.assign(idCode, idm))
                return reply(QStringLiteral("-60"));
        }
        return reply(QStringLiteral("0"));
    }
    if (op == QLatin1String("PutStampRaw")) {
        for (const auto& s : parsed.stamps) {
            if (!validStamp(s))
                return reply(QStringLiteral("-1"));
        }
        const auto storedAfter = qScopeGuard([this] { emit stored(); });
        for (const auto& s : parsed.stamps) {
            const StoredStamp stamp{key, s.value(QStringLiteral("id_code")), s.value(QStringLiteral("kubun")),
                                    s.value(QStringLiteral("stamptime")), s.value(QStringLiteral("flag"))};
            const QString id = QStringList{stamp.clientKey, stamp.idCode, stamp.kubun, stamp.stamptime, stamp.flag}.join(QLatin1Char('\n'));
            if (!m_stampKeys.contains(id)) {
                m_stampKeys.insert(id);
                m_stamps.append(stamp);
            }
        }
        return reply(QStringLiteral("0"));
    }
    if (op == QLatin1String("PutVantroInfo")) {
        const auto storedAfter = qScopeGuard([this] { emit stored(); });
        m_status.insert(key, parsed.settings);
        m_versions.insert(key, parsed.values.value(QStringLiteral("version")));
        return reply(QStringLiteral("0"));
    }
    return reply(QStringLiteral("0"));
}
