// The picture loader of the Windows front end: files looked up at start-up,
// checked and decoded later by the Windows Imaging Component (a PNG scaled
// down by our own reader) at the image box's size in device pixels, turned
// upright, once.
#pragma once

#include "decode_pool.h"
#include "picture_loader.h"
#include "picture_rules.h"

#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>

namespace window::win32 {

struct DeviceSize {
    int width = 0;
    int height = 0;
    friend bool operator==(DeviceSize, DeviceSize) = default;
};

// The picture upright as its orientation tag says, stretched to size, aspect
// ratio not kept. Throws catalogue::RuntimeError: FileNotFound when nothing
// is there, PathFileAccessError when it cannot be read, InvalidPicture when
// it is no picture, is cut short or is over the limits, which its size and
// header tell before any pixel is decoded. Any thread; it sets up COM for
// itself.
Pixels decodePicture(const std::filesystem::path &file, DeviceSize size);

// The pixels as a JPEG of the given quality (0 to 1), or empty when the
// imaging component cannot make one. Any thread.
std::string encodeJpeg(const Pixels &pixels, float quality);

// A prize's picture. Its pixels are decoded once per device size, by
// whichever thread needs them first: a pool thread working through the list,
// or the window about to paint them.
class WicPicture : public catalogue::Picture, public window::Decodable {
public:
    // background: 0xRRGGBB that transparent pixels are blended onto.
    WicPicture(std::filesystem::path file, DeviceSize size, std::uint32_t background);

    // The pixels at the wanted size, decoded on this thread if nobody has
    // started on them, else waiting for the thread that has. Null when the
    // file is refused or does not decode: the card then shows no picture.
    std::shared_ptr<const Pixels> pixels() const;
    // Never waits: the pixels at hand, possibly of an earlier size, or null.
    std::shared_ptr<const Pixels> pixelsAtHand() const;
    // Whether the pixels at the wanted size, or the failure, are known.
    bool decoded() const;
    void decodeUnlessTaken() const override;
    // The window moved to a screen of another dpi: decode again at size,
    // showing the old pixels meanwhile.
    void resize(DeviceSize size) const;
    // The picture decoded afresh at another size, on this thread and kept
    // nowhere: for a card drawn larger than the list's pictures are decoded
    // for (full screen). Null when the file does not decode.
    std::shared_ptr<const Pixels> pixelsAt(DeviceSize size) const;

private:
    enum class State { Pending, Decoding, Ready, Failed };

    std::filesystem::path file_;
    std::uint32_t background_;
    mutable std::mutex mutex_;
    mutable std::condition_variable done_;
    mutable State state_ = State::Pending;
    mutable DeviceSize size_;
    mutable std::shared_ptr<const Pixels> pixels_;
};

// The pictures of a list, checked and decoded when first needed.
class WicPictureLoader : public window::LazyPictureLoader<WicPicture> {
public:
    WicPictureLoader(DeviceSize size, window::DecodePool *pool, std::uint32_t background)
        : LazyPictureLoader(pool), size_(size), background_(background)
    {
    }
    // Every picture handed out is to be decoded again at size, in list order.
    void resize(DeviceSize size);

private:
    std::shared_ptr<const WicPicture> makePicture(const std::filesystem::path &file) const override
    {
        return std::make_shared<const WicPicture>(file, size_, background_);
    }

    DeviceSize size_;
    std::uint32_t background_;
};

} // namespace window::win32
