// Fuzzes the picture decoder with any bytes saved as a .jpg: it must either
// give an image of the card's size or refuse with a run-time error, within
// its memory limits.
#include "qt_picture_loader.h"
#include "runtime_error.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {
const std::filesystem::path &scratchFile()
{
    static const std::filesystem::path path = [] {
        auto dir = std::filesystem::temp_directory_path() / ("fuzz-picture-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir);
        return dir / "prize.jpg";
    }();
    return path;
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication application(*argc, *argv); // image format plugins need one
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    {
        std::FILE *f = std::fopen(scratchFile().c_str(), "wb");
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    const QSize box(177, 113);
    const window::ImageDecoder decoder(box, 1.0);
    try {
        const QImage image = decoder.decode(scratchFile());
        if (image.size() != box)
            std::abort();
    } catch (const catalogue::RuntimeError &e) {
        if (e.number() != 481 && e.number() != 75)
            std::abort();
    }
    return 0;
}
