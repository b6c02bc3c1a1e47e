// What the tools write reaches the console one whole message at a time.
#include "whole_messages.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

TEST(WholeMessages, HandsOnEachLineInOneWriteAndAFlushedRestAsItIs)
{
    std::vector<std::string> writes;
    odds::WholeMessages buffer([&](std::string_view text) { writes.emplace_back(text); });
    std::ostream out(&buffer);
    out << "prizelist: "
        << "奖品 " << 2 << "“伞”" << '\n';
    EXPECT_EQ(writes, (std::vector<std::string>{"prizelist: 奖品 2“伞”\n"}));
    out << "\r进度: " << 50 << '%' << std::flush; // a progress line rewritten in place
    EXPECT_EQ(writes.back(), "\r进度: 50%");
    out << std::flush;
    EXPECT_EQ(writes.size(), 2u); // nothing left, nothing written
}
