// The recovery copy: a header line, then length-prefixed texts and pictures.
#include "recovery.h"

#include "i18n.h"

#include <charconv>
#include <functional>

namespace authoring {

namespace fs = std::filesystem;

namespace {
constexpr std::string_view kHeader = "prizeedit recovery 1\n";

void putField(std::string &out, std::string_view field)
{
    out += std::to_string(field.size()) + ':';
    out += field;
}

// Reads what putField wrote; throws for anything else.
class Fields {
public:
    explicit Fields(std::string_view bytes) : rest_(bytes) {}
    bool atEnd() const { return rest_.empty(); }
    std::string_view next()
    {
        std::size_t size = 0;
        const auto [end, error] = std::from_chars(rest_.data(), rest_.data() + rest_.size(), size);
        const std::size_t digits = static_cast<std::size_t>(end - rest_.data());
        if (error != std::errc() || digits == rest_.size() || *end != ':' || size > rest_.size() - digits - 1)
            throw ListError(i18n::tr("the recovery copy is damaged"));
        const std::string_view field = rest_.substr(digits + 1, size);
        rest_.remove_prefix(digits + 1 + size);
        return field;
    }
    int number()
    {
        const std::string_view text = next();
        int value = -1;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (error != std::errc() || end != text.data() + text.size() || value < 0)
            throw ListError(i18n::tr("the recovery copy is damaged"));
        return value;
    }

private:
    std::string_view rest_;
};
} // namespace

fs::path recoveryFileOf(const fs::path &stateFolder, const std::optional<fs::path> &list)
{
    if (!list)
        return stateFolder / "untitled.recovery";
    const std::string absolute = fs::absolute(*list).lexically_normal().string();
    return stateFolder / (std::to_string(std::hash<std::string>{}(absolute)) + ".recovery");
}

std::string recoveryBytes(const PrizeDocument &document, const std::map<std::string, PictureBytes> &pictures)
{
    std::string out(kHeader);
    putField(out, encodingName(document.encoding()));
    putField(out, std::to_string(document.size()));
    for (int prize = 0; prize < document.size(); ++prize)
        for (const std::string &text : document.texts(prize))
            putField(out, text);
    putField(out, std::to_string(pictures.size()));
    for (const auto &[name, picture] : pictures) {
        putField(out, name);
        putField(out, picture ? "1" : "0");
        putField(out, picture ? *picture : std::string());
    }
    return out;
}

Recovered readRecovery(std::string_view copy)
{
    if (!copy.starts_with(kHeader))
        throw ListError(i18n::tr("this is no recovery copy of prizeedit"));
    Fields fields(copy.substr(kHeader.size()));
    Recovered recovered;
    const std::string_view encoding = fields.next();
    if (encoding != encodingName(Encoding::Gbk) && encoding != encodingName(Encoding::Utf8))
        throw ListError(i18n::tr("the recovery copy is damaged"));
    recovered.document.setEncoding(encoding == encodingName(Encoding::Gbk) ? Encoding::Gbk : Encoding::Utf8);
    const int prizes = fields.number();
    for (int prize = 0; prize < prizes; ++prize) {
        Texts texts;
        for (std::string &text : texts)
            text = fields.next();
        recovered.document.insert(prize, texts); // refuses a text no list can hold
    }
    const int planned = fields.number();
    for (int picture = 0; picture < planned; ++picture) {
        const std::string name(fields.next());
        const bool there = fields.number() == 1;
        const std::string_view bytes = fields.next();
        recovered.pictures[name] = there ? std::make_shared<const std::string>(bytes) : nullptr;
    }
    if (!fields.atEnd())
        throw ListError(i18n::tr("the recovery copy is damaged"));
    return recovered;
}

} // namespace authoring
