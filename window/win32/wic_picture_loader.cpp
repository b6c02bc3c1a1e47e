// Pictures through the Windows Imaging Component, or a PNG through our own
// reader: refuse what is broken or too big from the file and its header, then
// decode straight to the box's size.
#include "wic_picture_loader.h"

#include "decode_budget.h"
#include "exif_orientation.h"
#include "png_scaled.h"
#include "runtime_error.h"

#include <windows.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <algorithm>
#include <array>
#include <fstream>

namespace window::win32 {

using catalogue::ErrorCode;
using catalogue::RuntimeError;
using Microsoft::WRL::ComPtr;

namespace {

// COM for the imaging component on whichever thread decodes; a thread that
// has it already keeps its own apartment.
class ComScope {
public:
    ComScope() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) {}
    ~ComScope()
    {
        if (initialised_)
            CoUninitialize();
    }
    ComScope(const ComScope &) = delete;
    ComScope &operator=(const ComScope &) = delete;

private:
    bool initialised_;
};

void require(HRESULT result, ErrorCode error = ErrorCode::InvalidPicture)
{
    if (FAILED(result))
        throw RuntimeError(error);
}

std::uint64_t checkedSize(const std::filesystem::path &file)
{
    catalogue::requireRegularFile(file);
    std::error_code error;
    const std::uint64_t size = std::filesystem::file_size(file, error);
    if (error)
        throw RuntimeError(ErrorCode::PathFileAccessError);
    if (size > kMaxPictureFileBytes)
        throw RuntimeError(ErrorCode::InvalidPicture);
    return size;
}

// Enough for a JPEG's frame header behind its metadata and thumbnail.
constexpr std::uint64_t kHeadBytes = 256 << 10;

// The first size bytes of the file.
std::vector<std::uint8_t> readBytes(const std::filesystem::path &file, std::uint64_t size)
{
    std::ifstream in(file, std::ios::binary);
    std::vector<std::uint8_t> bytes(std::size_t(size), 0);
    if (!in || !in.read(reinterpret_cast<char *>(bytes.data()), std::streamsize(size)))
        throw RuntimeError(ErrorCode::PathFileAccessError);
    return bytes;
}

ComPtr<IWICImagingFactory> imagingFactory()
{
    ComPtr<IWICImagingFactory> factory;
    require(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory)),
            ErrorCode::PathFileAccessError);
    return factory;
}

void requireWithinLimit(PictureSize size)
{
    if (size.width == 0 || size.height == 0 || std::uint64_t(size.width) * size.height > kMaxPicturePixels)
        throw RuntimeError(ErrorCode::InvalidPicture);
}

// The first frame, refused when it claims more pixels than the limit.
ComPtr<IWICBitmapFrameDecode> firstFrame(IWICBitmapDecoder &decoder)
{
    ComPtr<IWICBitmapFrameDecode> frame;
    require(decoder.GetFrame(0, &frame));
    UINT width = 0, height = 0;
    require(frame->GetSize(&width, &height));
    requireWithinLimit({width, height});
    return frame;
}

} // namespace

Pixels decodePicture(const std::filesystem::path &file, DeviceSize size)
{
    if (size.width <= 0 || size.height <= 0)
        throw RuntimeError(ErrorCode::InvalidPicture);
    const std::uint64_t fileBytes = checkedSize(file);
    const std::vector<std::uint8_t> head = readBytes(file, std::min(fileBytes, kHeadBytes));
    const std::optional<PictureSize> headSize = headerSize(head);
    if (headSize)
        requireWithinLimit(*headSize);
    // The imaging component decodes a PNG whole before it scales it (under
    // wine 4 bytes a pixel and more), so one scaled down is read here row by
    // row: a few rows and the result in memory.
    if (headSize && pngScalesDown(head, size.width, size.height)) {
        const DecodeBudget::Share share =
            DecodeBudget::pictures().take(pngScaledDecodeBytes(*headSize, size.width, size.height));
        std::ifstream in(file, std::ios::binary);
        if (!in)
            throw RuntimeError(ErrorCode::PathFileAccessError);
        if (std::optional<Pixels> pixels = decodePngScaled(in, size.width, size.height))
            return std::move(*pixels);
    }
    // The imaging component decodes most other formats whole before it
    // scales too, so a decode waits until its pixels fit in the budget; one
    // whose size its first bytes do not tell runs alone.
    const DecodeBudget::Share share = DecodeBudget::pictures().take(
        headSize ? fileBytes + std::uint64_t(headSize->width) * headSize->height * 4 : ~std::uint64_t(0) / 2);
    std::vector<std::uint8_t> bytes = readBytes(file, fileBytes);
    // The usual formats' size from their header, before the imaging
    // component allocates whatever a header claims.
    if (const std::optional<PictureSize> claimed = headerSize(bytes))
        requireWithinLimit(*claimed);
    if (pictureCutShort(bytes))
        throw RuntimeError(ErrorCode::InvalidPicture);
    const int orientation =
        catalogue::jpegOrientation(std::string_view(reinterpret_cast<const char *>(bytes.data()), bytes.size()));

    const ComScope com;
    const ComPtr<IWICImagingFactory> factory = imagingFactory();
    ComPtr<IWICStream> stream;
    require(factory->CreateStream(&stream));
    require(stream->InitializeFromMemory(bytes.data(), DWORD(bytes.size())));
    ComPtr<IWICBitmapDecoder> decoder;
    require(factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand, &decoder));
    const ComPtr<IWICBitmapFrameDecode> frame = firstFrame(*decoder.Get());

    // Scaled as stored, so a picture stored on its side is scaled to the
    // box's size on its side, then turned.
    Pixels stored;
    stored.width = onItsSide(orientation) ? size.height : size.width;
    stored.height = onItsSide(orientation) ? size.width : size.height;
    ComPtr<IWICBitmapScaler> scaler;
    require(factory->CreateBitmapScaler(&scaler));
    require(scaler->Initialize(frame.Get(), UINT(stored.width), UINT(stored.height), WICBitmapInterpolationModeFant));
    ComPtr<IWICFormatConverter> converter;
    require(factory->CreateFormatConverter(&converter));
    require(converter->Initialize(scaler.Get(), GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr, 0,
                                  WICBitmapPaletteTypeCustom));
    stored.argb.resize(std::size_t(stored.width) * std::size_t(stored.height));
    const UINT stride = UINT(stored.width) * 4;
    require(converter->CopyPixels(nullptr, stride, UINT(stored.argb.size() * 4),
                                  reinterpret_cast<BYTE *>(stored.argb.data())));
    return upright(stored, orientation);
}

std::string encodeJpeg(const Pixels &pixels, float quality)
{
    if (pixels.width <= 0 || pixels.height <= 0)
        return {};
    try {
        const ComScope com;
        const ComPtr<IWICImagingFactory> factory = imagingFactory();
        const UINT stride = UINT(pixels.width) * 4;
        ComPtr<IWICBitmap> bitmap;
        require(factory->CreateBitmapFromMemory(UINT(pixels.width), UINT(pixels.height), GUID_WICPixelFormat32bppPBGRA,
                                                stride, UINT(pixels.argb.size() * 4),
                                                const_cast<BYTE *>(reinterpret_cast<const BYTE *>(pixels.argb.data())),
                                                &bitmap));
        ComPtr<IWICFormatConverter> converter; // JPEG holds no alpha
        require(factory->CreateFormatConverter(&converter));
        require(converter->Initialize(bitmap.Get(), GUID_WICPixelFormat24bppBGR, WICBitmapDitherTypeNone, nullptr, 0,
                                      WICBitmapPaletteTypeCustom));

        // A JPEG is far smaller than the raw pixels it holds.
        std::string out(std::size_t(stride) * std::size_t(pixels.height) + 65536, '\0');
        ComPtr<IWICStream> stream;
        require(factory->CreateStream(&stream));
        require(stream->InitializeFromMemory(reinterpret_cast<BYTE *>(out.data()), DWORD(out.size())));
        ComPtr<IWICBitmapEncoder> encoder;
        require(factory->CreateEncoder(GUID_ContainerFormatJpeg, nullptr, &encoder));
        require(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache));
        ComPtr<IWICBitmapFrameEncode> frame;
        ComPtr<IPropertyBag2> options;
        require(encoder->CreateNewFrame(&frame, &options));
        PROPBAG2 name = {};
        name.pstrName = const_cast<LPOLESTR>(L"ImageQuality");
        VARIANT value;
        VariantInit(&value);
        value.vt = VT_R4;
        value.fltVal = quality;
        options->Write(1, &name, &value); // the encoder's default quality where it has no such option
        require(frame->Initialize(options.Get()));
        require(frame->SetSize(UINT(pixels.width), UINT(pixels.height)));
        WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
        require(frame->SetPixelFormat(&format));
        require(frame->WriteSource(converter.Get(), nullptr));
        require(frame->Commit());
        require(encoder->Commit());
        ULARGE_INTEGER end = {};
        require(stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_CUR, &end));
        out.resize(std::size_t(end.QuadPart));
        return out;
    } catch (const RuntimeError &) {
        return {};
    }
}

WicPicture::WicPicture(std::filesystem::path file, DeviceSize size, std::uint32_t background)
    : file_(std::move(file)), background_(background), size_(size)
{
}

std::shared_ptr<const Pixels> WicPicture::pixels() const
{
    decodeUnlessTaken();
    std::unique_lock lock(mutex_);
    done_.wait(lock, [this] { return state_ != State::Decoding && state_ != State::Pending; });
    return state_ == State::Ready ? pixels_ : nullptr;
}

std::shared_ptr<const Pixels> WicPicture::pixelsAtHand() const
{
    const std::lock_guard lock(mutex_);
    return pixels_;
}

bool WicPicture::decoded() const
{
    const std::lock_guard lock(mutex_);
    return state_ == State::Ready || state_ == State::Failed;
}

void WicPicture::decodeUnlessTaken() const
{
    std::unique_lock lock(mutex_);
    if (state_ != State::Pending)
        return;
    state_ = State::Decoding;
    while (true) {
        const DeviceSize size = size_;
        lock.unlock();
        std::shared_ptr<const Pixels> decoded;
        try {
            Pixels pixels = decodePicture(file_, size);
            blendOnto(pixels, background_);
            decoded = std::make_shared<const Pixels>(std::move(pixels));
        } catch (const std::exception &) {
            // Missing, refused or corrupt: no picture, and no message, as for
            // a file missing at start-up.
        }
        lock.lock();
        if (size_ != size)
            continue; // resized meanwhile: these pixels are already too small or too big
        pixels_ = std::move(decoded);
        state_ = pixels_ ? State::Ready : State::Failed;
        break;
    }
    lock.unlock();
    done_.notify_all();
}

std::shared_ptr<const Pixels> WicPicture::pixelsAt(DeviceSize size) const
{
    try {
        return std::make_shared<const Pixels>(decodePicture(file_, size));
    } catch (const std::exception &) {
        return nullptr; // refused as the list's own decode refuses it
    }
}

void WicPicture::resize(DeviceSize size) const
{
    const std::lock_guard lock(mutex_);
    if (size_ == size)
        return;
    size_ = size;
    if (state_ == State::Ready)
        state_ = State::Pending; // the old pixels stay at hand until the new ones come
}

void WicPictureLoader::resize(DeviceSize size)
{
    size_ = size;
    for (const auto &picture : inOrder()) {
        picture->resize(size);
        if (pool())
            pool()->add(picture);
    }
}

} // namespace window::win32
