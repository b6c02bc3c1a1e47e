// The window's picture decoder, used as a judge.
#include "game_pictures.h"

#include "picture_files.h"

#include <QFile>
#include <QImageReader>

namespace odds {

namespace {
// The card's picture box, 2655 x 1695 twips, at 15 twips per pixel.
const QSize kPictureBoxPixels(177, 113);
} // namespace

GamePictureLoader::GamePictureLoader() : decoder_(kPictureBoxPixels, 1.0) {}

catalogue::PicturePtr GamePictureLoader::load(const std::filesystem::path &file)
{
    decoder_.decode(file); // throws the game's own run-time error
    const QByteArray format = QImageReader::imageFormat(QFile::decodeName(file.c_str()));
    return std::make_shared<PictureFile>(file, "image/" + format.toStdString());
}

} // namespace odds
