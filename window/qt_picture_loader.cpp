// Picture decoding: refuse what is too big from the file size and the header
// alone, then decode straight to the box's size.
#include "qt_picture_loader.h"

#include "runtime_error.h"

#include <QFile>
#include <QIODevice>
#include <QImageReader>

#include <system_error>

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

    bool isSequential() const override { return false; }
    qint64 size() const override { return file_.size(); }
    bool seek(qint64 pos) override { return QIODevice::seek(pos) && file_.seek(pos); }
    bool readPastEnd() const { return readPastEnd_; }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 got = file_.read(data, maxSize);
        if (got == 0 && maxSize > 0)
            readPastEnd_ = true;
        return got;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QFile &file_;
    bool readPastEnd_ = false;
};

} // namespace

QImage ImageDecoder::decode(const std::filesystem::path &file) const
{
    std::error_code error;
    const auto status = std::filesystem::status(file, error);
    if (status.type() == std::filesystem::file_type::not_found)
        throw RuntimeError(ErrorCode::FileNotFound);
    if (error || status.type() != std::filesystem::file_type::regular)
        throw RuntimeError(ErrorCode::PathFileAccessError);

    QFile source(QFile::decodeName(file.c_str()));
    if (!source.open(QIODevice::ReadOnly))
        throw RuntimeError(ErrorCode::PathFileAccessError);
    if (source.size() > kMaxFileBytes)
        throw RuntimeError(ErrorCode::InvalidPicture);

    EndWatchingDevice device(source);
    device.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    QImageReader reader(&device); // the format comes from the content, never the name
    const QSize fullSize = reader.size(); // from the header alone
    if (!fullSize.isValid() || qint64(fullSize.width()) * fullSize.height() > kMaxPixels)
        throw RuntimeError(ErrorCode::InvalidPicture);

    // Formats that cannot decode at a smaller size decode whole first; the
    // limit above bounds that, and this lets such an image through.
    reader.setAllocationLimit(int(kMaxPixels * 4 / (1 << 20)) + 1);
    reader.setScaledSize(size_);
    reader.setQuality(100); // smooth scaling where the format offers a choice
    QImage image = reader.read();
    if (image.isNull() || device.readPastEnd())
        throw RuntimeError(ErrorCode::InvalidPicture);
    if (image.size() != size_)
        image = image.scaled(size_, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    image.convertTo(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio_);
    return image;
}

catalogue::PicturePtr QtPictureLoader::load(const std::filesystem::path &file)
{
    return std::make_shared<QtPicture>(decoder_.decode(file));
}

} // namespace window
