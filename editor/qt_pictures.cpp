// The Qt decoder for the core, and chosen pictures as they go into the list's picture folder.
#include "qt_pictures.h"

#include "i18n.h"
#include "picture_plan.h"
#include "prize_odds.h"
#include "picture_loader.h"
#include "twips.h"
#include "runtime_error.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

namespace editor {

using authoring::ListError;

namespace {
// The card's picture box, as the game's window has it.
QSize pictureBoxPixels(qreal ratio)
{
    const QRect box = window::pixelRect(window::design::control("awardpic", 0).rect);
    return QSize(qRound(box.width() * ratio), qRound(box.height() * ratio));
}
} // namespace

QtPictureDecoder::QtPictureDecoder(qreal devicePixelRatio)
    : decoder_(pictureBoxPixels(devicePixelRatio), devicePixelRatio)
{
}

std::string jpegOf(const std::filesystem::path &source)
{
    try {
        // The game's own limits on size and pixels, before anything is decoded.
        window::ImageDecoder(QSize(1, 1), 1.0).check(source);
    } catch (const catalogue::RuntimeError &error) {
        throw ListError(source.string() + ": " + odds::runTimeErrorText(error));
    }

    QImageReader reader(QFile::decodeName(source.c_str()));
    std::string bytes;
    if (reader.format() == "jpeg") {
        auto whole = authoring::readFileIfAny(source);
        if (!whole)
            throw ListError(i18n::tr("cannot read {0}", source.string()));
        bytes = std::move(*whole);
    } else {
        const QImage image = reader.read();
        if (image.isNull())
            throw ListError(source.string() + ": " + reader.errorString().toStdString());
        QByteArray jpeg;
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        if (!image.convertToFormat(QImage::Format_RGB32).save(&buffer, "JPEG", 92))
            throw ListError(i18n::tr("{0}: cannot be converted to JPEG", source.string()));
        bytes = jpeg.toStdString();
    }
    return bytes;
}

} // namespace editor
