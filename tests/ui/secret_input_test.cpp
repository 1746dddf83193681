// Secret input: while a password keypad is up, log lines name no typed key.

#include "keypad.h"
#include "screenfixture.h"

#include <memory>

namespace {

using SecretInput = ScreenFixture;

TEST_F(SecretInput, TouchLinesMaskTheTypedKeyOnlyWhileOn)
{
    const struct {
        const char* id;
        const char* masked;
    } cases[] = {
        {"Sel3x4_5", "Sel3x4_*"}, {"_BG_Sel4_2", "_BG_Sel4_*"}, {"Full_a", "Full_*"},
        {"Full_SLAS", "Full_*"},  {"Cancel", "Cancel"},         {"_BG_Enter", "_BG_Enter"},
        {"Sel", "Sel"},           {"Back", "Back"},
    };
    for (const auto& c : cases) {
        const QString id = QString::fromLatin1(c.id);
        EXPECT_EQ(MyLabel::loggedTouchId(id), id) << c.id;
        label->setSecretInput(true);
        EXPECT_EQ(MyLabel::loggedTouchId(id).toStdString(), c.masked);
        label->setSecretInput(false);
    }
}

TEST_F(SecretInput, HoldersAreCounted)
{
    label->setSecretInput(false);  // more releases than holds change nothing
    label->setSecretInput(true);
    label->setSecretInput(true);
    label->setSecretInput(false);
    EXPECT_TRUE(label->secretInput());
    label->setSecretInput(false);
    EXPECT_FALSE(label->secretInput());
}

TEST_F(SecretInput, APasswordKeypadHoldsItWhileActive)
{
    QObject owner;
    Keypad time(&owner, 0, 0, QStringLiteral("時刻"), {0}, true, QString());
    EXPECT_FALSE(label->secretInput());

    auto password = std::make_unique<Keypad>(&owner, 0, 0, QStringLiteral("パスワード******"), QList<int>{0}, true,
                                             QString());
    EXPECT_TRUE(label->secretInput());
    password->deactivate();
    EXPECT_FALSE(label->secretInput());
    password->activate();
    password->activate();
    EXPECT_TRUE(label->secretInput());
    password.reset();
    EXPECT_FALSE(label->secretInput());

    Keypad later(&owner, 0, 0, QStringLiteral("時刻"), {0}, true, QString());
    later.setPositionAndKeyType(0, 0, QStringLiteral("パスワード"));
    EXPECT_TRUE(label->secretInput());
    later.setPositionAndKeyType(0, 0, QStringLiteral("時刻"));
    EXPECT_FALSE(label->secretInput());
}

}  // namespace
