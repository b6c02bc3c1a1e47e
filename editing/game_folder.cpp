// Game folders for Play.
#include "game_folder.h"

#include "folder_access.h"
#include "i18n.h"
#include "picture_loader.h"

namespace editing {

namespace fs = std::filesystem;
using authoring::ListError;

fs::path gameFor(const fs::path &editorFolder)
{
    const fs::path installed = gamefolder::installedGameFolder(editorFolder) / "prizedraw";
    std::error_code error;
    return fs::is_regular_file(installed, error) ? installed : editorFolder / "prizedraw";
}

bool canPlayInListFolder(const fs::path &dataIni, const fs::path &game)
{
    std::error_code error;
    return dataIni.filename() == "data.ini" && (authoring::canWriteIn(dataIni.parent_path()) ||
                                                fs::is_regular_file(dataIni.parent_path() / game.filename(), error));
}

fs::path gameInListFolder(const fs::path &dataIni, const fs::path &game)
{
    const fs::path folder = dataIni.parent_path();
    return authoring::canWriteIn(folder) ? placeGame(folder, game) : folder / game.filename();
}

fs::path fillGameFolder(const fs::path &folder, const authoring::PrizeDocument &document, const PictureFolder &pictures,
                        const fs::path &game)
{
    std::error_code error;
    fs::create_directories(folder / "picture", error);
    if (error)
        throw ListError(i18n::tr("cannot make {0}: {1}", (folder / "picture").string(), error.message()));
    authoring::replaceFile(folder / "data.ini", document.bytes());
    const PictureFolder target(folder / "data.ini");
    for (int prize = 0; prize < document.size(); ++prize) {
        const std::string &name = document.text(prize, authoring::Field::Name);
        if (!catalogue::isSafePictureName(name) || !fs::is_regular_file(pictures.fileOf(name), error))
            continue;
        if (fs::equivalent(pictures.fileOf(name), target.fileOf(name), error))
            continue;
        fs::copy_file(pictures.fileOf(name), target.fileOf(name), fs::copy_options::overwrite_existing, error);
        if (error)
            throw ListError(i18n::tr("cannot copy the picture of \"{0}\": {1}", name, error.message()));
    }
    return placeGame(folder, game);
}

} // namespace editing
