// The picture loader of the window: picture files looked up at start-up,
// checked and decoded later, at the size the image box shows them.
#pragma once

#include "decode_pool.h"
#include "picture_loader.h"

#include <QImage>
#include <QSize>

#include <atomic>
#include <filesystem>
#include <memory>

namespace window {

// Decodes one picture file. It touches nothing but the file and its own
// settings, so any thread may use it.
class ImageDecoder {
public:
    // Limits that keep a hostile or broken file from exhausting memory.
    static constexpr qint64 kMaxFileBytes = qint64(64) << 20;
    static constexpr qint64 kMaxPixels = 100'000'000;

    // deviceSize: the image box in device pixels, the size of every decoded
    // image; devicePixelRatio: what the image is tagged with for painting.
    ImageDecoder(QSize deviceSize, qreal devicePixelRatio) : size_(deviceSize), ratio_(devicePixelRatio) {}

    // The picture turned upright as its orientation tag (EXIF) says, then
    // stretched to deviceSize, aspect ratio not kept. Throws
    // RuntimeError: FileNotFound when nothing is there, PathFileAccessError
    // when it cannot be read, InvalidPicture when it is no picture, is
    // truncated or exceeds the limits.
    QImage decode(const std::filesystem::path &file) const;

    // Opens the file and reads its header only: throws as decode does for a
    // file that is missing, unreadable, no picture or over the limits. A file
    // that passes may still fail to decode (a body cut short or corrupt).
    void check(const std::filesystem::path &file) const;

    QSize deviceSize() const { return size_; }

private:
    QSize size_;
    qreal ratio_;
};

// A prize's picture. Its file is checked and its pixels, at the box's size
// in device pixels, decoded once, by whichever thread needs them first: a
// pool thread working through the prize list, or the user-interface thread
// about to paint it.
class QtPicture : public catalogue::Picture, public Decodable {
public:
    // A file whose check and pixels wait until first asked for.
    QtPicture(std::filesystem::path file, const ImageDecoder &decoder);

    // The pixels, decoded on this thread if nobody has started on them; if
    // another thread is decoding them, waits for it. Null when the file is
    // refused or does not decode: the prize then has no picture, as if its
    // file were missing.
    const QImage *image() const;
    // Decodes unless another thread has started on the pixels, in which case
    // it returns at once; for the pool.
    void decodeUnlessTaken() const override;
    // Whether the pixels, or the failure, are known; never waits.
    bool decoded() const;
    // The picture decoded afresh at another size in device pixels, on this
    // thread and kept nowhere: for a box drawn larger than the list's
    // pictures were decoded for. Null when the file does not decode.
    QImage imageAt(QSize deviceSize, qreal devicePixelRatio) const;

private:
    enum State : int { Pending, Decoding, Ready, Failed };
    void decodeTaken() const;

    // Decoding is a one-time fill of a cache behind a const picture, which
    // every card and table slot shares.
    mutable std::atomic<int> state_;
    mutable QImage image_; // written once, by the thread that took the decoding
    std::filesystem::path source_;
    ImageDecoder decoder_;
};

// The pictures of a list, checked and decoded when first needed.
class QtPictureLoader : public LazyPictureLoader<QtPicture> {
public:
    explicit QtPictureLoader(ImageDecoder decoder, DecodePool *pool = nullptr)
        : LazyPictureLoader(pool), decoder_(decoder)
    {
    }

private:
    std::shared_ptr<const QtPicture> makePicture(const std::filesystem::path &file) const override
    {
        return std::make_shared<const QtPicture>(file, decoder_);
    }

    ImageDecoder decoder_;
};

} // namespace window
