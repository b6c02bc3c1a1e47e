// Standard output and error that reach the console one whole message at a
// time, through a function that writes them (the platform's console file).
#pragma once

#include <functional>
#include <streambuf>
#include <string>
#include <string_view>

namespace odds {

// Holds what is written until it ends with a line end or is flushed, then
// hands it on in one piece: a console shows a character only when all its
// bytes come in one write (wine's shows UTF-8 written a byte at a time as
// boxes), and a converter needs whole characters.
class WholeMessages : public std::streambuf {
public:
    using Write = std::function<void(std::string_view)>;
    explicit WholeMessages(Write write) : write_(std::move(write)) {}

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char *text, std::streamsize count) override;
    int sync() override;

private:
    void writeWholeLines();

    std::string pending_;
    Write write_;
};

// Puts WholeMessages in front of std::cout and std::cerr for the rest of the
// program; std::cerr then writes at each line end instead of at each <<.
void writeWholeMessages(WholeMessages::Write out, WholeMessages::Write err);

} // namespace odds
