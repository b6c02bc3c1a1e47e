// Output for a terminal whose locale is not UTF-8.
#include "terminal_text_posix.h"

#include <gtest/gtest.h>

TEST(TerminalText, FollowsTheTerminalsCharacterSet)
{
    // 警告：奖品 2“伞” in GB18030 (as in GBK), what a zh_CN.GB18030 terminal shows.
    EXPECT_EQ(odds::forTerminal("警告：奖品 2“伞”\n", "GB18030"),
              "\xBE\xAF\xB8\xE6\xA3\xBA\xBD\xB1\xC6\xB7 2\xA1\xB0\xC9\xA1\xA1\xB1\n");
    EXPECT_EQ(odds::forTerminal("€ 🎁", "GB18030"), "\xA2\xE3 \x94\x39\xBC\x37"); // GB18030 holds every character
    EXPECT_EQ(odds::forTerminal("伞 x", "ISO-8859-1"), "? x");                   // what a set lacks
    EXPECT_EQ(odds::forTerminal("伞", "NO-SUCH-SET"), "伞");
}
