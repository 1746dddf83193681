#pragma once

#include "labelitemlist.h"

#include <QObject>
#include <QString>

class CloudLink;
class ICCardModule;
class Keypad;
class MyLabel;

// The card registration page: a user number typed on the keypad picks the user, a card
// presented to the reader becomes that user's card (or the card is taken away). A user holds
// one row of the card table: a card ID, or "CLEAR" without a card. In the cloud editions the
// service is asked first and the local table follows its answer.
class Form2CardTouroku : public QObject {
    Q_OBJECT
public:
    explicit Form2CardTouroku(QObject* parent);
    ~Form2CardTouroku() override;

    // Flow.
    void tryShowPopup(int number);
    void showKeypad();
    void updateScreenFade();
    void setBgMasterCount();
    void moveToBack();

    // Message windows.
    void showUserCheck(QString name);
    void showCardAction(QString name);
    void showCardTouch(QString name);
    void showCardChange(QString name);
    void showCardDelete();
    void showCardCaution(QString owner);
    void showCardSaveSuccess(QString name);
    void showCardSaveFailed(QString name);
    void showCardDeleteSuccess(QString name);
    void showCardDeleteFailed(QString name);
    void showCloudError(QString code);

    // The commit: locally, or through the service first.
    void trySave();
    void tryDelete();
    void trySaveCloud();
    void tryDeleteCloud();

public slots:
    void clickMyLabel(MyLabel* obj, QString id);
    void onCardTouchRaw(QString id, QString type, QString len);
    void onFinishPutUserIDm(QString resultCode);
    void onFinishPutUserIDm(int resultCode);

private:
    Q_DISABLE_COPY(Form2CardTouroku)
    friend class Form2CardTourokuProbe;

    // The registration or deletion, as the edition commits it.
    void commitRegistration();
    void commitDeletion();
    // Opens a window over the keypad (which stops taking keys).
    void beginWindow();
    void clearEditFields();
    // The local commit of trySave and tryDelete, with its log line and result window.
    void storeCard(const QString& card, const QString& type, int length, bool deletion);

    bool active = true;
    bool cardWaiting = false;
    MyLabel* label = nullptr;
    LabelItemList item;
    ICCardModule* cardModule = nullptr;
    Keypad* keypad = nullptr;
    CloudLink* cloud = nullptr;
    int userID = 0;
    QString userName;
    QString cardID;
    QString cardType;
    QString cardLen;
};
