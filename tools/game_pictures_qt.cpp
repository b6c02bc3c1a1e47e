// The Qt window's picture decoder, used as a judge.
#include "game_pictures.h"

#include "picture_files.h"
#include "qt_picture_loader.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QLoggingCategory>

namespace odds {

namespace {
// The card's picture box, 2655 x 1695 twips, at 15 twips per pixel.
const QSize kPictureBoxPixels(177, 113);

// Twice the box, so that the printed sheet stays sharp; stretched to fill
// it and turned upright as the card shows it.
std::string cardSizeJpeg(const std::filesystem::path &file)
{
    QImageReader reader(QFile::decodeName(file.c_str()));
    reader.setAutoTransform(true);
    const QImage image = reader.read();
    if (image.isNull())
        return {};
    QByteArray bytes;
    QBuffer out(&bytes);
    out.open(QIODevice::WriteOnly);
    if (!image.scaled(kPictureBoxPixels * 2, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
             .convertToFormat(QImage::Format_RGB32)
             .save(&out, "JPEG", 85))
        return {};
    return bytes.toStdString();
}

class QtPictureJudge : public catalogue::PictureLoader {
public:
    catalogue::PicturePtr load(const std::filesystem::path &file) override
    {
        decoder_.decode(file); // throws the game's own run-time error
        const QByteArray format = QImageReader::imageFormat(QFile::decodeName(file.c_str()));
        auto picture = std::make_shared<PictureFile>(file, "image/" + format.toStdString());
        picture->cardSizeJpeg = [file] { return cardSizeJpeg(file); };
        return picture;
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
