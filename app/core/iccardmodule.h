#pragma once

#include <QObject>
#include <QString>

class LocalSocketIpcServer;

// The terminal's end of the card service's socket "/tmp/iccard.uds". For each card event it
// runs the clock checker, lets a card on a dark screen only wake the screen, reports the raw
// card data (cardTouchRaw), looks the card up in the user master and reports the result
// (cardTouch). The card ID is the 16-digit upper-case hexadecimal form of the 8 ID bytes.
// Also reads the reader's identification and plays the card-touch sounds.
class ICCardModule : public QObject {
    Q_OBJECT
public:
    // The process-wide receiver, created with no parent on the first call; from then on the
    // socket is listening. When the listener was stopped, the receiver listens again, under
    // the board root of that moment.
    static ICCardModule* getInstance();

    // The first object creates the listener as its child; later ones create nothing. An object
    // that goes away with the listener leaves none behind.
    explicit ICCardModule(QObject* parent = nullptr);
    ~ICCardModule() override;

    // Closes and drops the listener, as when the board root it lives under goes away.
    static void stopListening();

    // The reader's "IC type-firmware version" line from /tmp/iccard.status without line
    // feeds; "未接続" when it cannot be read.
    static QString getVersion();

    // Card answers at the card level: clock-in and clock-out play the voice (IN.wav, OUT.wav)
    // when "音声モード" is not 0 and BUTTON.wav otherwise; OK is BUTTON.wav, NG ERROR.wav.
    static void playShukkinSound();
    static void playTaikinSound();
    static void playOKSound();
    static void playNGSound();

    static LocalSocketIpcServer* serverSocket;

signals:
    // A registered user's card (ret true) or not; cardAuth is the card's permission entry,
    // with no entry (-1) and 0 both given as 0; userID 0 and userName "" when unregistered.
    void cardTouch(bool ret, QString cardID, int cardAuth, int userID, QString userName);
    // Every card event that is not a mere wake-up: the texts as read, the ID upper-cased,
    // empty texts for missing elements.
    void cardTouchRaw(QString id, QString type, QString len);

private slots:
    void messageReceived(QString message);

private:
    void listen();
};
