// The Qt window's picture decoder, used as a judge.
#include "game_pictures.h"

#include "picture_files.h"
#include "qt_picture_loader.h"

#include <QFile>
#include <QImageReader>
#include <QLoggingCategory>

namespace odds {

namespace {
// The card's picture box, 2655 x 1695 twips, at 15 twips per pixel.
const QSize kPictureBoxPixels(177, 113);

class QtPictureJudge : public catalogue::PictureLoader {
public:
    catalogue::PicturePtr load(const std::filesystem::path &file) override
    {
        decoder_.decode(file); // throws the game's own run-time error
        const QByteArray format = QImageReader::imageFormat(QFile::decodeName(file.c_str()));
        return std::make_shared<PictureFile>(file, "image/" + format.toStdString());
    }

private:
    window::ImageDecoder decoder_{kPictureBoxPixels, 1.0};
};
} // namespace

std::unique_ptr<catalogue::PictureLoader> gamePictureLoader()
{
    QLoggingCategory::setFilterRules(QStringLiteral("qt.gui.imageio*=false"));
    return std::make_unique<QtPictureJudge>();
}

} // namespace odds
