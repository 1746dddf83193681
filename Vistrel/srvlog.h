#pragma once

#include <QString>

namespace vistrel {

// Builds one error line of the display server and prints it on Qt's message output when the
// temporary dies: " <SRV ERR> <function> [ <line> ]: <parts>", every part after one space,
// QString parts in double quotes, texts and numbers as they are. Use it as a temporary:
//   SrvErr(Q_FUNC_INFO, __LINE__) << "write fail !!";
class SrvErr {
public:
    SrvErr(const char* function, int line);
    ~SrvErr();
    SrvErr(const SrvErr&) = delete;
    SrvErr& operator=(const SrvErr&) = delete;

    SrvErr& operator<<(const char* text);
    SrvErr& operator<<(const QString& text);
    SrvErr& operator<<(long long value);
    SrvErr& operator<<(int value) { return *this << static_cast<long long>(value); }

    const QString& text() const { return m_text; }

private:
    QString m_text;
};

}  // namespace vistrel

#define VISTREL_SRV_ERR() ::vistrel::SrvErr(Q_FUNC_INFO, __LINE__)
