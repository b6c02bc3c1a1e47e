// The picture files a list's edits change, held in memory until the list is
// saved, so that nothing beside the list changes before the user saves.
#pragma once

#include "atomic_file.h"
#include "list_save.h"
#include "prize_document.h"

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace authoring {

// A regular file's bytes, or none when there is none. Throws ListError when
// it is there but cannot be read.
std::optional<std::string> readFileIfAny(const std::filesystem::path &file);

class PicturePlan {
public:
    // The picture folder of the list as last saved or opened; none for a new list.
    const std::optional<std::filesystem::path> &folder() const { return folder_; }
    // Another folder: planned changes are kept and go into it at the next save.
    void setFolder(std::optional<std::filesystem::path> folder) { folder_ = std::move(folder); }

    // What the picture of a prize of this name will be once saved: as
    // planned, else the file in the folder. Null for none, and for a name
    // that cannot name a picture file.
    PictureBytes picture(const std::string &name) const;
    // Plans the picture of name; null removes it. Throws ListError for a
    // name that cannot name a picture file.
    void setPicture(const std::string &name, PictureBytes bytes);
    // The planned changes by prize name.
    const std::map<std::string, PictureBytes> &changes() const { return changes_; }

private:
    friend std::string saveList(PrizeDocument &, PicturePlan &, const std::filesystem::path &, FileSystem &);
    std::optional<std::filesystem::path> folder_;
    std::map<std::string, PictureBytes> changes_;
};

// The UTF-8 names of the files in a picture folder once changes are saved,
// sorted: folderFiles, those it holds now, with each planned picture in and
// each planned removal out.
std::vector<std::string> filesAfterSave(std::vector<std::string> folderFiles,
                                        const std::map<std::string, PictureBytes> &changes);

// Saves the list as dataIni (the old file kept as .bak) and carries out the
// planned picture changes in the picture folder beside it, as one
// transaction (saveListFiles). Saved into another folder, the list takes
// its prizes' pictures along, leaving files that folder has alone. On failure the document and the plan are as
// they were, and ListError says what happened and what is on disk. On
// success the document stands for the saved file and the plan is empty,
// its folder the one beside dataIni. Returns saveListFiles's note.
std::string saveList(PrizeDocument &document, PicturePlan &plan, const std::filesystem::path &dataIni,
                     FileSystem &files = diskFileSystem());

} // namespace authoring
