#pragma once

#include "fontstyle.h"
#include "form3popalart.h"
#include "pagehost.h"
#include "pagetable.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class ICCardModule;
class MyLabel;
class MyTimer;
class QTimer;

// The clock screen: the terminal's one top-level screen object, created once by main. It
// brings the terminal up for its edition, shows the clock with its stamp kind panels and
// message line, and hosts every other screen: pages are created from the page table as its
// children and deleted by it at the next page change or return, and the alert after a stamp
// is its child as well.
class Form1Clock : public QObject, public PageHost {
    Q_OBJECT
public:
    explicit Form1Clock(QObject* parent = nullptr);
    ~Form1Clock() override;

    // Page host. Every move deletes the caller (and any other open page or alert) before
    // the next screen is created; number 0 only marks the clock as covered.
    void movePage(int number, QObject* caller) override;
    void moveToMenu(int number, QObject* caller) override;
    void moveToShosai(int number, QObject* caller, QString id) override;
    // Back to the clock; keep false also releases the lock files and reloads every setting.
    void returnPage(QObject* caller, bool keep) override;
    // The network changed: the next settings load synchronises the clock again.
    void changeSettings() override;

    // The return-to-clock deadline of an open page, from "時計に戻る時間".
    void setClockModoriTimer();
    void stopClockModoriTimer();

    // The alert over the clock (the stamp's name alert, an error message).
    void showPopAlert(Form3PopAlart::PopOption option, QString first, QString second, QString third);
    void showPopAlert(Form3PopAlart::PopOption option, QString first, QString second,
                      QList<Form3PopAlart::AlertMessage> lines);
    void showError(QString text);

    // Redraw after a state change: the panels and message line on the active clock; an open
    // alert is closed with a full reload.
    void updateScreen();

    // Every setting the clock depends on; first also starts the clock timer and connects the
    // scheduler's deadlines (once per process).
    void loadSettings(bool first);

    // Stores the stamps of one accepted card touch and answers with the name alert, the sound
    // and, in the door-lock modes, the door pulse.
    void trySaveDakoku(int userID, QString userName);
    // Stores the given kinds with one time, cancelling the user's stamps of the double-stamp
    // window, all or nothing; false when the store is full or the database refuses.
    bool saveDakoku(int userID, QString userName, const QList<int>& kubunCodes, QDateTime now);

    // Capacity level of the stamp store from the unsent count.
    void loadDakokuCapacityLevel();
    void setDakokuCapacityLevel(unsigned int count);

    // Stamp kind panels and selection.
    void setTokeiPanels();
    void setPanelParts();
    void selectPanel(int code);
    void clearSelectedKubunList();
    void appendSelectedKubunList(int code);
    void resetSelectedKubunList(bool clear);
    void resetPanel();
    void loadTokeiGamen();
    void loadTouchYusen();
    void loadShutaikinMode();

    // Clock face.
    void setBackPicture();
    void setInfo();

    // The lock files of an outside transfer.
    void deleteLockFile();
    void deleteUnlockFile();

public slots:
    void dispClockParts();
    void onCardTouch(bool ret, QString cardID, int cardAuth, int userID, QString userName);
    void readyVistrel();
    void clickMyLabel(MyLabel* obj, QString id);
    void recvAllUpdateFinish(int ret, QString option);
    void recvApiInfo(int ret, QString info);
    void timeoutHandlerVnqLock();
    void timeoutHandlerClockModori();
    void timeoutHandlerTouchYusen();
    void timeoutHandlerShukinMode(bool enabled, bool update);
    void timeoutHandlerTaikinMode(bool enabled);
    void timeoutHandlerHigawaritaiMode(bool enabled);
    void timeoutDataRequest(bool shotFlag);

private:
    Q_DISABLE_COPY(Form1Clock)
    friend class Form1ClockProbe;

    void changePage(PageTable::Move move, int number, QObject* caller, const QString& id);
    // Disconnects the caller, the open page and the open alert from the label and the card
    // module and deletes them; the host then holds neither page nor alert.
    void closeScreens(QObject* caller);
    void dropScreen(QObject* screen);
    // The clock is covered by the alert about to open; an open alert gives way to it.
    void closeAlertForNext();
    // A new screen of one picture over the whole screen, with an optional label on it.
    void setFullScreenPicture(const QString& image, const FontStyle& text = FontStyle());
    void connectDeadlines();
    void startBasic();
    void startCloud();
    void waitForAccessPoint();
    void downloadKernelImage();
    void writeCardStartGate();
    bool cloudBusy() const;
    // A refused touch's message stands a moment on the clock.
    void showCardMessage(const QString& text);
    // After a refused touch the selection is held and the same person may touch again.
    void holdSelectionAfterRefusal();
    // The kinds one touch stores: the selection, plus the door unlock in the door-lock modes.
    QList<int> stampKinds() const;
    void answerStamp();
    void pulseDoorLock();

    bool lockBusy = false;
    QDateTime lockTime;
    bool ntpSynced = false;
    int operationMode = 1;
    int clockDisplay = 1;
    bool touchYusen = false;
    ICCardModule* cardModule = nullptr;
    bool allowCardTouch = false;
    int formActive = 0;
    int lastUserID = -1;
    QPointer<QObject> currentPage;
    QPointer<Form3PopAlart> popAlert;
    MyLabel* label = nullptr;
    MyTimer* timer = nullptr;
    unsigned int dakokuCapacityMax = 30000;
    int dakokuCapacityLevel = 0;
    int lastSecond = -1;
    QTimer* clockTimer = nullptr;
    QList<int> selectedKubunList;
    bool shukinMode = false;
    bool taikinMode = false;
    bool higawaritaiMode = false;
    QString infoMessage;
    bool usbMemoryMounted = false;
    bool userFlashMounted = false;
};
