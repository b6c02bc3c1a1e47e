// Planned picture changes, and the save that carries them out or puts every file back.
#include "picture_plan.h"

#include "i18n.h"

#include "picture_loader.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <vector>

namespace authoring {

namespace fs = std::filesystem;

std::optional<std::string> readFileIfAny(const fs::path &file)
{
    std::error_code error;
    if (!fs::is_regular_file(file, error))
        return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (!in)
        throw ListError(i18n::tr("cannot read {0}", file.string()));
    return bytes.str();
}

PictureBytes PicturePlan::picture(const std::string &name) const
{
    if (!catalogue::isSafePictureName(name))
        return nullptr;
    if (const auto planned = changes_.find(name); planned != changes_.end())
        return planned->second;
    if (!folder_)
        return nullptr;
    auto bytes = readFileIfAny(catalogue::pictureFileOf(*folder_, name)); // none for a name the platform refuses
    return bytes ? std::make_shared<const std::string>(std::move(*bytes)) : nullptr;
}

void PicturePlan::setPicture(const std::string &name, PictureBytes bytes)
{
    if (!catalogue::isSafePictureName(name))
        throw ListError(
            i18n::tr("the name \"{0}\" cannot be a picture file name, so the game would never load it", name));
    changes_[name] = std::move(bytes);
}

std::vector<std::string> filesAfterSave(std::vector<std::string> folderFiles,
                                        const std::map<std::string, PictureBytes> &changes)
{
    for (const auto &[name, bytes] : changes) {
        const std::string file = name + ".jpg";
        std::erase(folderFiles, file);
        if (bytes)
            folderFiles.push_back(file);
    }
    std::sort(folderFiles.begin(), folderFiles.end());
    return folderFiles;
}

std::string saveList(PrizeDocument &document, PicturePlan &plan, const fs::path &dataIni, FileSystem &files)
{
    const std::string bytes = document.bytes(); // refuses a list that cannot be written before any file changes
    std::string note = saveListFiles(dataIni, bytes, plan.changes_, Backup::Keep, files);
    document.takeAsSaved(bytes);
    plan.changes_.clear();
    plan.folder_ = dataIni.parent_path() / "picture";
    return note;
}

} // namespace authoring
