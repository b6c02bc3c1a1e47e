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
    const fs::path installed = editorFolder.parent_path() / "lib" / "prizedraw" / "prizedraw";
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

fs::path placeGame(const fs::path &folder, const fs::path &game)
{
    const fs::path placed = folder / game.filename();
    std::error_code error;
    if (fs::equivalent(game, placed, error))
        return placed;
    // Beside the copy first, then renamed over, so a running game is never cut.
    const fs::path part = folder / (game.filename().string() + ".part");
    fs::copy_file(game, part, fs::copy_options::overwrite_existing, error);
    if (!error)
        fs::rename(part, placed, error);
    if (error) {
        fs::remove(part);
        throw ListError(i18n::tr("cannot copy the game into {0}: {1}", folder.string(), error.message()));
    }
    return placed;
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
