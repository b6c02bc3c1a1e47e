// The warnings' stable texts.
#include "warning_code.h"

#include <ostream>

namespace odds {

std::string_view codeText(WarningCode code)
{
    // A switch, so that a code added without its text fails to compile.
    switch (code) {
    case WarningCode::ReadAsUtf8: return "read-as-utf8";
    case WarningCode::Utf8WithoutBom: return "utf8-without-bom";
    case WarningCode::RecordsIgnored: return "records-ignored";
    case WarningCode::NoPrizes: return "no-prizes";
    case WarningCode::TotalNot100: return "total-not-100";
    case WarningCode::LastRecordCutShort: return "last-record-cut-short";
    case WarningCode::LineCut: return "line-cut";
    case WarningCode::WeightNotANumber: return "weight-not-a-number";
    case WarningCode::WeightNegative: return "weight-negative";
    case WarningCode::WeightZero: return "weight-zero";
    case WarningCode::Cut: return "cut";
    case WarningCode::Rare: return "rare";
    case WarningCode::ColorUnusable: return "color-unusable";
    case WarningCode::ColorHidesName: return "color-hides-name";
    case WarningCode::NameTooWide: return "name-too-wide";
    case WarningCode::AmountTooWide: return "amount-too-wide";
    case WarningCode::NameCharacterMissing: return "name-character-missing";
    case WarningCode::AmountCharacterMissing: return "amount-character-missing";
    case WarningCode::PictureTooSmall: return "picture-too-small";
    case WarningCode::PictureNearMiss: return "picture-near-miss";
    case WarningCode::PicturePortrait: return "picture-portrait";
    case WarningCode::PictureMissing: return "picture-missing";
    case WarningCode::PictureRefused: return "picture-refused";
    case WarningCode::PictureUnsafeName: return "picture-unsafe-name";
    case WarningCode::NameNotWindowsFile: return "name-not-windows-file";
    case WarningCode::NameDuplicate: return "name-duplicate";
    case WarningCode::PictureUnused: return "picture-unused";
    }
    return "unknown";
}

bool isCardTextWarning(WarningCode code)
{
    return code == WarningCode::NameTooWide || code == WarningCode::AmountTooWide ||
           code == WarningCode::NameCharacterMissing || code == WarningCode::AmountCharacterMissing;
}

std::ostream &operator<<(std::ostream &out, WarningCode code) { return out << codeText(code); }

} // namespace odds
