// The picture loader of the Windows front end: files checked at start-up,
// decoded later by the Windows Imaging Component at the image box's size in
// device pixels, turned upright, once.
#pragma once

#include "decode_pool.h"
#include "picture_loader.h"
#include "picture_rules.h"

#include <condition_variable>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>

namespace window::win32 {

struct DeviceSize {
    int width = 0;
    int height = 0;
    friend bool operator==(DeviceSize, DeviceSize) = default;
};

// Opens the file and reads its header only. Throws catalogue::RuntimeError:
// FileNotFound when nothing is there, PathFileAccessError when it cannot be
// read, InvalidPicture when it is no picture, a PNG cut short or over the
// limits. A file that passes may still fail to decode.
void checkPicture(const std::filesystem::path &file);

// The picture upright as its orientation tag says, stretched to size, aspect
// ratio not kept; throws as checkPicture does, and InvalidPicture for a file
// cut short. Any thread; it sets up COM for itself.
Pixels decodePicture(const std::filesystem::path &file, DeviceSize size);

// A prize's picture. Its pixels are decoded once per device size, by
// whichever thread needs them first: a pool thread working through the list,
// or the window about to paint them.
class WicPicture : public catalogue::Picture, public window::Decodable {
public:
    WicPicture(std::filesystem::path file, DeviceSize size);

    // The pixels at the wanted size, decoded on this thread if nobody has
    // started on them, else waiting for the thread that has. Null when the
    // file no longer decodes: the card then shows no picture.
    std::shared_ptr<const Pixels> pixels() const;
    // Never waits: the pixels at hand, possibly of an earlier size, or null.
    std::shared_ptr<const Pixels> pixelsAtHand() const;
    // Whether the pixels at the wanted size, or the failure, are known.
    bool decoded() const;
    void decodeUnlessTaken() const override;
    // The window moved to a screen of another dpi: decode again at size,
    // showing the old pixels meanwhile.
    void resize(DeviceSize size) const;

private:
    enum class State { Pending, Decoding, Ready, Failed };

    std::filesystem::path file_;
    mutable std::mutex mutex_;
    mutable std::condition_variable done_;
    mutable State state_ = State::Pending;
    mutable DeviceSize size_;
    mutable std::shared_ptr<const Pixels> pixels_;
};

// Checks each file at once and hands out a picture whose pixels come later:
// from the pool in list order, or on first need when there is none.
class WicPictureLoader : public catalogue::PictureLoader {
public:
    WicPictureLoader(DeviceSize size, window::DecodePool *pool) : size_(size), pool_(pool) {}
    catalogue::PicturePtr load(const std::filesystem::path &file) override;
    // Every picture handed out is to be decoded again at size, in list order.
    void resize(DeviceSize size);

private:
    DeviceSize size_;
    window::DecodePool *pool_;
    // Prizes that name the same file share one picture, decoded once.
    std::map<std::filesystem::path, std::shared_ptr<const WicPicture>> byFile_;
    std::vector<std::shared_ptr<const WicPicture>> inOrder_;
};

} // namespace window::win32
