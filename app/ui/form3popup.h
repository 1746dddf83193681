#pragma once

#include <QString>

// Message windows drawn over the current page: a window image, a title, up to four centred
// lines, optionally a name line, and up to three buttons with fixed ids ("Pop_Err",
// "Pop_Yes", "Pop_No", "Pop_Del", "Pop_Info", "Pop_C_Yes", "Pop_C_Del"). Each show operation
// sends one complete update that starts with "Clear" (the page beneath keeps its touch
// areas and generation) and ends with a fade-in; a button touch reaches the calling screen
// as MyLabel::clicked with the button's id. Closing the window is the caller's business.
class Form3Popup {
public:
    // Building blocks: each appends items to the update being collected and sends nothing.
    // One label without id or background, opacity 255; an empty text adds nothing.
    static void setMessage(QString text, short x, short y, float px, float margin, float r, float g, float b);
    // Window image, title and the four lines (centred, size 22, colour r, g, b).
    static void setFrame(QString image, QString title, QString line1, QString line2, QString line3,
                         QString line4, int r, int g, int b);
    // An 80x34 touch area without picture at (x, y), its caption centred on it.
    static void setButton(QString id, short x, short y, QString caption);
    // The black name line of the card windows, where line 1 would be.
    static void setName(QString name);

    static void showErrorBase(QString line1, QString line2, QString line3, int r, int g, int b);
    static void showError(QString line1, QString line2, QString line3);
    static void showErrorBrown(QString line1, QString line2, QString line3);
    static void showYesNoBase(QString line1, QString line2, QString line3, QString yesId);
    static void showYesNo(QString line1, QString line2, QString line3);
    static void showYesNoDelete(QString line1, QString line2, QString line3);
    static void showYesNoLeftAdjust(QString line1, QString line2, QString line3);
    static void showInfo(QString line1, QString line2, QString line3, bool withButton, QString title);

    static void showCardSuccess(QString title, QString name, QString line1, QString line2, QString line3);
    static void showCardDeleteYesNo(QString name, QString line1, QString line2, QString line3);
    static void showCardAction(QString name, QString line1, QString line2, QString line3);
    static void showCardInfo(QString name, QString line1, QString line2, QString line3);
    static void showCardYesNo(QString name, QString line1, QString line2, QString line3);
    static void showCardTouch(QString title, QString name, QString line1, QString line2, QString line3);
};
