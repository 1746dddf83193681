#pragma once

#include "labelitemlist.h"

#include <QList>
#include <QObject>
#include <QString>

class MyLabel;
class PageHost;
class QTimer;

// One page of a paged settings menu: background, title, up to five rows (a frame with the
// item's name and a value box with its current value), touch areas for the previous page,
// the next page and Back, and the version line. A page never turns itself: every move asks
// the page host, which deletes this page inside the call, so nothing touches the page after
// a move.
//
// A derived menu sets title, bgImagePath, the page numbers and its rows, connects
// MyLabel::clicked to clickMyLabel and, last, calls updateScreenNew().
class Form4Settei0MenuBase : public QObject {
    Q_OBJECT
public:
    // One row: id is the page digit and the row digit ("00", "14"), empty for a blank row.
    struct MenuItem {
        QString id;
        QString title;
        qint16 x;
        qint16 y;
    };

    static constexpr int RowsPerPage = 5;
    // The row in place 0 to 4 of a paged menu's page.
    static MenuItem pageRow(int place, const QString& id, const QString& title);

    // The parent is the page host; the number only goes into the log line.
    Form4Settei0MenuBase(QObject* parent, int number);
    ~Form4Settei0MenuBase() override;

    // The setting's item name whose value the row with this id shows.
    virtual QString getTitle(QString id) = 0;
    // Fills items for the page.
    virtual void createItems() = 0;
    void appendItems(const MenuItem* array, int count);

    // The value text of a setting as the value box shows it.
    virtual QString loadValue(QString name);
    QString loadValueAddr(QString name, QString keyType);
    QString loadValueYYYYMMDD(QString name, QString keyType);
    QString loadValueHHMM(QString name, QString keyType, QString value);
    QString loadValueHHMM2(QString name, QString keyType);
    QString loadValueUsbOutput(QString name);
    QString loadValueText(QString name, QString keyType);

    // Whether a row applies; a disabled row is grey and takes no touch.
    virtual bool isEnabledItem(QString id);
    // The value box text of a row: the stored value of its item.
    virtual QString getValue(QString id);
    // One row: frame with the title, value box with the value, drawn in rowStyle. A row
    // takes touches while the page is active, the row enabled and its title not empty.
    void setItem(QString id, QString title, int x, int y, bool selected, bool enabled);
    void setItem(const MenuItem& row, bool selected, bool enabled);
    // Every row unselected, or only the selected one highlighted; each enabled or not.
    virtual void setItems(QString selectedId);

    void setBgImage();
    void setBgTitle();
    virtual void setBackground();
    virtual void setBgBackButton();
    virtual void setBgItems();
    virtual void setBgAppVersion();
    virtual void setForeground();

    // New page: kept by the display server for the partial updates.
    void updateScreenNew();
    // The kept page with the foreground (the highlighted row) over it.
    void updateScreen();
    void updateScreenFade();
    // Toggles the highlight of a row and redraws.
    void updateScreenAndSelect(QString id);

    // Each of these ends with this page deleted by the host.
    void moveToMain();
    void moveToPrev();
    void moveToNext();
    virtual void moveToBack();
    void moveToShosai(QString id);

public slots:
    virtual void clickMyLabel(MyLabel* obj, QString id);
    virtual void timeout();

protected:
    // Makes this page the one of `number` among the menu numbers firstMenu to
    // firstMenu + pageCount - 1: Prev and Next wrap around, and the title is the name, 24
    // blanks and "page/pages" in full-width digits. A number outside the pages gives the
    // first page (logged). Returns the page index.
    int setPage(const QString& name, int firstMenu, int pageCount, int number);

    // How a menu draws its rows' values: the look of a long value and of a disabled row's.
    struct RowStyle {
        int longValuePx = 16;
        int longValueDy = 7;
        bool greyDisabledValue = true;
    };
    // Every value white, long values at 14 px.
    static RowStyle whiteValueRows();

    // A text alone, left-aligned at (x, y).
    void setTextItem(int x, int y, int px, int r, int g, int b, const QString& text);
    // The host, or null (logged) when the parent is none.
    PageHost* host(const char* operation);

    bool active = true;
    QTimer* timer = nullptr;
    MyLabel* label = nullptr;
    LabelItemList item;
    QString title;
    QString bgImagePath;
    QList<MenuItem> items;
    int prevPageId = 0;
    int nextPageId = 0;
    int shosaiPageId = 0;
    QString selectedId;
    RowStyle rowStyle;
};
