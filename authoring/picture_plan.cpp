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

namespace {
// The planned changes, and, for a list saved into another folder, the
// pictures of its prizes that it would otherwise leave behind. A file of
// that name already in the other folder is that folder's own and stays.
std::map<std::string, PictureBytes> picturesToSave(const PrizeDocument &document, const PicturePlan &plan,
                                                   const fs::path &dataIni)
{
    std::map<std::string, PictureBytes> pictures = plan.changes();
    const fs::path target = dataIni.parent_path() / "picture";
    std::error_code error;
    if (!plan.folder() || plan.folder()->lexically_normal() == target.lexically_normal() ||
        fs::equivalent(*plan.folder(), target, error))
        return pictures;
    for (int prize = 0; prize < document.size(); ++prize) {
        const std::string &name = document.text(prize, Field::Name);
        if (pictures.count(name))
            continue;
        const fs::path file = catalogue::pictureFileOf(target, name);
        if (file.empty() || fs::exists(file, error) || error)
            continue;
        if (PictureBytes bytes = plan.picture(name))
            pictures.emplace(name, std::move(bytes));
    }
    return pictures;
}
} // namespace

std::string saveList(PrizeDocument &document, PicturePlan &plan, const fs::path &dataIni, FileSystem &files)
{
    const std::string bytes = document.bytes(); // refuses a list that cannot be written before any file changes
    std::string note = saveListFiles(dataIni, bytes, picturesToSave(document, plan, dataIni), Backup::Keep, files);
    document.takeAsSaved(bytes);
    plan.changes_.clear();
    plan.folder_ = dataIni.parent_path() / "picture";
    return note;
}

} // namespace authoring
