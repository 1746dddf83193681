#pragma once

#include "labelitemlist.h"

#include <QObject>
#include <QString>

class LocalSocketIpcClient;
class QTimer;

// The terminal's only writer of the screen protocol on /tmp/vistrel.uds and the only reader
// of its replies. A screen update is collected as text from "<items>": actions and items in
// drawing order, then exactly one of setFlash, setFadeIn or setFadeOut, which adds the
// screen-shot hot spot and the closing action and sends the whole update as one text.
//
// Every id sent carries the screen generation digit (0 to 9, advanced by setNew) in front;
// a touch reported with a stale digit belongs to a replaced screen and is dropped. Replies
// become the signals below; obj is always the singleton.
class MyLabel : public QObject {
    Q_OBJECT
public:
    // The process-wide client, created with no parent on the first call.
    static MyLabel* getInstance();
    ~MyLabel() override;

    // Empties id, file name and both texts, and sets width, height and both margins to 0;
    // positions, font sizes and colours stay, so a reused record keeps its style.
    void initItem(LabelItemList* item);
    void initItems(int count, LabelItemList* items);

    // "New" empties the display server's touch table and starts the next generation.
    void setNew();
    // "Clear" clears the picture but keeps the touch areas.
    void setClear();
    // "Copy" saves the picture drawn so far, "Past" puts it back.
    void setCopy();
    void setPast();

    // Appends one item. The file name and texts are percent-encoded and the encoded forms
    // are stored back into the record, so refill it before sending it again.
    void setItem(LabelItemList* item);
    void setItems(int count, LabelItemList* items);
    // The invisible 30x30 touch area in the top-left corner that takes a screen shot.
    void setScreenShot();

    // Finish the update with its showing action and send it; busy until the ready reply.
    void setFlash();
    void setFadeIn();
    void setFadeOut();

    // Drops the pending update and asks the display server to restart its touch input.
    void reinitTouchscreen();
    // Runs the screen-shot script with the current time in seconds.
    void shotScreen();

    // Secret input (a password being typed) is counted: each holder turns it on once and off
    // once, and it stays on while any holder has it on.
    void setSecretInput(bool on);
    bool secretInput() const { return secretHolders > 0; }
    // The id as touch log lines write it: while secret input is on, the key typed by a digit
    // or character key id is written as "*".
    static QString loggedTouchId(const QString& id);

    // Byte length of the UTF-8 character starting at bytes (an invalid lead byte is logged
    // and counts as 4).
    static int getUtf8Size(const unsigned char* bytes);
    // Display width: 1 per one-byte UTF-8 character, 2 per any other character.
    static int getLenght(const QString& text);
    // The longest leading part of text whose display width is at most width ...
    static QString Left(const QString& text, int width);
    // ... and the rest, so that Left + Right is always text.
    static QString Right(const QString& text, int width);

    // From a flash or fade until the display server's ready reply.
    bool busy = false;

signals:
    void ready();
    void clicked(MyLabel* obj, QString id);
    void clickedLong(MyLabel* obj, QString id);
    void released(MyLabel* obj, QString id);

private slots:
    void timeout();
    void messageReceived(QString message);

private:
    explicit MyLabel(QObject* parent = nullptr);
    Q_DISABLE_COPY(MyLabel)

    void finishAndSend(const char* action);
    void send(const QString& update);
    QString wireId(const QString& id) const;
    void handleReply(const QString& reply);
    // False when the touch only woke the dark screen and the rest of the reply is dropped.
    bool dispatchTouch(const QString& id, int event);

    static LocalSocketIpcClient* clientSocket;
    QTimer* timer = nullptr;
    int generation = 0;
    int secretHolders = 0;
    QString buffer;
    // The unfinished tail of the replies read so far (a reply split across two reads).
    QString pendingReplies;
};
