// The codes of the list checks' warnings, named once for every program. Each
// has a text that --json gives and that users' scripts match: a released
// text never changes.
#pragma once

#include <iosfwd>
#include <string_view>

namespace odds {

enum class WarningCode {
    ReadAsUtf8,
    Utf8WithoutBom,
    RecordsIgnored,
    NoPrizes,
    TotalNot100,
    LastRecordCutShort,
    LineCut,
    WeightNotANumber,
    WeightNegative,
    WeightZero,
    Cut,
    Rare,
    ColorUnusable,
    ColorHidesName,
    NameTooWide,
    AmountTooWide,
    NameCharacterMissing,
    AmountCharacterMissing,
    PictureTooSmall,
    PictureNearMiss,
    PicturePortrait,
    PictureMissing,
    PictureRefused,
    PictureUnsafeName,
    NameNotWindowsFile,
    NameDuplicate,
    PictureUnused,
};

// The code's stable text, as --json gives it: "picture-near-miss", say.
std::string_view codeText(WarningCode code);

// Whether a warning is about how a prize's name or amount shows on the card.
bool isCardTextWarning(WarningCode code);

// The code's text, for test output and logs.
std::ostream &operator<<(std::ostream &out, WarningCode code);

} // namespace odds
