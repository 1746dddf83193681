#include "dbsetting.h"
#include "dbtestfixture.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSet>

namespace {

using vnq::test::DbTest;

QStringList octets(const QString& name)
{
    return {name + QLatin1Char('0'), name + QLatin1Char('1'), name + QLatin1Char('2'), name + QLatin1Char('3')};
}

QStringList band(const QString& name)
{
    return {name + QStringLiteral("(開始)"), name + QStringLiteral("(終了)")};
}

// The items the terminal reads by name, composite items expanded to the rows that hold them.
QStringList itemsTheTerminalReads()
{
    QStringList names{
        // stamp store
        QStringLiteral("二重打刻の有効秒数"), QStringLiteral("出勤日替時刻"), QStringLiteral("退勤日替時刻"),
        QStringLiteral("外出再入日替時刻"),
        // scheduler
        QStringLiteral("タッチ選択優先秒数"), QStringLiteral("バックライト点灯時間"), QStringLiteral("時計に戻る時間"),
        QStringLiteral("通信開始秒"), QStringLiteral("通信周期"), QStringLiteral("NTPサーバーを使用"),
        QStringLiteral("リブート時刻"),
        // sound, clock screen, administrator
        QStringLiteral("音声モード"), QStringLiteral("タッチ音量"), QStringLiteral("カード読取音量"),
        QStringLiteral("動作モード"), QStringLiteral("時計表示"), QStringLiteral("タッチ選択優先"),
        QStringLiteral("接点出力秒数"), QStringLiteral("管理者パスワード"), QStringLiteral("時刻設定"),
        // network
        QStringLiteral("無線LAN"), QStringLiteral("DHCPの設定"), QStringLiteral("DNSの設定"), QStringLiteral("ポート番号"),
        QStringLiteral("プロキシ設定"), QStringLiteral("プロキシ認証"), QStringLiteral("プロキシポート番号"),
    };
    for (const char* b : {"出勤モード", "退勤モード", "日替退勤有効時刻帯"})
        names << band(QString::fromUtf8(b));
    for (const char* a : {"プロキシアドレス", "NTPサーバー", "IPアドレス", "サブネットマスク", "ゲートウェイ", "DNS",
                          "IPアドレス(無線)", "サブネットマスク(無線)", "ゲートウェイ(無線)", "DNS(無線)"})
        names << octets(QString::fromUtf8(a));
    names << QStringLiteral("年月日設定1") << QStringLiteral("年月日設定2") << QStringLiteral("年月日設定3");
    return names;
}

// Item names written as literals in calls that read or write a setting anywhere in the
// application's sources, so a new reader cannot name an item the database lacks.
QStringList itemsNamedInTheSources()
{
    static const QRegularExpression call(
        QStringLiteral("(?:getSetting|getParamJ|setSetting|loadDataValue|saveDataValue)\\s*\\(\\s*"
                       "(?:QStringLiteral\\s*\\(\\s*|QString\\s*\\(\\s*|QString::fromUtf8\\s*\\(\\s*)?\"([^\"]*)\""));
    QSet<QString> names;
    QDirIterator it(QString::fromLocal8Bit(qgetenv("VNQ_SOURCE_DIR")) + QStringLiteral("/app"),
                    {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QString text = QString::fromUtf8(file.readAll());
        auto matches = call.globalMatch(text);
        while (matches.hasNext()) {
            const QString name = matches.next().captured(1);
            if (!name.contains(QLatin1Char('%')))
                names.insert(name);
        }
    }
    QStringList sorted = names.values();
    sorted.sort();
    return sorted;
}

TEST_F(DbTest, EveryItemTheTerminalReadsIsSeeded)
{
    const QStringList fromSources = itemsNamedInTheSources();
    EXPECT_TRUE(fromSources.contains(QStringLiteral("二重打刻の有効秒数"))) << "the source scan finds nothing";
    for (const QString& name : itemsTheTerminalReads() + fromSources) {
        int v = -12345, min = -12345, max = -12345;
        EXPECT_TRUE(DBSetting::getSetting(name, &v, &min, &max)) << name.toStdString();
        EXPECT_TRUE(min <= max) << name.toStdString();
        EXPECT_TRUE(v == -1 || (min <= v && v <= max)) << name.toStdString() << " = " << v;
    }
}

// Every item a settings menu shows has a key type and the rows that key type is stored in.
TEST_F(DbTest, EveryManualEntryHasTheRowsOfItsKeyType)
{
    const QList<QStringList> manual =
        rows(QStringLiteral("setting.db"), QStringLiteral("SELECT name, keytype FROM manual"));
    ASSERT_FALSE(manual.isEmpty());
    for (const QStringList& entry : manual) {
        const QString& name = entry.at(0);
        const QString& keyType = entry.at(1);
        QStringList needed;
        if (keyType == QStringLiteral("時間帯") || keyType == QStringLiteral("時間帯なし"))
            needed = band(name);
        else if (keyType == QStringLiteral("アドレス") || keyType == QStringLiteral("アドレスPING"))
            needed = octets(name);
        else if (keyType == QStringLiteral("年月日設定"))
            needed = QStringList{name + QLatin1Char('1'), name + QLatin1Char('2'), name + QLatin1Char('3')};
        else
            needed = QStringList{name};
        for (const QString& row : needed) {
            int v = 0;
            EXPECT_TRUE(DBSetting::getSetting(row, &v)) << name.toStdString() << " needs " << row.toStdString();
        }
    }
    for (const char* item : {"出勤日替時刻", "出勤モード", "NTPサーバー", "管理者パスワード", "動作モード", "DNS(無線)",
                             "プロキシアドレス", "年月日設定", "時刻設定", "リブート時刻"}) {
        QString keyType;
        EXPECT_TRUE(DBSetting::getKeyType(QString::fromUtf8(item), &keyType)) << item;
    }
}

TEST_F(DbTest, ShippedRowsOfTheOtherTablesExist)
{
    const QString db = QStringLiteral("setting.db");
    EXPECT_EQ(value(db, QStringLiteral("SELECT group_concat(kind_num) FROM data_update")),
              QStringLiteral("0,1,2,3,4,5,6,7,8,9,10,33,40,47"));
    EXPECT_EQ(value(db, QStringLiteral("SELECT COUNT(*) FROM tsushin WHERE jname IN ('バックアップ', 'リストア')")),
              QStringLiteral("2"));
    EXPECT_EQ(value(db, QStringLiteral("SELECT COUNT(*) FROM wifi WHERE jname = '無線LAN設定'")), QStringLiteral("1"));
    EXPECT_EQ(value(db, QStringLiteral("SELECT COUNT(*) FROM proxy WHERE jname = 'プロキシ認証'")), QStringLiteral("1"));
    EXPECT_EQ(value(db, QStringLiteral("SELECT COUNT(*) FROM info")), QStringLiteral("1"));
}

}  // namespace
