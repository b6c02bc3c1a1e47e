// Prize lists on disk for the window tests, with real picture files.
#pragma once

#include "fakes.h"

#include <QColor>
#include <QImage>
#include <QString>

namespace windowtests {

// Writes a real JPEG of one flat colour.
inline void writeJpeg(const std::filesystem::path &file, QColor color, QSize size = QSize(200, 120))
{
    std::filesystem::create_directories(file.parent_path());
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    if (!image.save(QString::fromStdString(file.string()), "JPEG", 95))
        throw std::runtime_error("cannot write " + file.string());
}

// Four prizes of 25 each. Uniform numbers 0.1, 0.3, 0.6 and 0.9 draw
// prizes 0, 1, 2 and 3. Prize 2 has no picture file; prize 3's name is
// Chinese, written in GBK.
struct FourPrizes {
    static constexpr std::int32_t kStrip[4] = {0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF}; // red, green, blue, yellow
    static inline const QColor kPicture[4] = {QColor(0, 0, 160), QColor(160, 0, 160), QColor(), QColor(0, 160, 160)};
    static inline const std::string kGbkName3 = "\xD3\xAB\xB9\xE2\xB0\xF4"; // 荧光棒

    fakes::TempFolder folder;

    FourPrizes()
    {
        folder.writeDataIni(fakes::record("25", std::to_string(kStrip[0]), "Cup", "1") +
                            fakes::record("25", std::to_string(kStrip[1]), "Ball", "2") +
                            fakes::record("25", std::to_string(kStrip[2]), "Kite", "3") +
                            fakes::record("25", std::to_string(kStrip[3]), kGbkName3, "10"));
        writeJpeg(folder.path() / "picture" / "Cup.jpg", kPicture[0]);
        writeJpeg(folder.path() / "picture" / "Ball.jpg", kPicture[1]);
        writeJpeg(folder.path() / "picture" / "荧光棒.jpg", kPicture[3]);
    }
};

} // namespace windowtests
