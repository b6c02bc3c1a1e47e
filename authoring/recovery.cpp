// The recovery copy: a header line, then length-prefixed texts and pictures.
#include "recovery.h"

#include "i18n.h"

#include <algorithm>
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

namespace {
std::string stemOf(const std::optional<fs::path> &list)
{
    if (!list)
        return "untitled";
    const std::string absolute = fs::absolute(*list).lexically_normal().string();
    return std::to_string(std::hash<std::string>{}(absolute));
}

// The owner a copy's name holds ("<stem>.<number>-<started>.recovery");
// none for a name without one, as an older editor wrote.
std::optional<ProcessId> ownerOf(std::string_view name, std::string_view stem)
{
    constexpr std::string_view kEnd = ".recovery";
    if (!name.starts_with(stem) || !name.ends_with(kEnd))
        return std::nullopt;
    std::string_view owner = name.substr(stem.size(), name.size() - stem.size() - kEnd.size());
    ProcessId id;
    const auto dash = owner.find('-');
    if (!owner.starts_with('.') || dash == std::string_view::npos)
        return std::nullopt;
    const auto number = std::from_chars(owner.data() + 1, owner.data() + dash, id.number);
    const auto started = std::from_chars(owner.data() + dash + 1, owner.data() + owner.size(), id.started);
    if (number.ec != std::errc() || number.ptr != owner.data() + dash || started.ec != std::errc() ||
        started.ptr != owner.data() + owner.size())
        return std::nullopt;
    return id;
}
} // namespace

fs::path recoveryFileOf(const fs::path &stateFolder, const std::optional<fs::path> &list, const ProcessId &owner)
{
    return stateFolder /
           (stemOf(list) + "." + std::to_string(owner.number) + "-" + std::to_string(owner.started) + ".recovery");
}

std::vector<fs::path> abandonedRecoveryFiles(const fs::path &stateFolder, const std::optional<fs::path> &list)
{
    const std::string stem = stemOf(list);
    std::vector<std::pair<fs::file_time_type, fs::path>> found;
    std::error_code error;
    for (fs::directory_iterator entry(stateFolder, error), end; !error && entry != end; entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        const bool older = name == stem + ".recovery"; // no owner named: no editor keeps it now
        const auto owner = ownerOf(name, stem);
        if (!older && (!owner || isRunning(*owner)))
            continue;
        std::error_code noTime;
        found.emplace_back(fs::last_write_time(entry->path(), noTime), entry->path());
    }
    std::sort(found.begin(), found.end(), [](const auto &a, const auto &b) { return a.first > b.first; });
    std::vector<fs::path> files;
    for (auto &[time, file] : found)
        files.push_back(std::move(file));
    return files;
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
