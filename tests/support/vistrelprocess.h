#pragma once

#include "tempboardroot.h"

#include <QByteArray>
#include <QProcess>
#include <QString>

namespace vnq::test {

// The built Vistrel program in a temporary board root, as on the simulated board: a
// framebuffer file, the touch feed FIFO, "./start.xml" and the packaged font beside it in
// /VnQo/app/App, drawing on the recording port unless told otherwise. It is stopped by its pid
// when the object dies.
class VistrelProcess {
public:
    explicit VistrelProcess(const TempBoardRoot& root, const QByteArray& startXml = QByteArray());
    ~VistrelProcess();

    // The drawing port it is started with (VNQ_VISTREL_DRAW): "record" unless set.
    void setDrawPort(const QString& name) { m_drawPort = name; }
    // Starts it and waits up to timeoutMs for its socket file; false when it did not appear.
    bool start(int timeoutMs = 10000);
    bool isRunning() const { return m_process.state() == QProcess::Running; }
    // Everything it printed so far (standard output and error).
    QString output();

private:
    const TempBoardRoot& m_root;
    QProcess m_process;
    QByteArray m_output;
    QString m_drawPort = QStringLiteral("record");
};

}  // namespace vnq::test
