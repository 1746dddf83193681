#pragma once

#include <QObject>
#include <QString>

// Builds one log line from its parts and, when the temporary dies, sends it to syslog
// (identity "APP") and to Qt's message output. Every part is preceded by one space; QString
// parts are wrapped in double quotes, texts and numbers are not. Use it as a temporary:
//   MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "message" << value;
class MyDebug : public QObject {
    Q_OBJECT
public:
    MyDebug();
    ~MyDebug() override;

    MyDebug& operator<<(int value);
    MyDebug& operator<<(unsigned int value);
    MyDebug& operator<<(const char* text);
    MyDebug& operator<<(const QString& text);

    // The line as built so far.
    const QString& buffer() const { return m_buffer; }

private:
    Q_DISABLE_COPY(MyDebug)
    QString m_buffer;
};
