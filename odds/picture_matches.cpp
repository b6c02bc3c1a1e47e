// Matching picture files to prizes, exactly and as near misses.
#include "picture_matches.h"

#include "file_names.h"

namespace odds {

std::string nearMissKey(std::string_view name)
{
    std::string plain;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(name[k]); };
        // U+FF01 to U+FF5E are EF BC 81 to EF BD 9E; each stands for U+0021 to U+007E.
        if (byte(i) == 0xEF && i + 2 < name.size() && (byte(i + 1) == 0xBC || byte(i + 1) == 0xBD)) {
            const unsigned cp = 0xF000u | ((byte(i + 1) & 0x3Fu) << 6) | (byte(i + 2) & 0x3Fu);
            if (cp >= 0xFF01 && cp <= 0xFF5E) {
                plain += static_cast<char>(cp - 0xFEE0);
                i += 2;
                continue;
            }
        }
        // U+3000, the ideographic space, is a blank too.
        if (byte(i) == 0xE3 && i + 2 < name.size() && byte(i + 1) == 0x80 && byte(i + 2) == 0x80) {
            plain += ' ';
            i += 2;
            continue;
        }
        plain += name[i];
    }
    const std::string key = catalogue::upperCaseFold(plain);
    const auto first = key.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return key.substr(first, key.find_last_not_of(" \t") - first + 1);
}

namespace {

// The key without a trailing picture extension, if it has one.
std::optional<std::string> withoutExtension(const std::string &key)
{
    for (const std::string_view extension : {".JPG", ".JPEG", ".PNG"})
        if (key.size() > extension.size() && key.ends_with(extension))
            return nearMissKey(std::string_view(key).substr(0, key.size() - extension.size()));
    return std::nullopt;
}

// The key without what Explorer adds to a copy (" - 副本", " - Copy", each
// maybe numbered " (2)") or a browser to a second download ("(1)", " (1)").
std::optional<std::string> withoutCopyMark(const std::string &key)
{
    std::string rest = key;
    if (const auto open = rest.rfind('('); rest.ends_with(')') && open != std::string::npos && open + 2 < rest.size() &&
                                           rest.find_first_not_of("0123456789", open + 1) == rest.size() - 1)
        rest = nearMissKey(std::string_view(rest).substr(0, open));
    for (const std::string_view mark : {" - 副本", " - COPY"})
        if (rest.ends_with(mark)) {
            rest = nearMissKey(std::string_view(rest).substr(0, rest.size() - mark.size()));
            break;
        }
    if (rest == key || rest.empty())
        return std::nullopt;
    return rest;
}

} // namespace

std::vector<std::string> nearMissFileKeys(std::string_view fileName)
{
    std::optional<std::string> key = withoutExtension(nearMissKey(fileName));
    std::vector<std::string> keys;
    // A copy of a file whose extension was doubled, say, takes two steps or more.
    for (int step = 0; key && !key->empty() && step < 4; ++step) {
        keys.push_back(*key);
        std::optional<std::string> next = withoutCopyMark(*key);
        key = next ? next : withoutExtension(*key);
    }
    return keys;
}

PictureFolderMatch::PictureFolderMatch(const std::vector<std::string> &files, const std::vector<std::string> &names,
                                       bool ignoreCase)
    : ignoreCase_(ignoreCase)
{
    for (const std::string &name : names)
        ownKeys_.insert(key(name + ".jpg"));
    for (const std::string &file : files) {
        if (isOwn(file)) {
            ownByKey_.try_emplace(key(file), file);
            continue;
        }
        const std::vector<std::string> keys = nearMissFileKeys(file);
        for (std::size_t step = 0; step < keys.size(); ++step)
            nearMisses_[keys[step]].insert({step, file});
    }
}

std::string PictureFolderMatch::key(std::string_view file) const
{
    return ignoreCase_ ? catalogue::upperCaseFold(file) : std::string(file);
}

std::optional<std::string> PictureFolderMatch::ownFile(std::string_view name) const
{
    const auto found = ownByKey_.find(key(std::string(name) + ".jpg"));
    return found == ownByKey_.end() ? std::nullopt : std::optional(found->second);
}

std::optional<std::string> PictureFolderMatch::nearMiss(std::string_view name) const
{
    const auto found = nearMisses_.find(nearMissKey(name));
    return found == nearMisses_.end() ? std::nullopt : std::optional(found->second.begin()->second);
}

} // namespace odds
