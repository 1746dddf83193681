#pragma once

#include "labelitemlist.h"

#include <QObject>
#include <QString>

class MyLabel;

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

    MyLabel* label = nullptr;
    LabelItemList item;
    QString itemId;
    QString title;
    QString failureText;
};
