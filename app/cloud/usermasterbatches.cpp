#include "usermasterbatches.h"

#include "dbmaster.h"

UserMasterBatches::UserMasterBatches(std::function<void(int total)> onBatch)
    : m_onBatch(std::move(onBatch))
{
}

void UserMasterBatches::add(const QStringList& row)
{
    m_rows << row;
    if (m_rows.size() == DBMaster::BulkBatchRows)
        flush();
}

bool UserMasterBatches::finish()
{
    if (!m_rows.isEmpty())
        flush();
    return m_stored;
}

void UserMasterBatches::flush()
{
    m_total += m_rows.size();
    m_onBatch(m_total);
    m_stored = DBMaster::setUser2(&m_rows) && m_stored;
    m_stored = DBMaster::setCard2(&m_rows) && m_stored;
    m_rows.clear();
}
