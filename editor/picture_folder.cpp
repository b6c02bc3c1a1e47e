// Pictures copied or converted into the list's picture folder.
#include "picture_folder.h"

#include "atomic_file.h"
#include "picture_loader.h"
#include "qt_picture_loader.h"
#include "runtime_error.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

#include <fstream>
#include <sstream>

namespace editor {

using authoring::ListError;

namespace {
std::string readWhole(const std::filesystem::path &file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (!in && !in.eof())
        throw ListError("cannot read " + file.string());
    return bytes.str();
}
} // namespace

FileSnapshot FileSnapshot::of(const std::filesystem::path &file)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error))
        return {file, std::nullopt};
    return {file, readWhole(file)};
}

void FileSnapshot::restore() const
{
    if (bytes) {
        std::filesystem::create_directories(file.parent_path());
        authoring::replaceFile(file, *bytes, authoring::Backup::None);
        return;
    }
    std::error_code error;
    std::filesystem::remove(file, error);
    if (error)
        throw ListError("cannot remove " + file.string() + ": " + error.message());
}

void PictureFolder::importPicture(const std::filesystem::path &source, const std::string &name) const
{
    if (!catalogue::isSafePictureName(name))
        throw ListError("the name \"" + name + "\" cannot be a picture file name, so the game would never load it");
    try {
        // The game's own limits on size and pixels, before anything is decoded.
        window::ImageDecoder(QSize(1, 1), 1.0).check(source);
    } catch (const catalogue::RuntimeError &error) {
        throw ListError(source.string() + ": " + error.text());
    }

    QImageReader reader(QFile::decodeName(source.c_str()));
    std::string bytes;
    if (reader.format() == "jpeg") {
        bytes = readWhole(source);
    } else {
        const QImage image = reader.read();
        if (image.isNull())
            throw ListError(source.string() + ": " + reader.errorString().toStdString());
        QByteArray jpeg;
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        if (!image.convertToFormat(QImage::Format_RGB32).save(&buffer, "JPEG", 92))
            throw ListError(source.string() + ": cannot be converted to JPEG");
        bytes = jpeg.toStdString();
    }
    std::error_code error;
    std::filesystem::create_directories(folder_, error);
    if (error)
        throw ListError("cannot make the folder " + folder_.string() + ": " + error.message());
    authoring::replaceFile(fileOf(name), bytes, authoring::Backup::None);
}

} // namespace editor
