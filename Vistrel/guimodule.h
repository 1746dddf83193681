#pragma once

#include "messagegatherer.h"

#include <QObject>
#include <QPoint>
#include <QSize>
#include <QString>

class QXmlStreamReader;

namespace vistrel {

class LocalSocketIpcServer;

// The screen protocol server: reads each "<items>" ... "</items>" message a client sends,
// draws its items, records the touchable ones in the pending hit table, carries out its
// actions in document order and answers "ready" after each showing action.
class GuiModule : public QObject {
    Q_OBJECT
public:
    struct MyColor {
        float r = 0, g = 0, b = 0, a = 0;
    };
    struct FontStyle {
        QPoint pos;
        float px = 0;
        QString text;
        MyColor color;
        float margin = 0;
    };
    struct BackStyle {
        QPoint pos;
        QSize size{0, 0};
        QString filename;
    };
    struct LabelItemList {
        QString id;
        BackStyle back;
        FontStyle label;
        FontStyle sublabel;
    };

    static constexpr const char* ReadyReply = "<gui><status>ready</status></gui>";

    // Stores path as the socket path, then returns the one instance (made on the first call,
    // it lives until the process ends).
    static GuiModule* getInstance(const QString& path);
    static int sendReady();

    // Without a socket server -1; otherwise the socket server's result.
    int sendMessage(const QString& text);

    // The pending hit table: an entry for the item, and "New"'s emptying.
    static void addAtariTable(LabelItemList* item);
    static void clearAtariTable();

    static LocalSocketIpcServer* serverSocket;
    static QString socketPath;
    static float offsetx;
    static float offsety;

    // What is gathered of an unfinished message (for tests).
    const MessageGatherer& gatherer() const { return m_gatherer; }

public slots:
    void messageReceived(QString message);

private:
    explicit GuiModule(QObject* parent = nullptr);

    static void newMessageStarted();
    void processMessage(const QString& message);
    void endOfItem(LabelItemList& item);
    void runAction(const QString& action);
    static void clearItem(LabelItemList& item);
    static void parseBackStyle(QXmlStreamReader& xml, BackStyle& back);
    static void parseLabelStyle(QXmlStreamReader& xml, FontStyle& style);
    static void parsePoint(QXmlStreamReader& xml, QPoint& point);
    static void parseSize(QXmlStreamReader& xml, QSize& size);
    static void parseColor(QXmlStreamReader& xml, MyColor& color);

    MessageGatherer m_gatherer;
};

}  // namespace vistrel
