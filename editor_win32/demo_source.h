// A stand-in for the editing core until it is bound: the list beside the
// program read as it is, edits kept in memory and never saved, no undo and
// no odds. It lets the Windows editor's window be seen and tried.
#pragma once

#include "catalogue.h"
#include "prize_document.h"
#include "table_source.h"

#include <filesystem>
#include <memory>

namespace editor_win32 {

class DemoSource : public TableSource {
public:
    enum Column { Index, Weight, Colour, Name, Amount, Note, Picture, Chance, Draws, Columns };

    // Reads folder/data.ini, and its pictures at the card's picture size
    // at dpi; an unreadable list gives an empty table.
    DemoSource(const std::filesystem::path &folder, int dpi);
    ~DemoSource() override;

    // The list as the game reads it, for the card preview.
    const catalogue::Catalogue &prizes() const { return *prizes_; }

    int rows() const override { return document_.size(); }
    int columns() const override { return Columns; }
    std::wstring header(int column) const override;
    int width(int column) const override;
    CellKind kind(int column) const override;
    bool alignRight(int column) const override { return column >= Chance; }
    bool copied(int column) const override { return column != Index && column < Picture; }
    std::wstring cell(int row, int column) const override;
    bool editable(int row, int column) const override;
    std::optional<std::wstring> setCell(int row, int column, const std::wstring &text) override;
    std::optional<std::uint32_t> colour(int row) const override;
    std::shared_ptr<const window::Pixels> thumbnail(int row) const override;
    void moveRows(const std::vector<int> &rows, int before) override;
    void paste(const std::wstring &text, const std::vector<int> &selected) override;

private:
    authoring::PrizeDocument document_;
    std::unique_ptr<catalogue::Catalogue> prizes_;
    std::shared_ptr<void> pictures_; // the loader the catalogue's pictures come from
};

} // namespace editor_win32
