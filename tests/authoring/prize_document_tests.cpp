// The list document: read as the game reads, written back without loss.
#include "authoring_fixtures.h"
#include "prize_document.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

using namespace testing_authoring;
using authoring::Encoding;
using authoring::Field;
using authoring::ListError;
using authoring::PrizeDocument;

namespace {
std::vector<std::string> filesIn(const std::filesystem::path &folder)
{
    std::vector<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}
} // namespace

TEST(PrizeDocument, SavesAnUnchangedListByteForByte)
{
    fakes::TempFolder folder;
    // Odd fifth lines, blanks at both ends, bytes that are not GBK text.
    const std::string list = fakes::record(" 30 ", "65535", kGlowStick, "10", "anything \xFF\x80 at all") +
                             fakes::record("70\t", "\xFF\xFE\x81", "  " + kLollipop + "  ", "\x81", "   ");
    const auto file = folder.write("data.ini", list);
    PrizeDocument document = PrizeDocument::open(file);
    EXPECT_EQ(document.bytes(), list);
    document.save(file);
    EXPECT_EQ(slurp(file), list);
    EXPECT_EQ(slurp(folder.path() / "data.ini.bak"), list);

    const std::string bundled = slurp(kSample / "data.ini");
    EXPECT_EQ(PrizeDocument::open(kSample / "data.ini").bytes(), bundled);

    // The last line gains its line end; the game reads the same either way.
    const auto open = folder.write("open.ini", "1\r\n2\r\nname\r\n3\r\nlast");
    EXPECT_EQ(PrizeDocument::open(open).bytes(), "1\r\n2\r\nname\r\n3\r\nlast\r\n");
}

TEST(PrizeDocument, ReadsTheRecordsTheGameReads)
{
    fakes::TempFolder folder;
    // LF and CR line ends; the last record stops after its name.
    const auto file = folder.write("data.ini", "30\n255\nfirst\n1\n\r70\r0\rsecond");
    const PrizeDocument document = PrizeDocument::open(file);
    ASSERT_EQ(document.size(), 2);
    EXPECT_TRUE(document.readReport().lastRecordCutShort);
    // The game repeats the line before for each missing line.
    EXPECT_EQ(document.text(1, Field::Amount), "second");
    EXPECT_EQ(document.text(1, Field::Note), "second");
    EXPECT_EQ(document.bytes(), "30\r\n255\r\nfirst\r\n1\r\n\r\n70\r\n0\r\nsecond\r\nsecond\r\nsecond\r\n");

    std::string many;
    for (int i = 0; i <= catalogue::Catalogue::kMaxPrizes; ++i)
        many += fakes::record("0", "0", "p" + std::to_string(i), "1");
    const auto big = folder.write("big.ini", many);
    const PrizeDocument tooMany = PrizeDocument::open(big);
    EXPECT_EQ(tooMany.size(), catalogue::Catalogue::kMaxPrizes);
    EXPECT_THROW(tooMany.bytes(), ListError); // saving would drop the 1001st

    EXPECT_THROW(PrizeDocument::open(folder.write("short.ini", "1\r\n2\r\n")), catalogue::RuntimeError);

    // After a full list and a refused one, a list in memory holds only its own prize.
    const PrizeDocument small = PrizeDocument::read(
        catalogue::PrizeListFile::overBytes(fakes::record("100", "0", kGlowStick, "1")), "data.ini");
    ASSERT_EQ(small.size(), 1);
    EXPECT_FALSE(small.readReport().recordsIgnored);
    EXPECT_EQ(small.text(0, Field::Name), "荧光棒");
}

TEST(PrizeDocument, WritesAChangedLineInTheChosenEncoding)
{
    fakes::TempFolder folder;
    const std::string second = fakes::record("70", "0", kLollipop, "1", "\xFF");
    const auto file = folder.write("data.ini", fakes::record("30", "255", kGlowStick, "10") + second);
    PrizeDocument document = PrizeDocument::open(file);
    document.setText(0, Field::Name, "棒棒糖");
    EXPECT_EQ(document.bytes(), fakes::record("30", "255", kLollipop, "10") + second);

    document.setEncoding(Encoding::Utf8);
    EXPECT_EQ(document.bytes(), "\xEF\xBB\xBF" + fakes::record("30", "255", "棒棒糖", "10") +
                                    fakes::record("70", "0", "棒棒糖", "1", "\xEF\xBF\xBD"));

    // Edits move whole records; the same text again keeps the bytes as read.
    document.setEncoding(Encoding::Gbk);
    document.move(1, 0);
    document.insert(2, {"0", "0", "new", "", ""});
    document.setText(0, Field::Note, document.text(0, Field::Note));
    EXPECT_EQ(document.bytes(),
              second + fakes::record("30", "255", kLollipop, "10") + fakes::record("0", "0", "new", ""));
    document.remove(0);
    EXPECT_EQ(document.size(), 2);
    EXPECT_THROW(document.setText(0, Field::Name, "two\nlines"), ListError);
}

TEST(PrizeDocument, RefusesATextGbkCannotHoldAndWritesNothing)
{
    fakes::TempFolder folder;
    const std::string list = fakes::record("100", "255", kGlowStick, "1");
    const auto file = folder.write("data.ini", list);
    PrizeDocument document = PrizeDocument::open(file);
    document.setText(0, Field::Name, "礼物🎁");
    try {
        document.save(file);
        FAIL() << "saved a name GBK cannot hold";
    } catch (const ListError &error) {
        const std::string message = error.what();
        EXPECT_NE(message.find("prize 1 \"礼物🎁\""), std::string::npos) << message;
        EXPECT_NE(message.find("U+1F381"), std::string::npos) << message;
        EXPECT_NE(message.find("UTF-8 with a byte-order mark"), std::string::npos) << message;
    }
    EXPECT_EQ(slurp(file), list);
    EXPECT_EQ(filesIn(folder.path()), std::vector<std::string>{"data.ini"});

    document.setEncoding(Encoding::Utf8);
    document.save(file);
    EXPECT_EQ(slurp(file), "\xEF\xBB\xBF" + fakes::record("100", "255", "礼物🎁", "1"));
}

TEST(PrizeDocument, RefusesALineLongerThanTheGameReads)
{
    fakes::TempFolder folder;
    const std::string longest(catalogue::PrizeListFile::kMaxLineBytes, 'n');
    const auto file = folder.write("data.ini", fakes::record("100", "255", "a", "1") +
                                                   fakes::record("0", "0", "b", "1", longest + "n"));
    try {
        PrizeDocument::open(file);
        FAIL() << "opened a list whose line the game cuts";
    } catch (const ListError &error) {
        EXPECT_NE(std::string(error.what()).find(file.string() + ", line 10 (the note of prize 2)"), std::string::npos)
            << error.what();
    }

    // A line as long as the game reads is kept; one byte more is refused at saving.
    PrizeDocument document = PrizeDocument::open(folder.write("ok.ini", fakes::record("100", "255", longest, "1")));
    EXPECT_EQ(document.text(0, Field::Name), longest);
    document.setText(0, Field::Amount, longest + "1");
    EXPECT_THROW(document.bytes(), ListError);
    EXPECT_THROW(document.save(folder.path() / "ok.ini"), ListError);
    EXPECT_EQ(PrizeDocument::open(folder.path() / "ok.ini").text(0, Field::Amount), "1");
}

TEST(AtomicSave, LeavesTheOldFileAndItsBackupWhenTheWriteFails)
{
    fakes::TempFolder folder;
    const std::string first = fakes::record("100", "255", "first", "1");
    const auto file = folder.write("data.ini", first);
    PrizeDocument document = PrizeDocument::open(file);
    document.setText(0, Field::Name, "second");
    document.save(file);
    const std::string second = slurp(file);
    ASSERT_EQ(slurp(folder.path() / "data.ini.bak"), first);

    // A full disk, as a file size limit (root ignores a read-only folder).
    document.setText(0, Field::Name, std::string(900, 'x'));
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 500;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    EXPECT_THROW(document.save(file), ListError);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(slurp(file), second);
    EXPECT_EQ(slurp(folder.path() / "data.ini.bak"), first);
    EXPECT_EQ(filesIn(folder.path()), (std::vector<std::string>{"data.ini", "data.ini.bak"}));

    if (geteuid() != 0) {
        std::filesystem::permissions(folder.path(),
                                     std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
        EXPECT_THROW(document.save(file), ListError);
        std::filesystem::permissions(folder.path(), std::filesystem::perms::owner_all);
        EXPECT_EQ(slurp(file), second);
    }
}
