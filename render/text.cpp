// Outline-font text: builds the 256 letter lists once with the GL context and draws lines of
// solid letters that fly in, hold and fly out as functions of the scene clock. Depends on the
// outline font builder, the scene clock, texture slot 0 (white) for the letters' texture and the
// additive blend switch of the picture quads.
#include "render/text.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/clock.h"
#include "core/services.h"
#include "media/texture.h"
#include "platform/platform.h"
#include "render/quads.h"

GLuint fontListBase = 0;
GlyphMetricsFloat glyphMetrics[256];

namespace {

const int fontListCount = 256;

// The line's letters sit on a line this far from the eye during the hold.
const float holdDepth = 15.0f;

void printLine(TextPrinter printer, float start, float end, float fade, const char* format, va_list args)
{
    if (!format)
        return;
    const float t = sceneTime;
    if (!lineShownAt(t, start, end) || fontListBase == 0)
        return;
    char line[textLineBufferSize];
    formatTextLine(line, format, args);
    LetterSlot slots[textLineBufferSize];
    int letters = layoutTextLine(line, glyphMetrics, slots, nullptr);

    // The letters add light over everything drawn before and are hidden by none of it.
    glDisable(GL_DEPTH_TEST);
    beginAdditive();
    for (int i = 0; i < letters; ++i) {
        LetterPose pose = placeLetter(printer, t, start, end, fade, slots[i].m);
        glLoadIdentity();
        glBindTexture(GL_TEXTURE_2D, TextureTable[Slot::White]);
        glEnable(GL_TEXTURE_GEN_S);
        glEnable(GL_TEXTURE_GEN_T);
        glPushAttrib(GL_LIST_BIT);
        glListBase(fontListBase);
        glTranslatef(pose.x, pose.y, pose.z);
        if (pose.spins) {
            glRotatef(pose.spin, 1.0f, 0.0f, 0.0f);
            glRotatef(pose.spin, 0.0f, 1.0f, 0.0f);
        }
        glColor3f(pose.brightness, pose.brightness, pose.brightness);
        glTranslatef(0.0f, -0.2f, 0.0f);
        glCallLists(1, GL_UNSIGNED_BYTE, &slots[i].code);
        glPopAttrib();
    }
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    endAdditive();
    glEnable(GL_DEPTH_TEST);
}

}  // namespace

void createOutlineFont()
{
    deleteOutlineFont();
    // Object-linear generation with the default planes lays the texture onto a letter by its own
    // x and y; the printers switch it on only while they draw.
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);

    GLuint base = glGenLists(fontListCount);
    if (base == 0) {
        std::fprintf(stderr, "No display lists left for the text font; text is not drawn\n");
        return;
    }
    OutlineFace* face = services().openTextFace != nullptr ? services().openTextFace() : openTextFace();
    if (!face) {
        glDeleteLists(base, fontListCount);
        std::string text =
            std::string("Font not found: ") + textFontName + " (package fonts-roboto-unhinted). Text is not drawn.";
        sysMessageBox("Error", text.c_str());
        return;
    }
    // Codes 0 to 254 get their glyph; list 255 is reserved but stays empty, as does its record.
    useFontOutlines(face, 0, fontListCount - 1, base, fontDeviation, fontExtrusion, glyphMetrics);
    glyphMetrics[fontListCount - 1] = GlyphMetricsFloat();
    closeOutlineFace(face);
    fontListBase = base;
}

void deleteOutlineFont()
{
    if (fontListBase != 0)
        glDeleteLists(fontListBase, fontListCount);
    fontListBase = 0;
    std::fill(std::begin(glyphMetrics), std::end(glyphMetrics), GlyphMetricsFloat());
}

void printCreditLine(float start, float end, float fade, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    printLine(TextPrinter::Credit, start, end, fade, format, args);
    va_end(args);
}

void printGreetingLine(float start, float end, float fade, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    printLine(TextPrinter::Greeting, start, end, fade, format, args);
    va_end(args);
}

void printVerseLine(float start, float end, float fade, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    printLine(TextPrinter::Verse, start, end, fade, format, args);
    va_end(args);
}

void drawFlatText(const char* text, float x, float y, float size)
{
    if (text == nullptr || fontListBase == 0) {
        return;
    }
    glPushAttrib(GL_LIST_BIT | GL_ENABLE_BIT);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_FOG);
    glListBase(fontListBase);
    glPushMatrix();
    glTranslatef(x, y, 0.0f);
    glScalef(size, size, 1.0f);
    glCallLists(static_cast<GLsizei>(std::strlen(text)), GL_UNSIGNED_BYTE, text);
    glPopMatrix();
    glPopAttrib();
}

float flatTextWidth(const char* text)
{
    float width = 0.0f;
    for (const char* c = text; c != nullptr && *c != '\0'; ++c) {
        width += glyphMetrics[static_cast<unsigned char>(*c)].cellIncX;
    }
    return width;
}

bool lineShownAt(float t, float start, float end)
{
    return start <= t && t <= end;
}

TextPhase textPhaseAt(float t, float start, float end, float fade)
{
    if (t < start + fade)
        return TextPhase::In;
    if (t < end - fade)
        return TextPhase::Hold;
    return TextPhase::Out;
}

LetterPose placeLetter(TextPrinter printer, float t, float start, float end, float fade, float m)
{
    LetterPose pose;
    pose.phase = textPhaseAt(t, start, end, fade);
    switch (pose.phase) {
    case TextPhase::In: {
        // A zero fade has no in-phase inside the window; the guard only keeps k finite.
        float k = fade > 0.0f ? (t - start) / fade : 1.0f;
        pose.x = m * k;
        pose.y = printer == TextPrinter::Greeting ? -3.0f : -2.0f;
        pose.z = -holdDepth * k;
        pose.spins = true;
        pose.spin = 180.0f - 180.0f * k;
        pose.brightness = k;
        break;
    }
    case TextPhase::Hold:
        pose.x = m;
        pose.y = -2.0f;
        // The hold phase only exists when end - start > 2 fade, so the division is safe here.
        if (printer == TextPrinter::Greeting)
            pose.y = (t - start - fade) * 6.0f / ((end - start) - 2.0f * fade) - 3.0f;
        pose.z = -holdDepth;
        pose.brightness = 1.0f;
        break;
    case TextPhase::Out: {
        // With no fade the out-phase is the single instant t = end: already complete.
        float u = fade > 0.0f ? (t - end + fade) / fade : 1.0f;
        pose.brightness = 1.0f - u;
        switch (printer) {
        case TextPrinter::Credit:
            pose.x = m - m * u;
            pose.y = -2.0f;
            pose.z = -holdDepth - holdDepth * u;
            pose.spins = true;
            pose.spin = 180.0f * u;
            break;
        case TextPrinter::Greeting:
            pose.x = m - m * u;
            pose.y = 3.0f;
            pose.z = -holdDepth + holdDepth * u;
            pose.spins = true;
            pose.spin = 180.0f * u;
            break;
        case TextPrinter::Verse:
            pose.x = m;
            pose.y = -2.0f + 3.0f * u;
            pose.z = -holdDepth + holdDepth * u;
            break;
        }
        break;
    }
    }
    return pose;
}

int formatTextLine(char* buffer, const char* format, va_list args)
{
    int written = std::vsnprintf(buffer, textLineBufferSize, format, args);
    if (written < 0) {
        buffer[0] = '\0';
        return 0;
    }
    return std::min(written, textLineBufferSize - 1);
}

int layoutTextLine(const char* text, const GlyphMetricsFloat* metrics, LetterSlot* slots, float* width)
{
    float total = 0.0f;
    for (const char* c = text; *c; ++c)
        total += metrics[static_cast<unsigned char>(*c)].cellIncX;
    if (width)
        *width = total;
    float x = 0.0f;
    int count = 0;
    for (const char* c = text; *c; ++c) {
        unsigned char code = static_cast<unsigned char>(*c);
        if (code != ' ') {
            slots[count].code = code;
            slots[count].m = x - total / 2.0f;
            ++count;
        }
        x += metrics[code].cellIncX;
    }
    return count;
}
