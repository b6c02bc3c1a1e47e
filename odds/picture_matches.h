// Which files in a list's picture folder serve which prize: the file the
// game opens, by the platform's rule for names, or a near miss of it that a
// user most likely meant (another extension, another letter case, a copy's
// or second download's name, full-width letters).
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace odds {

// The key under which a prize name counts as a near miss of a file: full-width
// forms of ASCII as ASCII, letters in upper case, blanks around it dropped.
std::string nearMissKey(std::string_view name);

// The keys of a picture file, closest first: its name without its extension
// (.jpg, .jpeg or .png in any case), then without what Windows and browsers
// add to a name: a second picture extension ("a.jpg.jpg"), a copy's
// " - 副本" or " - Copy", a download's "(1)" or " (2)". Any other file has
// none.
std::vector<std::string> nearMissFileKeys(std::string_view fileName);

class PictureFolderMatch {
public:
    // files: the UTF-8 names in the picture folder; names: the prizes';
    // ignoreCase: whether the platform opens a file whatever the case of its
    // letters.
    PictureFolderMatch(const std::vector<std::string> &files, const std::vector<std::string> &names, bool ignoreCase);

    // The file the game opens for this prize name as the folder spells it,
    // if there is one.
    std::optional<std::string> ownFile(std::string_view name) const;
    // Whether the game opens the file for some prize.
    bool isOwn(std::string_view file) const { return ownKeys_.contains(key(file)); }
    // The closest file that is no prize's own and that a user most likely
    // meant for this prize, if any.
    std::optional<std::string> nearMiss(std::string_view name) const;

private:
    std::string key(std::string_view file) const;

    bool ignoreCase_;
    std::set<std::string> ownKeys_;
    std::map<std::string, std::string> ownByKey_;
    // By near-miss key: (how many steps away, file) of the files that are no
    // prize's own, closest first.
    std::map<std::string, std::set<std::pair<std::size_t, std::string>>> nearMisses_;
};

} // namespace odds
