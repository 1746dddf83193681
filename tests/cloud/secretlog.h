#pragma once

#include "messagecapture.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace vnq::test {

// The administrator password the cloud test boards hold, distinct enough that no other log
// text holds it by chance.
constexpr int boardAdminPassword = 918273;

// Fails the running test for every captured log line that holds one of the secrets (tokens,
// seeds, keys, passwords the test's run handled), so that each run of the cloud tests checks
// the log it produced.
inline void expectNoSecretInLog(const MessageCapture& log, const QStringList& secrets)
{
    const QStringList lines = log.messages();
    for (const QString& secret : secrets) {
        if (secret.isEmpty())
            continue;
        for (const QString& line : lines)
            EXPECT_FALSE(line.contains(secret)) << "a secret in the log: " << line.left(400).toStdString();
    }
}

}  // namespace vnq::test
