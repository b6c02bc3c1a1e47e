// The Qt window's picture decoder, used as a judge.
#include "game_pictures.h"

#include "picture_files.h"
#include "qt_picture_loader.h"
#include "qt_text_measure.h"

#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QLoggingCategory>

namespace odds {

namespace {
const QSize kPictureBoxPixels(kPictureBoxWidth, kPictureBoxHeight);

std::string cardSizeJpeg(const std::filesystem::path &file)
{
    QImageReader reader(QFile::decodeName(file.c_str()));
    reader.setAutoTransform(true);
    const QImage image = reader.read();
    if (image.isNull())
        return {};
    QByteArray bytes;
    QBuffer out(&bytes);
    out.open(QIODevice::WriteOnly);
    if (!image.scaled(kPictureBoxPixels * kSheetPictureScale, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
             .convertToFormat(QImage::Format_RGB32)
             .save(&out, "JPEG", kSheetJpegQuality))
        return {};
    return bytes.toStdString();
}

class QtPictureJudge : public catalogue::PictureLoader {
public:
    catalogue::PicturePtr load(const std::filesystem::path &file) override
    {
        decoder_.decode(file); // throws the game's own run-time error
        const QByteArray format = QImageReader::imageFormat(QFile::decodeName(file.c_str()));
        auto picture = std::make_shared<PictureFile>(file, "image/" + format.toStdString());
        picture->cardSizeJpeg = [file] { return cardSizeJpeg(file); };
        return picture;
    }

private:
    window::ImageDecoder decoder_{kPictureBoxPixels, 1.0};
};
} // namespace

std::unique_ptr<catalogue::PictureLoader> gamePictureLoader()
{
    QLoggingCategory::setFilterRules(QStringLiteral("qt.gui.imageio*=false"));
    return std::make_unique<QtPictureJudge>();
}

std::unique_ptr<window::TextMeasure> gameTextMeasure()
{
    // Fonts need a GUI application; a tool run in a terminal makes one that
    // needs no display, kept until the process ends. Qt's own notes (no
    // runtime folder, say) are not the tool's to print.
    if (!QCoreApplication::instance()) {
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
        static int argc = 3;
        static char program[] = "prizedraw-tool", platform[] = "-platform", offscreen[] = "offscreen";
        static char *argv[] = {program, platform, offscreen, nullptr};
        static const QGuiApplication *application = new QGuiApplication(argc, argv);
        (void)application;
    }
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return nullptr;
    return std::make_unique<window::QtTextMeasure>();
}

} // namespace odds
