// How often the CSV encoding guess goes wrong: every GB2312 character as a
// prize name alone and every ordered pair of them, each saved both in GBK
// and in UTF-8 as a spreadsheet row, read back by guessCsvEncoding.
// Usage: csv_encoding_rates [STRIDE [--list]]   (pairs (a, b) with b - a a
// multiple of STRIDE are tried: 1, the default, tries them all; --list prints
// every name read wrongly)
#include "csv_encoding.h"
#include "text_decoding.h"

#include <iconv.h>

#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using authoring::CsvEncoding;

struct Character {
    std::string gbk;
    std::string utf8;
    bool hanzi = false;
};

// Whether GB2312 itself (EUC-CN) assigns the pair: GBK fills some places it leaves empty.
bool inGb2312(const std::string &pair)
{
    static const iconv_t converter = iconv_open("UTF-8", "GB2312");
    char in[2] = {pair[0], pair[1]};
    char out[8];
    char *inPtr = in;
    char *outPtr = out;
    std::size_t inLeft = 2;
    std::size_t outLeft = sizeof out;
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    return iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1) && inLeft == 0;
}

// GB2312's symbol rows A1-A9 and hanzi rows B0-F7, the places it assigns.
std::vector<Character> gb2312(catalogue::GbkDecoder &decoder)
{
    std::vector<Character> characters;
    for (unsigned lead = 0xA1; lead <= 0xF7; ++lead) {
        if (lead >= 0xAA && lead <= 0xAF)
            continue;
        for (unsigned trail = 0xA1; trail <= 0xFE; ++trail) {
            const std::string gbk{static_cast<char>(lead), static_cast<char>(trail)};
            const std::string utf8 = decoder.decode(gbk);
            if (utf8 == "\uFFFD" || !inGb2312(gbk))
                continue;
            characters.push_back({gbk, utf8, lead >= 0xB0});
        }
    }
    return characters;
}

bool listWrong = false;

struct Tally {
    long long cases = 0, bothValid = 0, wrong = 0, closeRight = 0, closeWrong = 0;

    void add(const std::string &bytes, CsvEncoding truth, catalogue::GbkDecoder &decoder)
    {
        // The name between other fields, as a spreadsheet writes the row.
        const authoring::EncodingGuess guess = authoring::guessCsvEncoding("60,255," + bytes + ",1\r\n", decoder);
        ++cases;
        const bool valid = catalogue::sanitizeUtf8(bytes) == bytes &&
                           decoder.decode(bytes + ",1\r\n").find("\uFFFD") == std::string::npos;
        bothValid += valid;
        const bool right = guess.encoding == truth;
        wrong += !right;
        if (!right && listWrong)
            std::printf("%s saved as %s%s\n", (truth == CsvEncoding::Gbk ? decoder.decode(bytes) : bytes).c_str(),
                        truth == CsvEncoding::Gbk ? "GBK" : "UTF-8", guess.close ? " (shown as a choice)" : "");
        (right ? closeRight : closeWrong) += guess.close;
    }
};

void print(const char *what, const Tally &tally)
{
    const auto percent = [&](long long n) { return tally.cases ? 100.0 * n / tally.cases : 0.0; };
    std::printf("%-28s %10lld %10lld (%6.3f%%) %9lld (%7.4f%%) %9lld (%6.3f%%) %9lld\n", what, tally.cases,
                tally.bothValid, percent(tally.bothValid), tally.wrong, percent(tally.wrong),
                tally.closeRight + tally.closeWrong, percent(tally.closeRight + tally.closeWrong),
                tally.wrong - tally.closeWrong);
}

} // namespace

int main(int argc, char **argv)
{
    const long stride = argc > 1 ? std::max(1L, std::atol(argv[1])) : 1;
    listWrong = argc > 2 && std::strcmp(argv[2], "--list") == 0;
    catalogue::GbkDecoder decoder;
    const std::vector<Character> characters = gb2312(decoder);
    long hanzi = 0;
    for (const Character &c : characters)
        hanzi += c.hanzi;
    std::printf("GB2312: %zu characters (%ld hanzi, %zu symbols); pairs with stride %ld\n\n", characters.size(), hanzi,
                characters.size() - static_cast<std::size_t>(hanzi), stride);
    std::printf("%-28s %10s %21s %21s %20s %9s\n", "saved as", "cases", "valid both ways", "read wrongly",
                "shown as a choice", "wrong, unshown");

    Tally gbkAlone, utf8Alone, gbkHanzi, utf8Hanzi, gbkPairs, utf8Pairs, gbkHanziPairs, utf8HanziPairs;
    for (const Character &c : characters) {
        gbkAlone.add(c.gbk, CsvEncoding::Gbk, decoder);
        utf8Alone.add(c.utf8, CsvEncoding::Utf8, decoder);
        if (c.hanzi) {
            gbkHanzi.add(c.gbk, CsvEncoding::Gbk, decoder);
            utf8Hanzi.add(c.utf8, CsvEncoding::Utf8, decoder);
        }
    }
    const std::size_t n = characters.size();
    for (std::size_t a = 0; a < n; ++a)
        for (std::size_t b = a % static_cast<std::size_t>(stride); b < n; b += static_cast<std::size_t>(stride)) {
            const Character &x = characters[a];
            const Character &y = characters[b];
            const bool both = x.hanzi && y.hanzi;
            gbkPairs.add(x.gbk + y.gbk, CsvEncoding::Gbk, decoder);
            utf8Pairs.add(x.utf8 + y.utf8, CsvEncoding::Utf8, decoder);
            if (both) {
                gbkHanziPairs.add(x.gbk + y.gbk, CsvEncoding::Gbk, decoder);
                utf8HanziPairs.add(x.utf8 + y.utf8, CsvEncoding::Utf8, decoder);
            }
        }
    print("GBK, one character", gbkAlone);
    print("UTF-8, one character", utf8Alone);
    print("GBK, one hanzi", gbkHanzi);
    print("UTF-8, one hanzi", utf8Hanzi);
    print("GBK, two characters", gbkPairs);
    print("UTF-8, two characters", utf8Pairs);
    print("GBK, two hanzi", gbkHanziPairs);
    print("UTF-8, two hanzi", utf8HanziPairs);
    std::printf("\nread wrongly: the guess is the other encoding; shown as a choice: the tools name both readings\n"
                "and the editor asks; wrong, unshown: read wrongly with no word of the other reading.\n");
    return 0;
}
