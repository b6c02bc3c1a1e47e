// The picture loader of the window: picture files decoded with Qt's image
// readers, at the size the image box shows them.
#pragma once

#include "picture_loader.h"

#include <QImage>
#include <QSize>

#include <filesystem>

namespace window {

// A picture ready to be drawn: already at its box's size in device pixels.
class QtPicture : public catalogue::Picture {
public:
    explicit QtPicture(QImage image) : image_(std::move(image)) {}
    const QImage &image() const { return image_; }

private:
    QImage image_;
};

// Decodes one picture file. Kept apart from the loader so that decoding can
// later run elsewhere than on the user-interface thread: it touches nothing
// but the file and its own settings.
class ImageDecoder {
public:
    // Limits that keep a hostile or broken file from exhausting memory.
    static constexpr qint64 kMaxFileBytes = qint64(64) << 20;
    static constexpr qint64 kMaxPixels = 100'000'000;

    // deviceSize: the image box in device pixels, the size of every decoded
    // image; devicePixelRatio: what the image is tagged with for painting.
    ImageDecoder(QSize deviceSize, qreal devicePixelRatio) : size_(deviceSize), ratio_(devicePixelRatio) {}

    // The picture stretched to deviceSize, aspect ratio not kept. Throws
    // RuntimeError: FileNotFound when nothing is there, PathFileAccessError
    // when it cannot be read, InvalidPicture when it is no picture, is
    // truncated or exceeds the limits.
    QImage decode(const std::filesystem::path &file) const;

    QSize deviceSize() const { return size_; }

private:
    QSize size_;
    qreal ratio_;
};

class QtPictureLoader : public catalogue::PictureLoader {
public:
    explicit QtPictureLoader(ImageDecoder decoder) : decoder_(decoder) {}
    catalogue::PicturePtr load(const std::filesystem::path &file) override;

private:
    ImageDecoder decoder_;
};

} // namespace window
