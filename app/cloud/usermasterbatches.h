#pragma once

#include <QList>
#include <QStringList>

#include <functional>

// Loads user rows into the master reload copy (DBMaster::setUser2, then setCard2) in batches of
// DBMaster::BulkBatchRows, telling the running total after each batch. Rows are
// {user id, name, group, card ID or "CLEAR", card update time}.
class UserMasterBatches {
public:
    explicit UserMasterBatches(std::function<void(int total)> onBatch);

    void add(const QStringList& row);
    // Loads what is left; true when every load so far stored every row.
    bool finish();

private:
    void flush();

    std::function<void(int)> m_onBatch;
    QList<QStringList> m_rows;
    int m_total = 0;
    bool m_stored = true;
};
