// text_frames OUTDIR: draws each printer at three moments of each phase and writes one contact
// sheet per printer (OUTDIR/credit.png, greeting.png, verse.png): rows in-phase, hold, out-phase,
// columns early, middle, late; each frame shrunk to a third. The nine frames are also written at
// full size (credit_in_1.png .. verse_out_3.png). Needs a display (xvfb-run).
#include <algorithm>
#include <cstdio>
#include <string>

#include "core/clock.h"
#include "render/text.h"
#include "tests/support/text_gl.h"

namespace {

const float lineStart = 0.0f;
const float lineEnd = 12.0f;
const float lineFade = 3.0f;

struct PrinterRun {
    const char* file;
    void (*print)(float, float, float, const char*, ...);
    const char* text;
};

// Scene times of the nine cells: in-phase 0..3, hold 3..9, out-phase 9..12.
const char* const phaseNames[3] = {"in", "hold", "out"};
const float cellTimes[3][3] = {{0.75f, 1.5f, 2.7f}, {3.0f, 6.0f, 8.9f}, {9.75f, 10.5f, 11.7f}};

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: text_frames OUTDIR\n");
        return 2;
    }
    std::string why;
    if (!openTextWindow(&why)) {
        std::fprintf(stderr, "text_frames: %s\n", why.c_str());
        return 1;
    }
    createOutlineFont();
    const PrinterRun runs[] = {
        {"credit", printCreditLine, "CODE BY VELMORA"},
        {"greeting", printGreetingLine, "GREETINGS TO ALL"},
        {"verse", printVerseLine, "the night is young"},
    };
    for (const PrinterRun& run : runs) {
        Frame sheet;
        sheet.rgb.assign(static_cast<size_t>(frameWidth) * frameHeight * 3, 40);
        for (int row = 0; row < 3; ++row) {
            for (int column = 0; column < 3; ++column) {
                clearTextFrame();
                sceneTime = cellTimes[row][column];
                run.print(lineStart, lineEnd, lineFade, "%s", run.text);
                Frame frame = readFrame();
                std::string cell = std::string(argv[1]) + "/" + run.file + "_" + phaseNames[row] + "_" +
                                   std::to_string(column + 1) + ".png";
                if (!writeFramePng(frame, cell.c_str()))
                    std::fprintf(stderr, "text_frames: cannot write %s\n", cell.c_str());
                // A third of the size, keeping the brightest of each 3 x 3 block so that thin
                // strokes survive; a grey margin separates the cells.
                for (int y = 1; y < 199; ++y) {
                    for (int x = 1; x < 266; ++x) {
                        for (int c = 0; c < 3; ++c) {
                            int fx = x * 3, fy = y * 3;
                            uint8_t v = 0;
                            for (int dy = 0; dy < 3; ++dy)
                                for (int dx = 0; dx < 3; ++dx)
                                    v = std::max(v, frame.rgb[((fy + dy) * frameWidth + fx + dx) * 3 + c]);
                            int sx = column * 266 + x, sy = row * 200 + y;
                            sheet.rgb[(static_cast<size_t>(sy) * frameWidth + sx) * 3 + c] = v;
                        }
                    }
                }
            }
        }
        std::string path = std::string(argv[1]) + "/" + run.file + ".png";
        if (!writeFramePng(sheet, path.c_str())) {
            std::fprintf(stderr, "text_frames: cannot write %s\n", path.c_str());
            return 1;
        }
        std::printf("%s\n", path.c_str());
    }
    deleteOutlineFont();
    return 0;
}
