#pragma once

#include <QByteArray>
#include <QList>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QSslError>
#include <QString>

class QFile;
class QNetworkAccessManager;
class QTimer;

// One HTTP or HTTPS exchange at a time for a cloud service client. The answer is collected in
// the receive buffer or, for firmware downloads, in the receive temp file; the end of every
// exchange that started is reported once through finish(). The client belongs to one thread:
// create or move it there and call it only from there.
class HttpClient : public QObject {
    Q_OBJECT
public:
    // Low part: the HTTP method; 16: the body is the file named by the body argument;
    // 32: the answer goes to the receive temp file.
    enum MethodNum {
        Get = 0,
        Post = 1,
        Put = 2,
        GetSendFile = 16,
        PostSendFile = 17,
        PutSendFile = 18,
        GetToTempFile = 32,
        PostToTempFile = 33,
        PutToTempFile = 34,
        GetSendFileToTempFile = 48,
        PostSendFileToTempFile = 49,
        PutSendFileToTempFile = 50,
    };
    static constexpr int SendFileBit = 16;
    static constexpr int TempFileBit = 32;

    // finish() codes besides 0 and the QNetworkReply::NetworkError values.
    static constexpr int StartFailed = -1;
    static constexpr int TimedOut = -9999;

    static constexpr int DefaultInactivityMs = 30000;
    // The temp file is filled each time the received count enters a new block of this size,
    // and only then does download progress count as activity.
    static constexpr qint64 DrainBlock = 131072;
    // Answers above these sizes are cut off and end with QNetworkReply::UnknownContentError.
    static constexpr qint64 MaxBufferedAnswer = 16 * 1024 * 1024;
    static constexpr qint64 MaxTempFileAnswer = 256 * 1024 * 1024;

    // Besides the idle time-out, every exchange has an overall deadline, counted from its
    // request on the monotonic clock, so a peer that keeps sending a little cannot hold the
    // terminal for hours: an answer held in memory must be whole within AnswerDeadlineMs; a
    // temp-file download gets, on top of that, the time its announced size takes at
    // SlowRateBytesPerSecond (a slow but working line). It ends as the idle time-out does.
    static constexpr qint64 AnswerDeadlineMs = 5 * 60 * 1000;
    static constexpr qint64 SlowRateBytesPerSecond = 8 * 1024;

    static constexpr const char* tempFilePath = "/VnQo/var/fwup/cloudrecv.tmp";

    explicit HttpClient(QObject* parent = nullptr);
    ~HttpClient() override;

    // Starts one exchange: method code, URL, headers ("Name: value"), body text or body file
    // path. 0 when the request went out; -1 when not, after finish(-1, this) unless the
    // method code is unknown. A request still running is abandoned without a finish.
    int httpRequest(MethodNum method, QString url, QList<QString> headers, QString body);

    // The answer of the last in-memory exchange; emptied by the next request.
    QByteArray* getRecvData() { return &m_recvData; }

    void simplifiedRecvData();
    qint64 getTempFileSize();
    int getTempFileData(int pos, int len);
    int moveTempFile(QString path);

    // Test seams: the inactivity time-out and how often it was pushed back in this exchange.
    void setInactivityInterval(int ms);
    int inactivityInterval() const;
    int inactivityRestarts() const { return m_inactivityRestarts; }
    // The running exchange's deadline, in ms from its request.
    qint64 deadlineMs() const { return m_deadlineMs; }

signals:
    void finish(int ret, HttpClient* obj);
    void upProgress(int send, int total);
    void downProgress(int recieved, int total);

private slots:
    void finished();
    void uploadProgress(qint64 bytesSent, qint64 bytesTotal);
    void downloadProgress(qint64 recieved, qint64 total);
    void error(QNetworkReply::NetworkError code);
    void sslErrors(QList<QSslError> errors);
    void slotNetworkTimeout();

private:
    bool isCurrent(QObject* reply) const;
    int startFailed();
    void restartInactivityTimer();
    // Starts the timer for the idle time-out or the rest of the deadline, whichever comes first.
    void armTimer();
    bool deadlinePassed() const;
    void closeSendFile();
    void closeTempFile();
    bool appendToTempFile(const QByteArray& data);
    void releaseReply();
    void endExchange(int code);

    QNetworkAccessManager* m_manager = nullptr;
    QPointer<QNetworkReply> m_reply;
    QByteArray m_recvData;
    QFile* m_sendFile = nullptr;
    QFile* m_tempFile = nullptr;
    QTimer* m_timer = nullptr;
    bool m_timedOut = false;
    qint64 m_lastReceived = 0;
    int m_inactivityRestarts = 0;
    int m_idleMs = DefaultInactivityMs;
    qint64 m_startedMs = 0;
    qint64 m_deadlineMs = AnswerDeadlineMs;
};
