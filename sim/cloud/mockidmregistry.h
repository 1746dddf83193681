#pragma once

#include <QHash>
#include <QString>

// The mock services' card registrations: each IDm belongs to at most one user and each user
// holds at most one IDm; "CLEAR" stands for no card.
class MockIdmRegistry {
public:
    // False, and nothing changes, when the IDm already belongs to another user; otherwise the
    // user's card becomes this one (or none for "CLEAR").
    bool assign(const QString& idCode, const QString& idm)
    {
        const bool clear = idm == QLatin1String("CLEAR");
        if (!clear && m_idms.contains(idm) && m_idms.value(idm) != idCode)
            return false;
        for (auto it = m_idms.begin(); it != m_idms.end();) {
            if (it.value() == idCode)
                it = m_idms.erase(it);
            else
                ++it;
        }
        if (!clear)
            m_idms.insert(idm, idCode);
        return true;
    }
    // IDm -> user id code.
    const QHash<QString, QString>& idms() const { return m_idms; }

private:
    QHash<QString, QString> m_idms;
};
