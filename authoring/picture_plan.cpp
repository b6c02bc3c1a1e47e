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

void FileWriter::write(const fs::path &file, std::string_view bytes, Backup backup)
{
    replaceFile(file, bytes, backup);
}

void FileWriter::remove(const fs::path &file)
{
    std::error_code error;
    fs::remove(file, error);
    if (error)
        throw ListError(i18n::tr("cannot remove {0}: {1}", file.string(), error.message()));
}

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
    auto bytes = readFileIfAny(pictureFileOf(*folder_, name));
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

// The files a save has changed so far, to put back when a later step fails.
class Undo {
public:
    explicit Undo(FileWriter &writer) : writer_(writer) {}
    void changed(fs::path file, std::optional<std::string> before) { done_.push_back({std::move(file), std::move(before)}); }
    void madeFolder(fs::path folder) { madeFolder_ = std::move(folder); }
    // Puts back what was changed, newest first; returns what could not be.
    std::string putBack()
    {
        std::string failed;
        for (auto step = done_.rbegin(); step != done_.rend(); ++step) {
            try {
                if (step->before)
                    writer_.write(step->file, *step->before, Backup::None);
                else
                    writer_.remove(step->file);
            } catch (const std::exception &error) {
                failed += std::string("; ") + error.what();
            }
        }
        if (!madeFolder_.empty()) {
            std::error_code ignored; // only an empty folder goes; one that holds a file stays
            fs::remove(madeFolder_, ignored);
        }
        return failed;
    }

private:
    struct Step {
        fs::path file;
        std::optional<std::string> before;
    };
    FileWriter &writer_;
    std::vector<Step> done_;
    fs::path madeFolder_;
};

} // namespace

void saveList(PrizeDocument &document, PicturePlan &plan, const fs::path &dataIni, FileWriter &writer)
{
    const std::string bytes = document.bytes(); // refuses a list that cannot be written before any file changes
    const fs::path folder = dataIni.parent_path() / "picture";
    Undo undo(writer);
    try {
        for (const auto &[name, picture] : plan.changes_) {
            const fs::path file = pictureFileOf(folder, name);
            std::optional<std::string> before = readFileIfAny(file);
            if (picture ? before == *picture : !before)
                continue;
            if (picture) {
                std::error_code error;
                if (!fs::is_directory(folder, error)) {
                    if (!fs::create_directory(folder, error) || error)
                        throw ListError(i18n::tr("cannot make the folder {0}: {1}", folder.string(), error.message()));
                    undo.madeFolder(folder);
                }
                writer.write(file, *picture, Backup::None);
            } else {
                writer.remove(file);
            }
            undo.changed(file, std::move(before));
        }
        // The list last: until it is written the old list still names the old pictures.
        writer.write(dataIni, bytes, Backup::Keep);
    } catch (const std::exception &error) {
        const std::string notPutBack = undo.putBack();
        throw ListError(std::string(error.what()) +
                        (notPutBack.empty() ? i18n::tr("; every picture file is as it was")
                                            : i18n::tr("; some picture files could not be put back{0}", notPutBack)));
    }
    document.takeAsSaved(bytes);
    plan.changes_.clear();
    plan.folder_ = folder;
}

} // namespace authoring
