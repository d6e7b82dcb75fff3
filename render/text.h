// Outline-font text: the font made with the GL context, and the three printers that fly a line of
// solid letters in, hold it and fly it out within a time window of the scene clock.
#pragma once
#include "core/gl.h"
#include "render/outline_font.h"
#include <cstdarg>

// The font's curves are cut into chords at most this far (in em) from the true outline; the
// letters are this deep. The data folder's font file is made with the same values.
const float fontDeviation = 0.1f;
const float fontExtrusion = 0.2f;

// Written by createOutlineFont, cleared by deleteOutlineFont; read by the printers. 0 while no
// font exists (the printers then draw nothing).
extern GLuint fontListBase;                  // first of 256 lists; list fontListBase + c draws code c
extern GlyphMetricsFloat glyphMetrics[256];  // per code, in em units; code 255 stays all zero

// Builds the 256 letter lists with the GL context current, from the handed-down face source
// (core/services.h) or openTextFace. When no font can be opened a message
// box names the missing face and fontListBase stays 0, so no text is drawn.
void createOutlineFont();
// Deletes the 256 lists (nothing when there are none).
void deleteOutlineFont();

// Each printer formats its line printf-style and draws it when start <= sceneTime <= end; a null
// format draws nothing, a line longer than 255 characters is cut. Letters fly in during the
// first fade seconds and out during the last, with the printer's own motion.
void printCreditLine(float start, float end, float fade, const char* format, ...) __attribute__((format(printf, 4, 5)));
void printGreetingLine(float start, float end, float fade, const char* format, ...)
    __attribute__((format(printf, 4, 5)));
void printVerseLine(float start, float end, float fade, const char* format, ...) __attribute__((format(printf, 4, 5)));

// Draws a line flat and still, its left end's baseline at (x, y), letters size units high, in the
// current matrices and colour, untextured; for what is laid over the picture (the player's
// overlays). Nothing when there is no font.
void drawFlatText(const char* text, float x, float y, float size);
// The line's width in em (multiply by the size drawn at).
float flatTextWidth(const char* text);

// ---- The printers' rules, free of GL ---------------------------------------------------------

const int textLineBufferSize = 256;

enum class TextPrinter { Credit, Greeting, Verse };
enum class TextPhase { In, Hold, Out };

// Where one letter goes and how bright it is: translate (x, y, z), then, when it spins, rotate by
// spin degrees about x and then about y; colour (brightness, brightness, brightness).
struct LetterPose {
    TextPhase phase = TextPhase::Hold;
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    bool spins = false;
    float spin = 0.0f;
    float brightness = 0.0f;
};

// One letter to draw: its code and m, its offset on a line centred on x = 0.
struct LetterSlot {
    unsigned char code = 0;
    float m = 0.0f;
};

// True when a line with this window is drawn at scene time t (both ends included).
bool lineShownAt(float t, float start, float end);
// The phase at scene time t: in-phase is tested first, then hold, else out-phase.
TextPhase textPhaseAt(float t, float start, float end, float fade);
// The pose of a letter at offset m at scene time t, for a time t inside the window.
LetterPose placeLetter(TextPrinter printer, float t, float start, float end, float fade, float m);

// Formats into buffer (textLineBufferSize bytes), cutting what does not fit. Returns the length
// kept; a format error leaves an empty line.
int formatTextLine(char* buffer, const char* format, va_list args);
// Lays out a line centred by the summed advances of all its characters, spaces included.
// Fills slots (room for strlen(text) entries) with the letters that are drawn, spaces left
// out, and returns how many; *width receives the line's total advance when width is not null.
int layoutTextLine(const char* text, const GlyphMetricsFloat* metrics, LetterSlot* slots, float* width);
