// The stand-in source: the document's texts, the game's reading of the list
// for colours and pictures.
#include "demo_source.h"

#include "decode_pool.h"
#include "form1_design.h"
#include "headless_window.h"
#include "i18n.h"
#include "random_source.h"
#include "startup.h"
#include "wic_picture_loader.h"
#include "wide_text.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace editor_win32 {

using authoring::Field;
using window::win32::narrow;
using window::win32::widen;

namespace {

std::optional<Field> fieldOf(int column)
{
    switch (column) {
    case DemoSource::Weight: return Field::Weight;
    case DemoSource::Colour: return Field::Color;
    case DemoSource::Name: return Field::Name;
    case DemoSource::Amount: return Field::Amount;
    case DemoSource::Note: return Field::Note;
    default: return std::nullopt;
    }
}

// The card's picture box at dpi, where the preview shows a picture.
window::win32::DeviceSize pictureSize(int dpi)
{
    using namespace window::design;
    const PixelRect box = toPixels(control(Role::CardPicture, 0).rect, dpi);
    return {box.width, box.height};
}

// The loader and the thread that decodes for it, kept together.
struct Pictures {
    // Transparent pixels show the card's grey, as on the game's cards.
    explicit Pictures(int dpi)
        : loader(pictureSize(dpi), &pool,
                 std::uint32_t(GetRValue(GetSysColor(COLOR_BTNFACE))) << 16 |
                     std::uint32_t(GetGValue(GetSysColor(COLOR_BTNFACE))) << 8 | GetBValue(GetSysColor(COLOR_BTNFACE)))
    {
    }
    window::win32::WicPictureLoader loader;
    window::DecodePool pool{1}; // last: its thread is joined first
};

} // namespace

DemoSource::DemoSource(const std::filesystem::path &folder, int dpi) : prizes_(std::make_unique<catalogue::Catalogue>())
{
    try {
        document_ = authoring::PrizeDocument::open(folder / "data.ini");
        auto pictures = std::make_shared<Pictures>(dpi);
        reel::Mt19937Source random(1);
        reel::HeadlessWindow cards;
        reel::startUp(folder, *prizes_, pictures->loader, random, cards);
        pictures_ = pictures;
    } catch (const std::exception &) {
        document_ = {}; // a demo: an empty table
    }
}

DemoSource::~DemoSource() = default;

std::wstring DemoSource::header(int column) const
{
    switch (column) {
    case Index: return widen(i18n::tr("#"));
    case Weight: return widen(i18n::tr("Weight"));
    case Colour: return widen(i18n::tr("Colour"));
    case Name: return widen(i18n::tr("Name"));
    case Amount: return widen(i18n::tr("Amount"));
    case Note: return widen(i18n::tr("Note"));
    case Picture: return widen(i18n::tr("Picture"));
    case Chance: return widen(i18n::tr("Chance"));
    default: return widen(i18n::tr("Draws of 2^24"));
    }
}

int DemoSource::width(int column) const
{
    // As the Qt table's.
    static const int widths[Columns] = {40, 70, 110, 130, 70, 90, 150, 95, 110};
    return widths[column];
}

CellKind DemoSource::kind(int column) const
{
    return column == Colour ? CellKind::Colour : column == Picture ? CellKind::Picture : CellKind::Text;
}

std::wstring DemoSource::cell(int row, int column) const
{
    if (column == Index)
        return std::to_wstring(row + 1);
    if (const auto field = fieldOf(column))
        return widen(document_.text(row, *field));
    return {}; // the core fills in pictures' states and the odds
}

bool DemoSource::editable(int, int column) const { return fieldOf(column).has_value(); }

std::optional<std::wstring> DemoSource::setCell(int row, int column, const std::wstring &text)
{
    const auto field = fieldOf(column);
    if (!field)
        return std::nullopt;
    document_.setText(row, *field, narrow(text));
    if (observer())
        observer()->rowsChanged(row, row);
    return std::nullopt;
}

std::optional<std::uint32_t> DemoSource::colour(int row) const
{
    const auto number = catalogue::Variant(document_.text(row, Field::Color)).numberIf();
    if (!number || *number < 0 || *number > 0xFFFFFF || std::floor(*number) != *number)
        return std::nullopt;
    return std::uint32_t(*number);
}

std::shared_ptr<const window::Pixels> DemoSource::thumbnail(int row) const
{
    if (row >= prizes_->prizeCount)
        return nullptr;
    const auto *picture = dynamic_cast<const window::win32::WicPicture *>(prizes_->picture(row).picture().get());
    return picture ? picture->pixels() : nullptr;
}

void DemoSource::moveRows(const std::vector<int> &rows, int before)
{
    // The new order of the old rows, reached by one move a place.
    std::vector<int> order;
    for (int row = 0; row <= document_.size(); ++row) {
        if (row == before)
            order.insert(order.end(), rows.begin(), rows.end());
        if (row < document_.size() && !std::binary_search(rows.begin(), rows.end(), row))
            order.push_back(row);
    }
    std::vector<int> now(order.size());
    std::iota(now.begin(), now.end(), 0);
    for (std::size_t at = 0; at < order.size(); ++at) {
        const auto from = std::size_t(std::find(now.begin(), now.end(), order[at]) - now.begin());
        if (from == at)
            continue;
        document_.move(int(from), int(at));
        now.erase(now.begin() + std::ptrdiff_t(from));
        now.insert(now.begin() + std::ptrdiff_t(at), order[at]);
    }
    if (observer())
        observer()->rowsMoved(rows, before);
}

void DemoSource::paste(const std::wstring &, const std::vector<int> &) {} // the core reads pasted rows

} // namespace editor_win32
