// The prize list in memory: the Prize table, the prize count and the Picture
// table, with the reader that fills them and the cumulative pass.
#pragma once

#include "award.h"
#include "picture_loader.h"
#include "prize_list_file.h"
#include "runtime_error.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <vector>

namespace catalogue {

class Catalogue {
public:
    // Slots 0 to 1000: at most 1000 prizes, and the slot past the last one
    // holds the total weight.
    static constexpr int kSlots = 1001;
    static constexpr int kMaxPrizes = kSlots - 1;

    // Both throw SubscriptOutOfRange outside 0 to 1000.
    award &prize(int index) { return prizes_[checked(index)]; }
    const award &prize(int index) const { return prizes_[checked(index)]; }
    Variant &picture(int index) { return pictures_[checked(index)]; }
    const Variant &picture(int index) const { return pictures_[checked(index)]; }

    std::int16_t prizeCount = 0;

    // Empties slots 0 to prizeCount, which a read or the cumulative pass
    // wrote (a read that throws may have written the slot at the count),
    // and the count, so that the table can be read into again.
    void empty();

private:
    static std::size_t checked(int index)
    {
        if (index < 0 || index >= kSlots)
            throw RuntimeError(ErrorCode::SubscriptOutOfRange);
        return static_cast<std::size_t>(index);
    }

    std::array<award, kSlots> prizes_{};
    std::array<Variant, kSlots> pictures_{};
};

// What the reader met that the table itself does not show.
struct ReadReport {
    bool readAsUtf8 = false;         // the file began with a UTF-8 byte-order mark
    bool lastRecordCutShort = false; // the file ended inside a record
    bool recordsIgnored = false;     // records past the 1000th were left unread
    std::vector<int> linesCut;       // lines (from 1) cut at PrizeListFile::kMaxLineBytes
};

// Reads every record of the open file into the tables and loads one picture
// per prize from pictureFolder. The first complete record switches regime to
// skipping failures. Stops after kMaxPrizes records.
ReadReport readPrizeList(Catalogue &catalogue, LineInput &file, const std::filesystem::path &pictureFolder,
                         PictureLoader &pictures, FailureRegime &regime);

// Turns weights into cumulative upper bounds, through the slot past the last
// prize, which receives the total. A weight that is not a number counts as 0.
void cumulativePass(Catalogue &catalogue);

// The weight a pr field stands for in the cumulative pass: its number, or 0
// when it holds none; clamped to +-1e300 so that no sum leaves the doubles.
double weightOf(const Variant &pr);

} // namespace catalogue
