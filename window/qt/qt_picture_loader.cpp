// Pictures: when first needed, on whichever thread needs them, refuse what
// is broken or too big from the file size and the header alone, then decode
// straight to the box's size, upright, once.
#include "qt_picture_loader.h"

#include "decode_pool.h"
#include "picture_rules.h"
#include "runtime_error.h"

#include <QFile>
#include <QIODevice>
#include <QImageReader>
#include <QtEndian>

#include <algorithm>

namespace window {

using catalogue::ErrorCode;
using catalogue::RuntimeError;

namespace {

// Reads through to a file and notes when a decoder asks for bytes after the
// last one: the file was cut short. Some decoders (JPEG among them) would
// otherwise pad a truncated image and report success.
class EndWatchingDevice : public QIODevice {
public:
    explicit EndWatchingDevice(QFile &file) : file_(file) {}

    // The file ends here for the decoder: its size when it was checked. A
    // decoder at the end may ask again hundreds of times; it gets nothing
    // without another read of the file.
    void setEnd(qint64 end) { end_ = end; }
    bool isSequential() const override { return false; }
    qint64 size() const override { return end_; }
    bool seek(qint64 pos) override { return QIODevice::seek(pos) && file_.seek(pos); }
    bool readPastEnd() const { return readPastEnd_; }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 left = end_ - file_.pos();
        const qint64 got = left > 0 ? file_.read(data, std::min(maxSize, left)) : 0;
        if (got == 0 && maxSize > 0)
            readPastEnd_ = true;
        return got;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QFile &file_;
    qint64 end_ = 0;
    bool readPastEnd_ = false;
};

// Whether a PNG has a chunk that claims more bytes than the file holds. Such
// a file is cut short or forged, and libpng allocates and clears whatever a
// chunk claims, up to 2 GiB, before it finds out: 274 bytes could take 1.9 GB.
bool pngChunkOverruns(QFile &source)
{
    if (source.peek(8) != QByteArray("\x89PNG\r\n\x1a\n", 8))
        return false;
    const qint64 size = source.size();
    for (qint64 at = 8; at + 8 <= size;) { // length, type, data, CRC
        if (!source.seek(at))
            return true;
        const QByteArray head = source.read(8);
        if (head.size() < 8)
            return true;
        const qint64 length = qFromBigEndian<quint32>(head.constData());
        if (length + 12 > size - at)
            return true;
        if (head.endsWith("IEND"))
            break;
        at += length + 12;
    }
    return !source.seek(0);
}

// Opens file and reads its header into reader, refusing what is missing,
// unreadable, no picture or too big before any pixel is decoded.
void openChecked(const std::filesystem::path &file, QFile &source, EndWatchingDevice &device, QImageReader &reader)
{
    catalogue::requireRegularFile(file);

    source.setFileName(QFile::decodeName(file.c_str()));
    if (!source.open(QIODevice::ReadOnly))
        throw RuntimeError(ErrorCode::PathFileAccessError);
    if (source.size() > ImageDecoder::kMaxFileBytes || pngChunkOverruns(source))
        throw RuntimeError(ErrorCode::InvalidPicture);

    device.setEnd(source.size());
    device.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    reader.setDevice(&device);            // the format comes from the content, never the name
    const QSize fullSize = reader.size(); // from the header alone
    if (!fullSize.isValid() || qint64(fullSize.width()) * fullSize.height() > ImageDecoder::kMaxPixels)
        throw RuntimeError(ErrorCode::InvalidPicture);
}

// Whether the decoder met the end of a file that was cut short. The GIF reader
// always reads on to the end looking for more frames, so a whole GIF is told
// from a cut one by its blocks, which end in a trailer byte, instead.
bool cutShort(const QByteArray &format, QFile &source, const EndWatchingDevice &device)
{
    if (format != "gif")
        return device.readPastEnd();
    if (!source.seek(0))
        return true;
    const QByteArray bytes = source.readAll();
    return pictureCutShort({reinterpret_cast<const std::uint8_t *>(bytes.constData()), std::size_t(bytes.size())});
}

} // namespace

void ImageDecoder::check(const std::filesystem::path &file) const
{
    QFile source;
    EndWatchingDevice device(source);
    QImageReader reader;
    openChecked(file, source, device, reader);
}

QImage ImageDecoder::decode(const std::filesystem::path &file) const
{
    QFile source;
    EndWatchingDevice device(source);
    QImageReader reader;
    openChecked(file, source, device, reader);

    // Formats that cannot decode at a smaller size decode whole first; the
    // limit above bounds that, and this lets such an image through.
    reader.setAllocationLimit(int(kMaxPixels * 4 / (1 << 20)) + 1);
    // Photos are shown upright as their orientation tag says. The scaled size
    // applies to the picture as stored, before it is turned, so a picture
    // stored on its side is decoded to the box's size on its side.
    reader.setAutoTransform(true);
    const bool onItsSide = reader.transformation() & QImageIOHandler::TransformationRotate90;
    reader.setScaledSize(onItsSide ? size_.transposed() : size_);
    reader.setQuality(100);                    // smooth scaling where the format offers a choice
    const QByteArray format = reader.format(); // asked before reading: afterwards it reads on
    QImage image = reader.read();
    if (image.isNull() || cutShort(format, source, device))
        throw RuntimeError(ErrorCode::InvalidPicture);
    if (image.size() != size_)
        image = image.scaled(size_, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    image.convertTo(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio_);
    return image;
}

QtPicture::QtPicture(std::filesystem::path file, const ImageDecoder &decoder)
    : state_(Pending), source_(std::move(file)), decoder_(decoder)
{
}

QImage QtPicture::imageAt(QSize deviceSize, qreal devicePixelRatio) const
{
    try {
        return ImageDecoder(deviceSize, devicePixelRatio).decode(source_);
    } catch (const std::exception &) {
        return {}; // refused as the list's own decode refuses it
    }
}

const QImage *QtPicture::image() const
{
    int state = state_.load(std::memory_order_acquire);
    if (state == Pending) {
        decodeUnlessTaken();
        state = state_.load(std::memory_order_acquire);
    }
    while (state == Decoding) { // another thread is at it; its result is this one's
        state_.wait(Decoding, std::memory_order_acquire);
        state = state_.load(std::memory_order_acquire);
    }
    return state == Ready ? &image_ : nullptr;
}

void QtPicture::decodeUnlessTaken() const
{
    int expected = Pending;
    if (state_.compare_exchange_strong(expected, Decoding, std::memory_order_acq_rel))
        decodeTaken();
}

bool QtPicture::decoded() const
{
    const int state = state_.load(std::memory_order_acquire);
    return state == Ready || state == Failed;
}

void QtPicture::decodeTaken() const
{
    QImage image;
    try {
        image = decoder_.decode(source_);
    } catch (const std::exception &) {
        // Refused (no picture, too big, cut short, corrupt, or gone since
        // start-up): no picture, and no message, as for a missing file.
    }
    image_ = std::move(image);
    state_.store(image_.isNull() ? Failed : Ready, std::memory_order_release);
    state_.notify_all();
}

} // namespace window
