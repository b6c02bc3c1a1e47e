// The editing core's timings on Windows: the imaging component's decoder and
// the GDI text measure. Usage: editing_odds DATA_INI EDITS
#include "editing_odds.h"
#include "gdi_text_measure.h"
#include "wic_pictures.h"

#include <windows.h>
#include <shellapi.h>

int main()
{
    int count = 0;
    LPWSTR *arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments || count != 3) {
        std::fprintf(stderr, "usage: editing_odds DATA_INI EDITS\n");
        return 2;
    }
    const std::filesystem::path list = arguments[1];
    const int edits = _wtoi(arguments[2]);
    LocalFree(arguments);
    editor_win32::WicPictureDecoder decoder({177, 113}); // the card's picture box at 96 dpi
    window::win32::GdiTextMeasure measure;
    return bench::measureEditing(list, edits, decoder, &measure);
}
