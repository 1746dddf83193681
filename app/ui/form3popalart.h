#pragma once

#include <QList>
#include <QObject>
#include <QString>

class ICCardModule;
class MyLabel;
class QTimer;

// The short-lived alert the clock screen shows over itself: the card holder's name after a
// stamp, or a title with message lines after an error. It draws itself at once with a
// fade-in, fades out after 2000 ms (100 ms after a registered card, at once after an
// unregistered one) and hands back to the clock screen, its parent, which destroys it.
class Form3PopAlart : public QObject {
    Q_OBJECT
public:
    // 1 shows a name; any other value a message (the clock screen uses 2).
    enum PopOption { NameAlert = 1, MessageAlert = 2 };

    // One line of a message alert; only the text is drawn.
    struct AlertMessage {
        int number;
        QString text;
    };

    // The message form; flushes the file systems once drawn.
    Form3PopAlart(QObject* parent, PopOption option, QString name, QString kind, QList<AlertMessage> lines);
    // The one-line form, used for the name after a stamp.
    Form3PopAlart(QObject* parent, PopOption option, QString name, QString kind, QString text);
    ~Form3PopAlart() override;

    // Draws the alert and starts its time-out and its watch for cards.
    void set(QString name, QString kind, QList<AlertMessage> lines);
    void setName(QString name);
    void setMessage(QString title, QList<AlertMessage> lines);

    // The closing timer, for tests that drive it without waiting.
    const QTimer* closeTimer() const { return timer; }

private slots:
    void clickMyLabel(MyLabel* obj, QString id);
    void timeout();
    void cardTouch(bool ret, QString cardID, int cardAuth, int userID, QString userName);

private:
    Q_DISABLE_COPY(Form3PopAlart)

    // Back to the clock screen when the parent is one; destroys this alert.
    void returnToClock(bool keep);

    PopOption option;
    QString kind;
    QTimer* timer = nullptr;
    ICCardModule* cardModule = nullptr;
};
