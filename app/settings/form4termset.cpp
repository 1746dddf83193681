#include "form4termset.h"

#include "dbdakoku.h"
#include "dbsetting.h"
#include "mylabel.h"
#include "zsystem.h"

#include <QMap>

namespace {

using MenuItem = Form4Settei0MenuBase::MenuItem;

constexpr int RowsPerPage = Form4Settei0MenuBase::RowsPerPage;

// Item names of the basic edition, five a page; the cloud edition shows the first three
// pages and the NTP and reboot rows of the fourth.
const char* const basicNames[] = {
    "出勤日替時刻", "退勤日替時刻", "外出再入日替時刻", "出勤モード", "退勤モード",
    "時計表示", "タッチ選択優先", "タッチ選択優先秒数", "時計に戻る時間", "音声モード",
    "タッチ音量", "カード読取音量", "バックライト点灯時間", "二重打刻の有効秒数", "日替退勤有効時刻帯",
    "年月日設定", "時刻設定", "NTPサーバーを使用", "NTPサーバー", "リブート時刻",
    "接点出力秒数", "", "", "", "",
};

const char* const cloudNames[] = {
    "出勤日替時刻", "退勤日替時刻", "外出再入日替時刻", "出勤モード", "退勤モード",
    "時計表示", "タッチ選択優先", "タッチ選択優先秒数", "時計に戻る時間", "音声モード",
    "タッチ音量", "カード読取音量", "バックライト点灯時間", "二重打刻の有効秒数", "日替退勤有効時刻帯",
    "NTPサーバーを使用", "NTPサーバー", "リブート時刻", "", "",
};

const char* const meridNames[] = {
    "出勤モード", "退勤モード", "時計表示", "タッチ選択優先", "タッチ選択優先秒数",
    "時計に戻る時間", "音声モード", "タッチ音量", "カード読取音量", "バックライト点灯時間",
    "二重打刻の有効秒数", "日替退勤有効時刻帯", "NTPサーバーを使用", "NTPサーバー", "リブート時刻",
};

// The cloud edition keeps the basic ids of its fourth page ("32" to "34").
const int cloudPage4Rows[] = {2, 3, 4};


MenuItem row(int index, int slot, const char* name)
{
    const QString title = QString::fromUtf8(name);
    const QString id = title.isEmpty() ? QString() : QStringLiteral("%1%2").arg(index / RowsPerPage).arg(slot);
    return Form4Settei0MenuBase::pageRow(index % RowsPerPage, id, title);
}

// Every row of the current edition, in page order.
QList<MenuItem> allRows()
{
    QList<MenuItem> rows;
    switch (ZSystem::mode()) {
    case ZSystem::Merid:
        for (int i = 0; i < 15; ++i)
            rows << row(i, i % RowsPerPage, meridNames[i]);
        break;
    case ZSystem::Cloud:
        for (int i = 0; i < 15; ++i)
            rows << row(i, i % RowsPerPage, cloudNames[i]);
        for (int i = 15; i < 20; ++i) {
            const int slot = i - 15 < 3 ? cloudPage4Rows[i - 15] : 0;
            rows << row(i, slot, cloudNames[i]);
        }
        break;
    default:
        for (int i = 0; i < 25; ++i)
            rows << row(i, i % RowsPerPage, basicNames[i]);
        break;
    }
    return rows;
}

int operationMode()
{
    int mode = 1;
    DBSetting::getSetting(QStringLiteral("動作モード"), &mode);
    return mode;
}

}  // namespace

int Form4TermSet::pageCount()
{
    switch (ZSystem::mode()) {
    case ZSystem::Merid:
        return 3;
    case ZSystem::Cloud:
        return 4;
    default: {
        const int mode = operationMode();
        return mode == 3 || mode == 4 ? 5 : 4;
    }
    }
}

QString Form4TermSet::GetTitle(QString id)
{
    static const auto mapOf = [](const char* const* names, int count) {
        QMap<QString, QString> map;
        for (int i = 0; i < count; ++i) {
            if (*names[i])
                map.insert(QStringLiteral("%1%2").arg(i / RowsPerPage).arg(i % RowsPerPage), QString::fromUtf8(names[i]));
        }
        return map;
    };
    static const QMap<QString, QString> basicAndCloud = mapOf(basicNames, 25);
    static const QMap<QString, QString> merid = mapOf(meridNames, 15);
    const QMap<QString, QString>& map = ZSystem::mode() == ZSystem::Merid ? merid : basicAndCloud;
    return map.value(id, id);
}

Form4TermSet::Form4TermSet(QObject* parent, int menuNumber)
    : Form4Settei0MenuBase(parent, menuNumber)
{
    connect(label, &MyLabel::clicked, this, &Form4TermSet::clickMyLabel);
    pageIndex = setPage(QStringLiteral("初期設定"), FirstMenu, pageCount(), menuNumber);
    bgImagePath = QStringLiteral("../Parts/03設定画面背景/設定画面_パターン1.png");
    shosaiPageId = DetailScreen;
    rowStyle = whiteValueRows();

    int ntp = 0;
    DBSetting::getParamJ(QStringLiteral("NTPサーバーを使用"), &ntp);
    ntpUsed = ntp > 0;

    createItems();
    updateScreenNew();
}

Form4TermSet::~Form4TermSet()
{
    disconnect(label, nullptr, this, nullptr);
}

QString Form4TermSet::getTitle(QString id)
{
    return GetTitle(id);
}

void Form4TermSet::createItems()
{
    const QList<MenuItem> rows = allRows();
    items.append(rows.mid(pageIndex * RowsPerPage, RowsPerPage));
}

bool Form4TermSet::isEnabledItem(QString id)
{
    return ntpUsed || GetTitle(id) != QStringLiteral("NTPサーバー");
}

void Form4TermSet::setBgAppVersion()
{
    unsigned int unsent = 0;
    DBDakoku::getDakokuUnsentCount(&unsent);
    setTextItem(15, 240, 14, 23, 113, 68, QStringLiteral("未送信データ %1件").arg(unsent));
}
