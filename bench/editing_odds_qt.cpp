// The editing core's timings on Linux: the Qt picture decoder and text measure.
// Usage: editing_odds DATA_INI EDITS
#include "editing_odds.h"
#include "qt_pictures.h"
#include "qt_text_measure.h"

#include <QGuiApplication>

int main(int argc, char **argv)
{
    QGuiApplication application(argc, argv); // fonts and image plugins; no window is shown
    if (argc != 3) {
        std::fprintf(stderr, "usage: editing_odds DATA_INI EDITS\n");
        return 2;
    }
    editor::QtPictureDecoder decoder(1.0);
    window::QtTextMeasure measure;
    return bench::measureEditing(argv[1], std::atoi(argv[2]), decoder, &measure);
}
