#include "form4mente.h"

#include "debugline.h"
#include "mylabel.h"

#include <QMap>

Form4Mente::Form4Mente(QObject* parent, int number)
    : Form4Settei0MenuBase(parent, number)
{
    connect(label, &MyLabel::clicked, this, &Form4Mente::clickMyLabel);
    title = QStringLiteral("メンテナンス");
    bgImagePath = QStringLiteral("../Parts/03設定画面背景/設定画面_パターン3.png");
    prevPageId = 0;
    nextPageId = 0;
    shosaiPageId = DetailScreen;
    createItems();
    updateScreenNew();
}

Form4Mente::~Form4Mente()
{
    disconnect(label, nullptr, this, nullptr);
}

QString Form4Mente::GetTitle(QString id)
{
    static const QMap<QString, QString> titles{
        {QStringLiteral("00"), QStringLiteral("システム情報")},
        {QStringLiteral("01"), QStringLiteral("製造出荷設定")},
        {QStringLiteral("02"), QStringLiteral("打刻データのみ削除")},
        {QStringLiteral("03"), QStringLiteral("タッチパネルの調整")},
        {QStringLiteral("04"), QString()},
    };
    const QString title = titles.value(id, id);
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << id << title;
    return title;
}

QString Form4Mente::getTitle(QString id)
{
    return GetTitle(id);
}

void Form4Mente::createItems()
{
    static const MenuItem rows[] = {
        {QStringLiteral("00"), QStringLiteral("システム情報"), 90, 53},
        {QStringLiteral("01"), QStringLiteral("製造出荷時設定"), 90, 87},
        {QStringLiteral("02"), QStringLiteral("打刻データのみ削除"), 90, 121},
        {QStringLiteral("03"), QStringLiteral("タッチパネルの調整"), 90, 155},
        {QStringLiteral("04"), QString(), 90, 189},
    };
    appendItems(rows, 5);
}

void Form4Mente::setItems(QString selectedId)
{
    for (const MenuItem& row : qAsConst(items)) {
        if (selectedId.isEmpty() || row.id == selectedId)
            setItem(row, false, true);
    }
}

void Form4Mente::setItem(const MenuItem& row, bool selected, bool enabled)
{
    setItem(row.id, row.title, row.x, row.y, selected, enabled);
}

void Form4Mente::setItem(QString id, QString title, int x, int y, bool, bool)
{
    label->initItem(&item);
    if (active && !title.isEmpty())
        item.id = id;
    item.x = x;
    item.y = y;
    item.w = 300;
    item.h = 32;
    item.filename = QStringLiteral("../Parts/03設定画面背景/メニュー枠2.png");
    item.label.x = x + 18;
    item.label.y = y + 5;
    item.label.px = title.length() <= 10 ? 18 : 16;
    item.label.margin = 0;
    item.label.r = item.label.g = item.label.b = 0;
    item.label.a = 255;
    item.label.text = title;
    label->setItem(&item);
}
