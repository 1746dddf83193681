#include "httplogmask.h"
#include "httplogmask_spans.h"

#include <QHash>

namespace logmask::detail {

namespace {

bool isSpace(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r');
}

// The text of a run between tags with its entity and character references resolved, as the
// XML reader hands it on; a reference it does not know stays as written.
QString resolveReferences(const QStringRef& run)
{
    if (!run.contains(QLatin1Char('&')))
        return run.toString();
    QString out;
    for (int i = 0; i < run.size(); ++i) {
        const int semicolon = run.at(i) == QLatin1Char('&') ? run.indexOf(QLatin1Char(';'), i) : -1;
        if (semicolon < 0) {
            out += run.at(i);
            continue;
        }
        const QStringRef name = run.mid(i + 1, semicolon - i - 1);
        bool ok = false;
        uint code = 0;
        if (name.startsWith(QLatin1String("#x")))
            code = name.mid(2).toUInt(&ok, 16);
        else if (name.startsWith(QLatin1Char('#')))
            code = name.mid(1).toUInt(&ok, 10);
        if (ok) {
            out += QString::fromUcs4(&code, 1);
        } else if (name == QLatin1String("lt")) {
            out += QLatin1Char('<');
        } else if (name == QLatin1String("gt")) {
            out += QLatin1Char('>');
        } else if (name == QLatin1String("amp")) {
            out += QLatin1Char('&');
        } else if (name == QLatin1String("quot")) {
            out += QLatin1Char('"');
        } else if (name == QLatin1String("apos")) {
            out += QLatin1Char('\'');
        } else {
            out += run.at(i);
            continue;
        }
        i = semicolon;
    }
    return out;
}

class XmlScan {
public:
    XmlScan(const QString& body, QVector<Span>* spans)
        : m_body(body)
        , m_spans(spans)
    {
    }

    void run()
    {
        const int size = m_body.size();
        int i = 0;
        while (i < size) {
            const int lt = m_body.indexOf(QLatin1Char('<'), i);
            const int textEnd = lt < 0 ? size : lt;
            if (textEnd > i && !m_open.isEmpty())
                m_open.last().text += resolveReferences(m_body.midRef(i, textEnd - i));
            if (lt < 0)
                break;
            i = markup(lt);
        }
        // Elements the body leaves open end with it.
        while (!m_open.isEmpty())
            closeInnermost(size);
    }

private:
    struct Open {
        QString localName;
        int contentStart;
        QString text;
    };

    // Reads the markup at `at` ('<'); the index after it.
    int markup(int at)
    {
        const int size = m_body.size();
        const auto skipTo = [&](const char* end, int from) {
            const int found = m_body.indexOf(QLatin1String(end), from);
            return found < 0 ? size : found + int(qstrlen(end));
        };
        const QStringRef rest = m_body.midRef(at);
        if (rest.startsWith(QLatin1String("<!--")))
            return skipTo("-->", at + 4);
        if (rest.startsWith(QLatin1String("<![CDATA["))) {
            const int end = m_body.indexOf(QLatin1String("]]>"), at + 9);
            const int stop = end < 0 ? size : end;
            if (!m_open.isEmpty())
                m_open.last().text += m_body.midRef(at + 9, stop - at - 9);
            return end < 0 ? size : end + 3;
        }
        if (rest.startsWith(QLatin1String("<?")))
            return skipTo("?>", at + 2);
        if (rest.startsWith(QLatin1String("<!"))) {
            const int close = m_body.indexOf(QLatin1Char('>'), at);
            const int subset = m_body.indexOf(QLatin1Char('['), at);
            if (subset >= 0 && (close < 0 || subset < close))
                return skipTo("]>", subset);
            return close < 0 ? size : close + 1;
        }
        const bool endTag = rest.startsWith(QLatin1String("</"));
        int i = at + (endTag ? 2 : 1);
        const int nameStart = i;
        while (i < size && !isSpace(m_body.at(i)) && m_body.at(i) != QLatin1Char('>') && m_body.at(i) != QLatin1Char('/')
               && m_body.at(i) != QLatin1Char('<'))
            ++i;
        const QString name = m_body.mid(nameStart, i - nameStart);
        if (name.isEmpty()) {
            if (!m_open.isEmpty())
                m_open.last().text += QLatin1Char('<');
            return at + 1;
        }
        // The rest of the tag, its attributes' quoted values included.
        QChar quote;
        bool selfClosing = false;
        while (i < size) {
            const QChar c = m_body.at(i);
            if (!quote.isNull()) {
                if (c == quote)
                    quote = QChar();
            } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
                quote = c;
            } else if (c == QLatin1Char('>')) {
                selfClosing = i > at && m_body.at(i - 1) == QLatin1Char('/');
                break;
            }
            ++i;
        }
        const int after = i < size ? i + 1 : size;
        const QString localName = name.mid(name.lastIndexOf(QLatin1Char(':')) + 1);
        if (endTag) {
            closeNamed(localName, at);
        } else {
            m_open.append({localName, after, QString()});
            ++m_openCount[localName];
            if (selfClosing)
                closeInnermost(after);
        }
        return after;
    }

    // An end tag closes its element and whatever is still open inside it; one without an open
    // element of its name closes nothing.
    void closeNamed(const QString& localName, int contentEnd)
    {
        // Counted, so that end tags without an element cost no search of a deep stack.
        if (m_openCount.value(localName) == 0)
            return;
        for (int k = m_open.size() - 1; k >= 0; --k) {
            if (m_open.at(k).localName != localName)
                continue;
            while (m_open.size() > k)
                closeInnermost(contentEnd);
            return;
        }
    }

    void closeInnermost(int contentEnd)
    {
        const Open element = m_open.takeLast();
        --m_openCount[element.localName];
        const Span content{element.contentStart, qMax(element.contentStart, contentEnd), false};
        if (element.localName == QLatin1String("token") || element.localName == QLatin1String("seed")) {
            m_spans->append(content);
            return;
        }
        // The settings reader: a name and a value, in either order, make a pair as soon as
        // both are there; a value that is no integer, or -99, is none.
        if (element.localName == QLatin1String("name")) {
            m_key = element.text;
        } else if (element.localName == QLatin1String("value")) {
            bool ok = false;
            const int value = element.text.toInt(&ok);
            m_value = ok ? value : -99;
            m_values.append(content);
        } else {
            return;
        }
        if (m_key.isEmpty() || m_value == -99)
            return;
        if (isSecretSetting(m_key))
            *m_spans += m_values;
        m_key.clear();
        m_value = -99;
        m_values.clear();
    }

    const QString& m_body;
    QVector<Span>* m_spans;
    QVector<Open> m_open;
    QHash<QString, int> m_openCount;
    QString m_key;
    int m_value = -99;
    // Every value read since the last pair: the one that pairs and those it replaced.
    QVector<Span> m_values;
};

}  // namespace

void xmlSecretSpans(const QString& body, QVector<Span>* spans)
{
    if (!body.contains(QLatin1Char('<')))
        return;
    XmlScan(body, spans).run();
}

}  // namespace logmask::detail
