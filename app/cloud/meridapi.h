#pragma once

#include "meridbody.h"
#include "updatestate.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>

#include <atomic>

class HttpClient;

// The JSON client of the Merid edition. It lives on its worker thread with its HTTP client; a
// request is claimed on the caller's thread (the running mode is atomic) and carried out on
// the worker. A chain takes a token ("getToken"), runs its operations and hands the token back
// ("/releaseToken"); the client is idle again when the release is answered.
class MeridAPI : public QObject {
    Q_OBJECT
public:
    static constexpr const char* defaultServiceUrl = "https://merid.vantroqo.invalid/api/communication/";
    static constexpr const char* testClientKey = "QA9VKSAMP3";
    static constexpr int StampBatch = 200;
    // Token renewals after -1101 for one stamp batch before the batch counts as failed.
    static constexpr int MaxTokenRenewals = 3;
    // The code of an answer that could not be used.
    static constexpr int NoAnswer = -9999;
    static constexpr int TokenExpired = -1101;

    static MeridAPI* getInstance();
    explicit MeridAPI(QObject* parent = nullptr);

    // The key derived from a terminal serial number ("QOM10" + one digit + four digits).
    static QString deriveClientKey(const QString& serialNumber);
    // The integer "result" of an answer: a JSON integer or a string holding a decimal integer.
    // False when the text is not a JSON object or has no such member.
    static bool answerResult(const QByteArray& answer, int* result, QVariantMap* object = nullptr);

    // Set once by the constructor; safe to read from any thread.
    const QString& clientKey() const { return m_clientKey; }
    const QString& baseUrl() const { return m_baseUrl; }
    HttpClient* httpClient() const { return m_http; }

public slots:
    bool busy() const { return m_mode.load() != 0; }
    // Claims the client for a chain and queues its start to the worker; a refusal, and the
    // silent repeat of the running mode, happen at once on the caller's thread. Any thread.
    bool startDataRequest(int mode, QString str1, QString str2, QString str3);

signals:
    void receiveFinish(int ret, QString option);
    void allUpdateFinish(int ret, QString option);
    void allStampSend(int ret, QString option);
    void putInfoFinish(int ret, QString option);
    void apiInfo(int ret, QString info);
    void finishedDakokuSending(int resultCode, int dakokuSendCount);
    void finishedPutUserIDm(int resultCode);
    void finishedGetServiceName(int resultCode);
    void finishedFirmwareVersion(int resultCode, QString version, int size, QString md5hash);
    void finishedGetFirmware(int resultCode);
    void upProgress(int send, int total);
    void downProgress(int recieved, int total);

private slots:
    void recieveCB(int ret, QString option);
    void resGetTokenSeed(int ret, HttpClient* obj);
    void resDeleteTokenSeed(int ret, HttpClient* obj);
    void resGetVantroDataUpdateTime(int ret, HttpClient* obj);
    void resPutStamp(int ret, HttpClient* obj);
    void resPutVantroInfo(int ret, HttpClient* obj);
    void resGetVantroUser(int ret, HttpClient* obj);
    void resGetVantroSetting(int ret, HttpClient* obj);
    void resGetCommCycle(int ret, HttpClient* obj);
    void resPutUserIDm(int ret, HttpClient* obj);
    void resGetServiceName(int ret, HttpClient* obj);
    void resGetFirmwareVersion(int ret, HttpClient* obj);
    void resGetFirmwareFile(int ret, HttpClient* obj);
    void uploadProgress(int sent, int total);
    void downloadProgress(int recieved, int total);

private:
    using Handler = void (MeridAPI::*)(int, HttpClient*);

    void runDataRequest(int mode, const QString& str1, const QString& str2, const QString& str3);
    int mode() const { return m_mode.load(); }
    void refuse(int mode);

    // The exchange machinery shared by every operation.
    int post(const QString& path, const QString& body, Handler handler);
    // A body of the client key and the token, for further members.
    MeridBody tokenBody() const;
    // A chain step's request: its progress text, then the POST.
    void postStep(const QString& progress, const QString& path, const QString& body, Handler handler);
    // A chain step's end: the progress text the exchange earned, the error log, the step text.
    void endStep(int ret, HttpClient* obj, const QString& done, const QString& failed, const QString& step);
    // Reads the answer into m_resultCode (-9999 when unusable); the object when wanted.
    bool readAnswer(int ret, HttpClient* obj, QVariantMap* object = nullptr);
    void logFailedAnswer(int ret, HttpClient* obj) const;

    // Chain steps.
    void getTokenSeed();
    void deleteTokenSeed();
    void getVantroDataUpdateTime();
    void getVantroUser();
    void getVantroSetting();
    void getCommCycle();
    void putStamp();
    void putVantroInfo();
    void endChain();
    void finishChain(const QString& option);
    void updateWalk(const QString& option);
    // A download's end for its kind's update entry: no longer pending, and not recorded
    // unless the download was applied.
    void settleDownload(int kind, bool applied);
    // Fills the master reload copy from a users answer; true when all of it went in.
    bool loadUserMaster(const QVariantMap& answer);
    void putUserIDm();
    void getServiceName();
    void getFirmwareVersion();
    void getFirmwareFile();
    // Ends a card, service or firmware-version chain with its end signal.
    void finishSingle(const QString& option);
    // Whether the firmware URL of the last version answer may be fetched.
    bool firmwareUrlAllowed() const;
    void dropPageCache();

    HttpClient* m_http = nullptr;
    QString m_baseUrl;
    QString m_clientKey;
    std::atomic<int> m_mode{0};
    int m_resultCode = NoAnswer;
    QString m_token;
    int m_batchSize = 0;
    int m_stampCount = 0;
    QList<int> m_batchRowids;
    int m_idmUserId = 0;
    QString m_idm;
    QString m_idmDate;
    int m_firmwareSize = 0;
    QString m_firmwareVersion;
    QString m_firmwareHash;
    QString m_firmwareUrl;
    QList<UpdateState> m_updateStates;
    QList<int> m_updateKinds;
    int m_renewals = 0;
};
