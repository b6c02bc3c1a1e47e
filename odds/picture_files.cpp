// Picture files checked by their signature.
#include "picture_files.h"

#include "runtime_error.h"

#include <fstream>

namespace odds {

using catalogue::ErrorCode;
using catalogue::RuntimeError;

std::optional<std::string> signatureMimeType(std::string_view firstBytes)
{
    // JPEG: start-of-image marker followed by the first marker's lead byte.
    if (firstBytes.starts_with(std::string_view("\xFF\xD8\xFF", 3)))
        return "image/jpeg";
    if (firstBytes.starts_with(std::string_view("\x89PNG\r\n\x1A\n", 8)))
        return "image/png";
    return std::nullopt;
}

catalogue::PicturePtr PictureFileLoader::load(const std::filesystem::path &file)
{
    catalogue::requireRegularFile(file);

    std::ifstream in(file, std::ios::binary);
    char head[8] = {};
    in.read(head, sizeof head);
    if (!in && !in.eof())
        throw RuntimeError(ErrorCode::PathFileAccessError);
    auto type = signatureMimeType(std::string_view(head, static_cast<std::size_t>(in.gcount())));
    if (!type)
        throw RuntimeError(ErrorCode::InvalidPicture);
    return std::make_shared<PictureFile>(file, std::move(*type));
}

} // namespace odds
