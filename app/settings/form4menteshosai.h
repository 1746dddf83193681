#pragma once

#include "labelitemlist.h"

#include <QDateTime>
#include <QObject>
#include <QString>

class MyLabel;
class QTimer;

// The maintenance detail screen (number 28): the system information ("00"), the factory
// reset ("01"), the deletion of the stamps only ("02") and the touch-panel calibration ("03"),
// which puts the previous calibration back unless the user confirms the new one. Every way
// back leads to the maintenance menu.
class Form4MenteShosai : public QObject {
    Q_OBJECT
public:
    // Limits of the outside programs: a script that hangs, or a calibration nobody finishes,
    // is killed rather than freezing the terminal.
    static constexpr int ScriptTimeoutMs = 600000;
    static constexpr int CalibrationTimeoutMs = 180000;
    // Without a return-to-clock deadline, an unconfirmed new calibration is undone after
    // this long, so that a calibration no touch can confirm does not stay for ever.
    static constexpr int ConfirmationTimeoutSecs = 60;

    Form4MenteShosai(QObject* parent, QString itemId);
    ~Form4MenteShosai() override;

    static QString getTitle(QString id);
    void moveToBack();
    void trySave();

    void updateScreenSystemInfo();
    void updateScreenFactoryReset();
    void updateScreenDataClear();
    void updateScreenCalibration();
    void updateScreenFactoryResetWait();
    void updateScreenDataCleartWait();
    // The finished window: "完了しました", or the failure text when a script failed.
    void updateScreenFinish();
    void updateScreenCalibrationExec();

public slots:
    // Leaves for the maintenance menu, which puts the previous calibration back, once the
    // confirmation deadline has passed; a timer calls it every second, tests call it directly.
    void checkConfirmationDeadline();

private slots:
    void clickMyLabel(MyLabel* obj, QString id);

private:
    void setBgImage(const QString& image);
    void setBgTitle();
    void setBgBackButton();
    void setBgStartButton();
    void beginScreen(const QString& image);
    void setInfoLine(const QString& caption, int x, int y, const QString& value);
    // Runs a script in the waited form; true only for a normal exit with code 0.
    bool runScript(const QString& script);
    bool calibrating() const;
    void confirmCalibration();
    void armConfirmationDeadline();

    MyLabel* label = nullptr;
    LabelItemList item;
    QString itemId;
    QString title;
    QString failureText;
    QTimer* confirmationTimer = nullptr;
    QDateTime confirmationDeadline;
};
