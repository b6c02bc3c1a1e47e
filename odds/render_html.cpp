// The report as a one-page odds sheet to print or publish.
#include "render_html.h"

#include "picture_files.h"

#include "i18n.h"

#include <fmt/format.h>

#include <algorithm>
#include <fstream>

namespace odds {

namespace {

// Larger pictures are left out rather than swelling the sheet.
constexpr std::uintmax_t kMaxEmbeddedBytes = 8u << 20;

std::string base64(std::string_view bytes)
{
    static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
        std::uint32_t group = 0;
        for (std::size_t j = 0; j < 3; ++j)
            group = group << 8 | (j < n ? static_cast<unsigned char>(bytes[i + j]) : 0u);
        for (std::size_t j = 0; j < 4; ++j)
            out += j <= n ? kDigits[(group >> (18 - 6 * j)) & 0x3F] : '=';
    }
    return out;
}

// A data: URI of the loaded picture, or empty when there is none to embed.
std::string pictureUri(const PrizeRow &row)
{
    const auto file = std::dynamic_pointer_cast<const PictureFile>(row.loadedPicture);
    if (!file)
        return {};
    std::error_code ec;
    const auto size = std::filesystem::file_size(file->path, ec);
    if (file->cardSizeJpeg) // a photo shrinks to the card; a small picture is kept as it is
        if (const std::string small = file->cardSizeJpeg(); !small.empty() && (ec || small.size() < size))
            return "data:image/jpeg;base64," + base64(small);
    if (ec || size > kMaxEmbeddedBytes)
        return {};
    std::ifstream in(file->path, std::ios::binary);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!in)
        return {}; // gone since it was loaded
    return fmt::format("data:{};base64,{}", file->mimeType, base64(bytes));
}

constexpr std::string_view kStyle = R"(
@page { size: A4; margin: 14mm; }
body { font-family: "DejaVu Sans", Arial, "Noto Sans CJK SC", "Droid Sans Fallback", "AR PL UMing CN", sans-serif; color: #222; margin: 0 auto; max-width: 180mm; }
h1 { font-size: 20pt; margin: 0 0 2mm; }
p.lead { margin: 0 0 5mm; font-size: 10pt; color: #555; }
table { border-collapse: collapse; width: 100%; font-size: 11pt; }
th { text-align: left; font-weight: normal; font-size: 9pt; color: #555; border-bottom: 1.5px solid #222; padding: 1.5mm 2mm; }
td { border-bottom: 1px solid #ccc; padding: 1.5mm 2mm; vertical-align: middle; }
td.pic { width: 24mm; }
.pic img, .pic .none { width: 24mm; height: 15.3mm; display: block; border: 1px solid #999; object-fit: fill; }
.pic img { image-orientation: from-image; } /* upright as the photo's orientation tag says, as on the card */
.pic .none { background: #d4d0c8; }
.swatch { width: 7mm; height: 7mm; border: 1px solid #555; display: inline-block; }
th.num { text-align: right; }
td.num { text-align: right; font-variant-numeric: tabular-nums; white-space: nowrap; }
td.bar { width: 45mm; }
.track { background: #eee; height: 4mm; width: 45mm; }
.fill { height: 4mm; background: #3a6ea5; }
tr.empty td { color: #666; font-style: italic; }
p.foot { font-size: 8.5pt; color: #666; margin-top: 4mm; }
)";

std::string row(std::string_view number, std::string_view picture, std::int32_t color, std::string_view name,
                std::string_view amount, std::uint32_t count, std::uint32_t largest, bool empty)
{
    const std::string image =
        picture.empty() ? R"(<div class="none"></div>)" : fmt::format(R"(<img src="{}" alt="">)", picture);
    const double width = largest ? 100.0 * count / largest : 0.0;
    return fmt::format("<tr{}><td class=\"num\">{}</td><td class=\"pic\">{}</td><td><span class=\"swatch\" "
                       "style=\"background:{}\"></span></td>"
                       "<td>{}</td><td>{}</td><td class=\"num\">{:.4f}%</td>"
                       "<td class=\"bar\"><div class=\"track\"><div class=\"fill\" style=\"width:{:.2f}%\"></div>"
                       "</div></td></tr>\n",
                       empty ? " class=\"empty\"" : "", number, image, hexColor(color), escapeHtml(name),
                       amount.empty() ? std::string() : "x " + escapeHtml(amount), percentOf(count), width);
}

} // namespace

std::string escapeHtml(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string renderHtml(const OddsReport &report)
{
    std::uint32_t largest = report.emptyCount;
    for (const PrizeRow &prize : report.prizes)
        largest = std::max(largest, prize.count);

    std::string rows;
    for (const PrizeRow &prize : report.prizes)
        rows += row(std::to_string(prize.index + 1), pictureUri(prize), prize.color, prize.name, prize.amount,
                    prize.count, largest, false);
    if (report.emptyCount > 0)
        rows += row({}, {}, 0, i18n::tr("(no prize: empty card)"), {}, report.emptyCount, largest, true);

    const std::string file = report.file.filename().string();
    const auto text = [](const std::string &english) { return escapeHtml(english); };
    return fmt::format(
        R"(<!DOCTYPE html>
<html lang="{lang}">
<head>
<meta charset="utf-8">
<title>{title}</title>
<style>{style}</style>
</head>
<body>
<h1>{heading}</h1>
<p class="lead">{lead}</p>
<table>
<thead><tr><th class="num">#</th><th>{picture}</th><th>{colour}</th><th>{prize}</th><th>{amount}</th><th class="num">{probability}</th><th>{share}</th></tr></thead>
<tbody>
{rows}</tbody>
</table>
<p class="foot">{foot}</p>
</body>
</html>
)",
        fmt::arg("lang", i18n::languageTag()), fmt::arg("title", text(i18n::tr("Prize odds: {0}", file))),
        fmt::arg("style", kStyle), fmt::arg("heading", text(i18n::tr("Prize odds"))),
        fmt::arg("lead", text(i18n::tr("{0} prizes. Each card is filled by one weighted draw; the "
                                       "probability is the exact share of the draws that show the prize.",
                                       report.prizes.size()))),
        fmt::arg("picture", text(i18n::tr("picture"))), fmt::arg("colour", text(i18n::tr("colour"))),
        fmt::arg("prize", text(i18n::tr("prize"))), fmt::arg("amount", text(i18n::tr("amount"))),
        fmt::arg("probability", text(i18n::tr("probability"))), fmt::arg("share", text(i18n::tr("share of draws"))),
        fmt::arg("rows", rows),
        fmt::arg("foot", text(i18n::tr("{0}: each draw is one of {1} equally likely values; every "
                                       "share above is counted over all of them.",
                                       file, kDrawValues))));
}

} // namespace odds
