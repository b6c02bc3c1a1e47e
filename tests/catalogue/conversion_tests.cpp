// Text to number, the loosely typed value, GBK decoding, errors and the failure regime.
#include "number_text.h"
#include "runtime_error.h"
#include "text_decoding.h"
#include "variant.h"

#include <gtest/gtest.h>

#include <limits>
#include <new>
#include <stdexcept>

using namespace catalogue;

namespace {
int errorNumberOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const RuntimeError &e) {
        return e.number();
    }
    return 0;
}
} // namespace

TEST(ParseNumber, AcceptsBlanksSignDecimalPointAndExponentInAnyLocale)
{
    struct Case {
        const char *text;
        double value;
    };
    for (const Case &c :
         {Case{"12", 12}, Case{" 12 ", 12}, Case{"\t-2.5", -2.5}, Case{".5", 0.5}, Case{"5.", 5}, Case{"+7", 7},
          Case{"1e3", 1000}, Case{"1E-2", 0.01}, Case{"2.5e+1", 25}, Case{"007", 7}, Case{"-0", 0}}) {
        SCOPED_TRACE(c.text);
        auto parsed = parseNumber(c.text);
        ASSERT_TRUE(parsed.has_value());
        EXPECT_DOUBLE_EQ(*parsed, c.value);
    }
}

TEST(ParseNumber, RejectsEverythingElse)
{
    for (const char *text : {"", " ", "abc", "12abc", "1,5", "1 000", ".", "e5", "1e", "1e+", "0x10", "inf", "nan",
                             "- 5", "--5", "+", "5-", "１２", "1.2.3"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(parseNumber(text).has_value());
    }
}

TEST(ParseNumber, TooLargeIsOverflowAndTooSmallIsZero)
{
    EXPECT_EQ(errorNumberOf([] { parseNumber("1e999"); }), 6);
    EXPECT_EQ(errorNumberOf([] { parseNumber("-" + std::string(400, '9')); }), 6);
    EXPECT_EQ(parseNumber("1e-999"), 0.0);
    EXPECT_EQ(parseNumber("0." + std::string(400, '0') + "1"), 0.0);
}

TEST(Variant, EmptyConvertsToZeroAndEmptyText)
{
    Variant empty;
    EXPECT_TRUE(empty.isEmpty());
    EXPECT_EQ(empty.toDouble(), 0.0);
    EXPECT_EQ(empty.toLong(), 0);
    EXPECT_EQ(empty.toText(), "");
}

TEST(Variant, KeepsTextAsTextUntilConverted)
{
    Variant weight("12.5");
    EXPECT_EQ(weight.kind(), Variant::Kind::Text);
    EXPECT_EQ(weight.toText(), "12.5");
    EXPECT_EQ(weight.toDouble(), 12.5);
}

TEST(Variant, TextWithoutANumberIsATypeMismatch)
{
    EXPECT_EQ(errorNumberOf([] { Variant("abc").toDouble(); }), 13);
    EXPECT_EQ(errorNumberOf([] { Variant("").toLong(); }), 13);
    EXPECT_FALSE(Variant("abc").numberIf().has_value());
    EXPECT_FALSE(Variant("1e999").numberIf().has_value());
}

TEST(Variant, LongRoundsHalfToEvenAndOverflowsOutside32Bits)
{
    EXPECT_EQ(Variant("2.5").toLong(), 2);
    EXPECT_EQ(Variant("3.5").toLong(), 4);
    EXPECT_EQ(Variant("-2.5").toLong(), -2);
    EXPECT_EQ(Variant(2.4999).toLong(), 2);
    EXPECT_EQ(Variant("-2147483648").toLong(), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(Variant("2147483647").toLong(), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(errorNumberOf([] { Variant("2147483648").toLong(); }), 6);
    EXPECT_EQ(errorNumberOf([] { Variant(-3e9).toLong(); }), 6);
}

TEST(Variant, NumbersBecomeShortTextAndPicturesAreNoText)
{
    EXPECT_EQ(Variant(std::int16_t{4000}).toText(), "4000");
    EXPECT_EQ(Variant(0.1).toText(), "0.1");
    EXPECT_EQ(Variant(70.0).toText(), "70");
    struct P : Picture {};
    Variant picture(PicturePtr(std::make_shared<P>()));
    EXPECT_NE(picture.picture(), nullptr);
    EXPECT_EQ(errorNumberOf([&] { picture.toText(); }), 13);
    EXPECT_EQ(errorNumberOf([&] { picture.toDouble(); }), 13);
}

TEST(RuntimeError, CarriesTheNumberAndText)
{
    struct Case {
        ErrorCode code;
        int number;
        const char *text;
    };
    for (const Case &c :
         {Case{ErrorCode::Overflow, 6, "Overflow"}, Case{ErrorCode::SubscriptOutOfRange, 9, "Subscript out of range"},
          Case{ErrorCode::TypeMismatch, 13, "Type mismatch"}, Case{ErrorCode::FileNotFound, 53, "File not found"},
          Case{ErrorCode::InputPastEndOfFile, 62, "Input past end of file"},
          Case{ErrorCode::PathFileAccessError, 75, "Path/File access error"},
          Case{ErrorCode::InvalidPicture, 481, "Invalid picture"}}) {
        RuntimeError error(c.code);
        EXPECT_EQ(error.number(), c.number);
        EXPECT_EQ(error.text(), c.text);
    }
}

TEST(RuntimeError, AnyUntrappedExceptionIsReportedWithANumberOnOneLine)
{
    const auto own = untrappedError(RuntimeError(ErrorCode::FileNotFound));
    EXPECT_EQ(runTimeErrorLine(own.number, own.text), "Run-time error '53': File not found");
    const auto memory = untrappedError(std::bad_alloc());
    EXPECT_EQ(runTimeErrorLine(memory.number, memory.text), "Run-time error '7': Out of memory");
    const auto other = untrappedError(std::out_of_range("index 4"));
    EXPECT_EQ(runTimeErrorLine(other.number, other.text), "Run-time error '51': Internal error");
    EXPECT_EQ(runTimeErrorHeading(481), "Run-time error '481':");
}

TEST(FailureRegime, LetsErrorsPassUntilSwitchedThenSkipsTheFailingStepOnly)
{
    FailureRegime regime;
    EXPECT_THROW(regime.run([] { throw RuntimeError(ErrorCode::FileNotFound); }), RuntimeError);

    regime.skipFailures();
    int stepsRun = 0;
    regime.run([&] {
        ++stepsRun;
        throw RuntimeError(ErrorCode::TypeMismatch);
    });
    regime.run([&] { ++stepsRun; });
    EXPECT_EQ(stepsRun, 2);
    // Only run-time errors are skipped; a programming error still surfaces.
    EXPECT_THROW(regime.run([] { throw std::logic_error("bug"); }), std::logic_error);
}

TEST(GbkDecoder, DecodesRealGbkBytes)
{
    GbkDecoder gbk;
    // "荧光棒" and "试试手气" in code page 936.
    EXPECT_EQ(gbk.decode("\xD3\xAB\xB9\xE2\xB0\xF4"), "荧光棒");
    EXPECT_EQ(gbk.decode("\xCA\xD4\xCA\xD4\xCA\xD6\xC6\xF8"), "试试手气");
    EXPECT_EQ(gbk.decode("Golden Cup 10"), "Golden Cup 10");
    EXPECT_EQ(gbk.decode("\x80"), "€");
}

TEST(GbkDecoder, ReplacesInvalidBytesAndKeepsGoing)
{
    GbkDecoder gbk;
    EXPECT_EQ(gbk.decode("a\xFF"
                         "b"),
              "a\uFFFD"
              "b");
    EXPECT_EQ(gbk.decode("\xD3"), "\uFFFD"); // lead byte cut off at the end of the line
    EXPECT_EQ(gbk.decode("\xD3\xAB\xD3"), "荧\uFFFD");
    EXPECT_EQ(gbk.decode(std::string("x\0y", 3)), std::string("x\0y", 3));
    // The decoder is reused line after line; a bad line leaves no state behind.
    EXPECT_EQ(gbk.decode("\xB9\xE2"), "光");
}

// Every build decodes GBK alike, whichever converter the platform has: each
// one- and two-byte sequence decoded on its own, all the results in one
// FNV-1a digest. The constant is the Linux build's.
TEST(GbkDecoder, DecodesEveryOneAndTwoByteSequenceAsEveryBuildDoes)
{
    GbkDecoder gbk;
    std::uint64_t digest = 0xCBF29CE484222325;
    std::size_t characters = 0; // sequences that gave one character, not U+FFFD
    auto add = [&](std::string bytes) {
        const std::string text = gbk.decode(bytes) + '\xFF'; // 0xFF is in no UTF-8 text
        characters += text.find("\xEF\xBF\xBD") == std::string::npos;
        for (const char c : text)
            digest = (digest ^ static_cast<unsigned char>(c)) * 0x100000001B3;
    };
    for (int lead = 0; lead < 256; ++lead)
        add(std::string(1, static_cast<char>(lead)));
    for (int lead = 0; lead < 256; ++lead)
        for (int trail = 0; trail < 256; ++trail)
            add({static_cast<char>(lead), static_cast<char>(trail)});
    EXPECT_EQ(characters, 38561u);
    EXPECT_EQ(digest, 12350281700472756824u);
}

TEST(SanitizeUtf8, KeepsValidTextAndReplacesBrokenSequences)
{
    EXPECT_EQ(sanitizeUtf8("荧光棒 ok"), "荧光棒 ok");
    EXPECT_EQ(sanitizeUtf8("\xC0\xAF"), "\uFFFD\uFFFD");           // overlong slash
    EXPECT_EQ(sanitizeUtf8("\xED\xA0\x80"), "\uFFFD\uFFFD\uFFFD"); // surrogate
    EXPECT_EQ(sanitizeUtf8("\xE8\x8D"), "\uFFFD\uFFFD");           // cut short
    EXPECT_EQ(sanitizeUtf8("\xF0\x9F\x8E\x81"), "\xF0\x9F\x8E\x81");
}
