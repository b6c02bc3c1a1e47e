// The odds of a prize list as the game draws it: the list loaded through the
// game's own reader, the exact share of every slot, and the warnings.
#pragma once

#include "catalogue.h"
#include "folder_listing.h"
#include "i18n.h"
#include "label_fit.h"
#include "picture_rules.h"
#include "text_measure.h"
#include "warning_code.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace odds {

// The generator yields u = k / 2^24, so a draw is one of exactly this many values.
inline constexpr std::uint32_t kDrawValues = 1u << 24;

enum class PictureState { Loaded, Missing, UnsafeName, Refused };
const char *pictureStateText(PictureState state);  // a stable key, as --json gives it
const char *pictureStateLabel(PictureState state); // in the user's language

// The game's text of a run-time error ("File not found") in the user's language.
std::string runTimeErrorText(const catalogue::RuntimeError &error);

// A prize list read the way the game reads it, from any path.
struct PrizeList {
    std::filesystem::path file;
    std::filesystem::path pictureFolder;
    std::unique_ptr<catalogue::Catalogue> catalogue; // bounds after the cumulative pass
    catalogue::ReadReport read;
    std::vector<catalogue::Variant> weights; // each prize's pr as read
    std::vector<PictureState> pictures;      // each prize's picture
    std::vector<std::string> pictureErrors;  // the loader's reason for a refusal
    std::vector<std::optional<window::PictureSize>>
        pictureSizes;                            // a loaded picture's pixels, upright, as its file's header gives them
    bool looksUtf8WithoutMark = false;           // GBK as the game reads it, UTF-8 as written
    bool markAddedAtSave = false;                // read as UTF-8 from a file that lacks the mark Save writes
    std::vector<std::string> pictureFolderFiles; // UTF-8 names of the files in pictureFolder, sorted
    bool fileNamesIgnoreCase = false;            // as the platform opens the pictures
};

// Opens dataIni, reads it and its pictures from the picture folder beside it,
// and runs the cumulative pass. Throws the RuntimeError that would end the
// game's start-up (53, 75, 62).
PrizeList loadPrizeList(const std::filesystem::path &dataIni, catalogue::PictureLoader &loader);

// The pixel sizes of loaded pictures, from their files' headers, kept while
// the loader hands out the same picture for a file, so that checking a list
// again after an edit reads no header twice. One check at a time.
class PictureSizes {
public:
    std::optional<window::PictureSize> of(const catalogue::PicturePtr &picture, const std::filesystem::path &file);

private:
    struct Known {
        std::weak_ptr<const catalogue::Picture> picture;
        std::optional<window::PictureSize> size;
    };
    std::map<const catalogue::Picture *, Known> known_;
};

// The same from lines that stand for the file dataIni (a list being edited,
// say): pictures come from the picture folder beside dataIni. Throws as the
// game's start-up would (62). listed, when given, is the picture folder as
// the loader saw it, which then need not be read again.
PrizeList readPrizeList(const std::filesystem::path &dataIni, catalogue::LineInput &lines,
                        catalogue::PictureLoader &loader, PictureSizes *sizes = nullptr,
                        const FolderSnapshot *listed = nullptr);

// How many of the 2^24 draw values land on each slot 0 to prizeCount; the
// last is the empty card past the last prize.
std::vector<std::uint32_t> exactCounts(const catalogue::Catalogue &prizes);

struct PrizeRow {
    int index = 0;
    std::string name;
    std::string amount;
    std::string weightText; // as written
    double weight = 0;      // as the cumulative pass counts it
    bool weightIsNumber = true;
    std::string colorText;  // as written
    std::int32_t color = 0; // as the strip shows it
    bool colorUsable = true;
    std::uint32_t count = 0; // draw values that show this prize
    PictureState picture = PictureState::Missing;
    catalogue::PicturePtr loadedPicture;
    std::string pictureError;                       // the loader's reason, for a refused picture
    std::optional<window::PictureSize> pictureSize; // a loaded picture's pixels, when its header gives them
};

struct Warning {
    WarningCode code;
    std::optional<int> index; // the prize it is about, if any
    std::string name;
    std::string message; // in English, as --json gives it
    std::string file;    // the picture file it is about, as "picture/<name>", if any
    i18n::Message text;  // the message with its values, for the user's language where it is shown
    // What to do, each a remedy of its own, when text does not say it: the
    // tools write them after text, the editor one a line.
    std::vector<i18n::Message> remedies;
};

// A warning's text and its remedies as one sentence, in the user's language.
std::string textWithRemedies(const Warning &warning);

struct OddsReport {
    std::filesystem::path file;
    std::filesystem::path pictureFolder;
    // Where the game looks for the prize's picture; made when asked, as a
    // check of a long list needs few of them.
    std::filesystem::path picturePathOf(const PrizeRow &prize) const;
    bool readAsUtf8 = false;
    bool recordsIgnored = false;
    bool lastRecordCutShort = false;
    bool looksUtf8WithoutMark = false;
    double totalWeight = 0;
    std::vector<PrizeRow> prizes;
    std::uint32_t emptyCount = 0; // draw values that show the empty card
    std::vector<Warning> warnings;
};

// With a measure, also whether each name and amount shows whole on the card
// in the card's fonts; without one, that is not judged.
// kept, when given, holds the label fits of earlier reports with measure.
OddsReport buildReport(const PrizeList &list, window::TextMeasure *measure = nullptr, LabelFits *kept = nullptr);

// A character a file name cannot hold, as a message names it: quoted, or its
// code point when it does not show (a control character).
std::string shownCharacter(char c);

// The "#RRGGBB" of a colour in red + 256 * green + 65536 * blue.
std::string hexColor(std::int32_t color);

// How far the black name stands out from a strip of this colour: the
// contrast ratio (L + 0.05) / 0.05 by relative luminance L, from 1 to 21.
double contrastWithBlack(std::int32_t color);
// Below this the name is hard to read, as for large text on a screen.
inline constexpr double kMinNameContrast = 3.0;

// A share of the draw values as a percentage.
inline double percentOf(std::uint64_t count, std::uint64_t total = kDrawValues)
{
    return total ? 100.0 * static_cast<double>(count) / static_cast<double>(total) : 0.0;
}

} // namespace odds
