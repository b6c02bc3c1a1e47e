// Whole messages to the console.
#include "whole_messages.h"

#include <iostream>

namespace odds {

WholeMessages::int_type WholeMessages::overflow(int_type c)
{
    if (traits_type::eq_int_type(c, traits_type::eof()))
        return traits_type::not_eof(c);
    pending_ += traits_type::to_char_type(c);
    writeWholeLines();
    return c;
}

std::streamsize WholeMessages::xsputn(const char *text, std::streamsize count)
{
    pending_.append(text, static_cast<std::size_t>(count));
    writeWholeLines();
    return count;
}

int WholeMessages::sync()
{
    if (!pending_.empty()) {
        write_(pending_);
        pending_.clear();
    }
    return 0;
}

void WholeMessages::writeWholeLines()
{
    if (!pending_.empty() && pending_.back() == '\n')
        sync();
}

void writeWholeMessages(WholeMessages::Write out, WholeMessages::Write err)
{
    // Never destroyed: the streams flush into them as the program ends.
    static auto *const outBuffer = new WholeMessages(std::move(out));
    static auto *const errBuffer = new WholeMessages(std::move(err));
    std::cout.rdbuf(outBuffer);
    std::cerr.rdbuf(errBuffer);
    std::cerr.unsetf(std::ios::unitbuf);
}

} // namespace odds
