#pragma once

#include <QString>

// The debug-stream form of a log line: the same parts as a MyDebug line, but each part is
// followed by one space, QString parts are quoted and texts and numbers are not, and the line
// goes to Qt's message output only (never to syslog). Use it as a temporary:
//   DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << error;
class DebugLine {
public:
    DebugLine() = default;
    ~DebugLine();
    DebugLine(const DebugLine&) = delete;
    DebugLine& operator=(const DebugLine&) = delete;

    DebugLine& operator<<(int value);
    DebugLine& operator<<(unsigned int value);
    DebugLine& operator<<(qint64 value);
    DebugLine& operator<<(const char* text);
    DebugLine& operator<<(const QString& text);
    DebugLine& operator<<(bool value);

    const QString& buffer() const { return m_buffer; }

private:
    QString m_buffer;
};
