#include "form4adminshosai.h"

#include "keypad.h"
#include "mylabel.h"

#include <QMap>

Form4AdminShosai::Form4AdminShosai(QObject* parent, QString itemId)
    : Form4Settei0ShosaiBase2(parent)
{
    this->itemId = itemId;
    title = getTitle(itemId);
    bgImagePath.clear();
    pageId = 24;
    parentPageId = itemId == QStringLiteral("10") || itemId == QStringLiteral("11") ? 23 : 22;
    openKeypad();
}

Form4AdminShosai::~Form4AdminShosai()
{
    delete keypad;
    keypad = nullptr;
    disconnect(MyLabel::getInstance(), nullptr, this, nullptr);
}

QString Form4AdminShosai::getTitle(QString id)
{
    static const QMap<QString, QString> names{
        {QStringLiteral("00"), QStringLiteral("管理者パスワード")},
        {QStringLiteral("01"), QStringLiteral("動作モード")},
        {QStringLiteral("02"), QStringLiteral("バックアップ")},
        {QStringLiteral("03"), QStringLiteral("リストア")},
        {QStringLiteral("04"), QString()},
        {QStringLiteral("10"), QStringLiteral("年月日設定")},
        {QStringLiteral("11"), QStringLiteral("時刻設定")},
    };
    return names.value(id, id);
}
