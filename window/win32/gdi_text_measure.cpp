// GDI fonts made from the design, and GDI's measure of text in them.
#include "gdi_text_measure.h"

#include "wide_text.h"

namespace window::win32 {

namespace {
bool fontInstalled(const std::wstring &face)
{
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(wanted.lfFaceName, face.c_str(), LF_FACESIZE);
    bool found = false;
    const HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(
        screen, &wanted,
        [](const LOGFONTW *, const TEXTMETRICW *, DWORD, LPARAM found) -> int {
            *reinterpret_cast<bool *>(found) = true;
            return 0;
        },
        reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}
} // namespace

// The first installed face of the list; where none is, the first face,
// which the font mapper replaces by one of the same character set.
HFONT createFont(const design::Font &font, int dpi)
{
    LOGFONTW log{};
    log.lfHeight = -design::pointsToPixels(font.points, dpi); // negative: the em height
    log.lfWeight = font.weight;
    log.lfCharSet = BYTE(font.charset);
    log.lfOutPrecision = OUT_TT_PRECIS;
    log.lfQuality = ANTIALIASED_QUALITY;
    std::wstring face = font.faces.empty() ? std::wstring() : widen(font.faces.front());
    for (std::string_view candidate : font.faces)
        if (const std::wstring wide = widen(candidate); fontInstalled(wide)) {
            face = wide;
            break;
        }
    lstrcpynW(log.lfFaceName, face.c_str(), LF_FACESIZE);
    return CreateFontIndirectW(&log);
}

GdiTextMeasure::GdiTextMeasure() : dc_(CreateCompatibleDC(nullptr)) {}

GdiTextMeasure::~GdiTextMeasure()
{
    if (dc_)
        DeleteDC(dc_); // first, so that no font is selected when it is deleted
    for (const auto &[font, handle] : fonts_)
        DeleteObject(handle);
}

void GdiTextMeasure::select(const design::Font &font)
{
    for (const auto &[known, handle] : fonts_)
        if (known.faces.data() == font.faces.data() && known.faces.size() == font.faces.size() &&
            known.points == font.points && known.weight == font.weight) {
            SelectObject(dc_, handle);
            return;
        }
    const HFONT handle = createFont(font, design::kDesignDpi);
    fonts_.emplace_back(font, handle);
    SelectObject(dc_, handle);
}

int GdiTextMeasure::widthPixels(const design::Font &font, std::string_view utf8)
{
    select(font);
    const std::wstring text = widen(utf8);
    SIZE size{};
    GetTextExtentPoint32W(dc_, text.c_str(), int(text.size()), &size);
    return size.cx;
}

bool GdiTextMeasure::hasCharacter(const design::Font &font, char32_t character)
{
    select(font);
    // Past U+FFFF the character is a surrogate pair, which the look-up sees
    // as two unknown units: such a character counts as not drawn.
    std::wstring units;
    if (character > 0xFFFF) {
        units += wchar_t(0xD800 + ((character - 0x10000) >> 10));
        units += wchar_t(0xDC00 + ((character - 0x10000) & 0x3FF));
    } else {
        units += wchar_t(character);
    }
    WORD glyphs[2] = {};
    if (GetGlyphIndicesW(dc_, units.c_str(), int(units.size()), glyphs, GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR)
        return false;
    for (std::size_t i = 0; i < units.size(); ++i)
        if (glyphs[i] == 0xFFFF)
            return false;
    return true;
}

} // namespace window::win32
