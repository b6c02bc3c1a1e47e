// Which encoding a CSV without a byte-order mark is in, judged by the text
// each reading gives: a spreadsheet on Chinese Windows saves GBK, one
// elsewhere UTF-8, and short Chinese texts are often valid both ways.
#pragma once

#include <string_view>

namespace catalogue {
class GbkDecoder;
}

namespace authoring {

enum class CsvEncoding { Utf8WithMark, Utf8, Gbk };

struct EncodingGuess {
    CsvEncoding encoding = CsvEncoding::Utf8;
    // Both readings are valid text and the other one is not much less
    // likely: the choice is worth showing to the user.
    bool close = false;
};

// A byte-order mark decides; otherwise the valid reading, and when both are
// valid the one whose characters are likelier in a Chinese prize list
// (common hanzi, their punctuation, ASCII) against what a wrong reading
// gives (Cyrillic, Greek, accented Latin outside words, rare hanzi and
// symbols). Bytes valid neither way are said to be GBK, whose reading
// then names the bad line. A tie goes to UTF-8.
EncodingGuess guessCsvEncoding(std::string_view bytes);
// The same with a decoder kept open, for many guesses in a row.
EncodingGuess guessCsvEncoding(std::string_view bytes, catalogue::GbkDecoder &decoder);

// How likely text (UTF-8) is as a Chinese prize list's, in bits: the sum of
// each non-ASCII character's log2 probability by its class. Higher is likelier.
double textLikelihood(std::string_view utf8);

} // namespace authoring
