#pragma once

#include "updatestate.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>

#include <atomic>
#include <functional>

class DownloadedSettings;
class HttpClient;
class QXmlStreamReader;

// The SOAP client of the cloud edition. It lives on its worker thread with its HTTP client;
// a request is claimed on the caller's thread (the running mode is atomic) and carried out on
// the worker. Every operation is two exchanges: a fresh token, then the operation.
class CloudAPI : public QObject {
    Q_OBJECT
public:
    static constexpr const char* defaultServiceUrl = "https://cloud.vantroqo.invalid/vqcloud/WebService";
    static constexpr const char* defaultCloudKey = "pzorbitHx4n7dRw";
    static constexpr const char* testClientKey = "QA9VKSAMP3";
    static constexpr int StampBatch = 200;
    static constexpr int UpdateKinds = 11;

    static CloudAPI* getInstance();
    explicit CloudAPI(QObject* parent = nullptr);

    // The key derived from a terminal serial number ("QOC01" + one digit + four digits).
    static QString deriveClientKey(const QString& serialNumber);

    // Set once by the constructor; safe to read from any thread.
    const QString& clientUniqueKey() const { return m_clientUniqueKey; }
    const QString& serviceUrl() const { return m_serviceUrl; }
    HttpClient* httpClient() const { return m_http; }

public slots:
    // A chain or a single operation runs.
    bool busy() const { return m_mode.load() != 0; }
    // Claims the client for a chain and queues its start to the worker; a refusal is emitted
    // at once on the caller's thread. Any thread.
    bool startDataRequest(quint8 mode);
    void dakokuDataSending();
    void sendDakokuData();
    // The single operations: claimed on the caller's thread like a chain (a refusal is their
    // finished signal at once), run on the worker; they leave the chain mode at 0.
    bool putUserIDm(int id, QString idm, QString date);
    bool getServiceName();
    bool getFirmwareVersion();
    bool getFirmwareFile();

signals:
    void receiveFinish(int ret, QString option);
    void allUpdateFinish(int ret, QString option);
    void allStampSend(int ret, QString option);
    void putInfoFinish(int ret, QString option);
    void apiInfo(int ret, QString info);
    void finishedDakokuSending(QString resultCode, int dakokuSendCount);
    void finishedPutUserIDm(QString resultCode);
    void finishedGetServiceName(QString resultCode);
    void finishedFirmwareVersion(QString resultCode, QString version, int size, QString md5hash);
    void finishedGetFirmware(QString resultCode);
    void upProgress(int send, int total);
    void downProgress(int recieved, int total);

private slots:
    void recieveCB(int ret, QString option);
    void stopReceivedForGetTokenFailed(int ret, HttpClient* obj);
    void cascadeOrFinish(int ret, HttpClient* obj, QString nextProcString);
    void cascadeOrFinish(int ret, HttpClient* obj);

    void resGetVantroDataUpdateTime(int ret, HttpClient* obj);
    void resGetVantroDataUpdateTime2(int ret, HttpClient* obj);
    void resPutStampRaw(int ret, HttpClient* obj);
    void resPutStampRaw2(int ret, HttpClient* obj);
    void resPutStampRawByManual(int ret, HttpClient* obj);
    void resPutStampRaw2ByManual(int ret, HttpClient* obj);
    void resGetVantroUser(int ret, HttpClient* obj);
    void resGetVantroUser2(int ret, HttpClient* obj);
    void resGetVantroSetting(int ret, HttpClient* obj);
    void resGetVantroSetting2(int ret, HttpClient* obj);
    void resGetCommCycle(int ret, HttpClient* obj);
    void resGetCommCycle2(int ret, HttpClient* obj);
    void resPutVantroInfo(int ret, HttpClient* obj);
    void resPutVantroInfo2(int ret, HttpClient* obj);
    void resPutUserIDm(int ret, HttpClient* obj);
    void resPutUserIDm2(int ret, HttpClient* obj);
    void resGetServiceName(int ret, HttpClient* obj);
    void resGetServiceName2(int ret, HttpClient* obj);
    void resGetFirmwareVersion(int ret, HttpClient* obj);
    void resGetFirmwareVersion2(int ret, HttpClient* obj);
    void resGetFirmwareFile(int ret, HttpClient* obj);
    void resGetFirmwareFile2(int ret, HttpClient* obj);

    void uploadProgress(int sent, int total);
    void downloadProgress(int recieved, int total);

private:
    using Handler = void (CloudAPI::*)(int, HttpClient*);

    void runDataRequest(quint8 mode);
    // The running chain's mode; 0 also while a single operation runs.
    int mode() const { return qMax(0, m_mode.load()); }
    static constexpr int SingleOperation = -1;
    bool claimSingle();
    void startSingle(Handler first, const QString& startText);
    // A refused or failed token step of a single operation: the service's result when it is a
    // non-zero integer, else "-9999".
    QString singleTokenFailure() const;

    // The exchange machinery shared by every operation.
    void connectClient(Handler handler);
    int getTokenSeed();
    int resGetTokenSeed(int ret, HttpClient* obj);
    int postOperation(const QString& operation, const QString& children, Handler handler, int method = 1);
    // Reads the answer to its end; onElement sees each start element and returns false to
    // stop early. False on an XML error or a DTD.
    bool readAnswer(HttpClient* obj, const std::function<bool(QXmlStreamReader&)>& onElement);
    // Reads an answer's result into the result code ("-9999" without one), stopping at a
    // negative result; false on an XML error.
    bool readResult(HttpClient* obj);
    // The code of a failed step: the service's result when that is a non-zero integer, the
    // transport code when that is not 0, else -9999.
    int tokenFailureCode(int ret) const;

    // Chain steps.
    int getVantroDataUpdateTime();
    int getVantroUser();
    int getVantroSetting();
    int getCommCycle();
    int putVantroInfo();
    void putStampRaw();
    void putStampRawByManual();
    void buildStampBatch(const QList<QStringList>& rows, bool logGarbage);
    void finishStampBatch(int ret, HttpClient* obj, const QString& step);
    // Fills master.temp.db from the answer; true when the whole answer went in.
    bool fillUserMaster(HttpClient* obj);
    // Ends a settings download: its settings are written only when the answer was complete
    // with a result that is not negative, and the kind recorded only when they were.
    void finishSettingsDownload(int kind, bool complete, const DownloadedSettings& settings, HttpClient* obj,
                                const QString& doneText);
    void afterUpload();
    void endChain(int ret, const QString& option);

    HttpClient* m_http = nullptr;
    QString m_resultCode;
    QString m_seed;
    QString m_token;
    QString m_stampBody;
    QString m_serviceUrl;
    QString m_clientUniqueKey;
    QString m_cloudKey;
    std::atomic<int> m_mode{0};
    quint8 m_allSent = 0;
    int m_stampCount = 0;
    int m_userId = 0;
    QString m_idm;
    QString m_idmUpdateTime;
    QVector<UpdateState> m_updateStates;

    // The batch in flight and how the upload went.
    QList<int> m_batchRowids;
    bool m_uploadFailed = false;
    QString m_uploadFailCode;
};
