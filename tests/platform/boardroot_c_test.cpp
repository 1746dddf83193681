#include "vnq_boardroot.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

TEST(CBoardPath, PrefixesTheRootAndRefusesWhatDoesNotFit)
{
    char out[64];
    unsetenv("VNQ_ROOT");
    ASSERT_NE(vnq_board_path(out, sizeof out, "/tmp/iccard.uds"), nullptr);
    EXPECT_STREQ(out, "/tmp/iccard.uds");

    setenv("VNQ_ROOT", "/tmp/vnq-abc/", 1);
    ASSERT_NE(vnq_board_path(out, sizeof out, "/var/log/iccard_start"), nullptr);
    EXPECT_STREQ(out, "/tmp/vnq-abc/var/log/iccard_start");
    ASSERT_NE(vnq_board_path(out, sizeof out, "relative/file"), nullptr);
    EXPECT_STREQ(out, "relative/file");

    char small[16];
    EXPECT_EQ(vnq_board_path(small, sizeof small, "/var/log/iccard_start"), nullptr);
    EXPECT_STREQ(small, "");
    unsetenv("VNQ_ROOT");
}

}  // namespace
