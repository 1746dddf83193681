#pragma once

#include <QByteArray>
#include <QString>

// A certificate authority made at run time (EC P-256) and the server certificates the TLS
// tests need, all as PEM in memory.
class TestCa {
public:
    struct Leaf {
        QByteArray certificatePem;
        QByteArray keyPem;
    };

    TestCa();

    bool isValid() const { return !m_caPem.isEmpty(); }
    QByteArray caPem() const { return m_caPem; }
    bool writeCaPem(const QString& path) const;

    // For 127.0.0.1: subject CN and subjectAltName IP 127.0.0.1, DNS "127.0.0.1", "localhost".
    Leaf validLeaf() const { return m_valid; }
    Leaf expiredLeaf() const { return m_expired; }
    // Valid, but for another host name.
    Leaf otherNameLeaf() const { return m_otherName; }
    Leaf selfSignedLeaf() const { return m_selfSigned; }
    // Signed by a second authority that nobody trusts.
    Leaf untrustedLeaf() const { return m_untrusted; }

private:
    QByteArray m_caPem;
    Leaf m_valid, m_expired, m_otherName, m_selfSigned, m_untrusted;
};
