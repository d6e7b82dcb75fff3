// The player's overlays, drawn with GL 1.1 over the frame in the view: a dark band, the program's
// outline font for the words, and for the time overlay a bar of the whole presentation with its
// eight scenes marked. Depends on the frame layout, the outline font and the scene table.
#include "shell/overlay.h"

#include <algorithm>
#include <cstdio>

#include "core/gl.h"
#include "render/frame.h"
#include "render/text.h"
#include "scenes/scenes.h"

namespace {

// The key overlay's lines: the key and what it does.
struct KeyLine {
    const char* keys;
    const char* action;
};
const KeyLine keyLines[] = {
    {"Space", "pause, resume"},
    {"Left, Right", "10 s back, forward"},
    {"Page Up, Page Down", "previous, next scene"},
    {"1 to 8", "scene 1 to 8"},
    {"Home", "from the start"},
    {"F12", "save the frame (PNG)"},
    {"Tab", "time and scenes"},
    {"F1", "these keys"},
    {"Escape", "quit"},
};
const int keyLineCount = static_cast<int>(sizeof keyLines / sizeof keyLines[0]);

// Sizes in pixels of an 800x600 picture, scaled with the view's height.
const float textSize = 20.0f;
const float margin = 16.0f;

// Pixels of the view per pixel of an 800x600 picture.
float overlayScale()
{
    return static_cast<float>(frameLayout().view.height) / 600.0f;
}

// An ortho projection over the view in pixels, with what would spoil flat drawing switched off.
void beginOverlay()
{
    const PixelRect& view = frameLayout().view;
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, view.width, 0.0, view.height, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_FOG);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void endOverlay()
{
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
}

void fillRect(float x0, float y0, float x1, float y1, float grey, float alpha)
{
    glColor4f(grey, grey, grey, alpha);
    glBegin(GL_QUADS);
    glVertex2f(x0, y0);
    glVertex2f(x1, y0);
    glVertex2f(x1, y1);
    glVertex2f(x0, y1);
    glEnd();
}

void text(const char* line, float x, float y, float size, float grey)
{
    glColor4f(grey, grey, grey, 1.0f);
    drawFlatText(line, x, y, size);
}

}  // namespace

void drawTimeOverlay(const PlayState& state)
{
    const float k = overlayScale();
    const float width = static_cast<float>(frameLayout().view.width);
    const float size = textSize * k;
    const float pad = margin * k;
    const float barHeight = 10.0f * k;
    const float bandHeight = pad * 3.0f + size + barHeight;
    beginOverlay();
    fillRect(0.0f, 0.0f, width, bandHeight, 0.0f, 0.6f);

    // The bar: the whole presentation, the part played lighter, a mark where each scene begins.
    const float left = pad;
    const float right = width - pad;
    const float bottom = pad;
    const float top = bottom + barHeight;
    const double share = state.seconds / presentationLength;
    const float at = left + (right - left) * static_cast<float>(share < 0.0 ? 0.0 : share > 1.0 ? 1.0 : share);
    fillRect(left, bottom, right, top, 0.35f, 1.0f);
    fillRect(left, bottom, at, top, 0.85f, 1.0f);
    // The current scene's stretch is underlined.
    const float sceneEnd = state.scene + 1 < sceneCount ? sceneTable[state.scene + 1].start : presentationLength;
    fillRect(left + (right - left) * (sceneTable[state.scene].start / presentationLength), bottom - 5.0f * k,
             left + (right - left) * (sceneEnd / presentationLength), bottom - 3.0f * k, 0.85f, 1.0f);
    for (int i = 0; i < sceneCount; ++i) {
        const float x = left + (right - left) * (sceneTable[i].start / presentationLength);
        fillRect(x - k, bottom, x + k, top, 0.05f, 1.0f);
    }
    fillRect(at - 2.0f * k, bottom - 5.0f * k, at + 2.0f * k, top + 5.0f * k, 1.0f, 1.0f);

    char line[128];
    const int whole = static_cast<int>(state.seconds);
    std::snprintf(line, sizeof line, "%d:%02d.%02d  %d/8 %s%s", whole / 60, whole % 60,
                  static_cast<int>((state.seconds - whole) * 100.0), state.scene + 1, sceneTable[state.scene].name,
                  state.paused ? "  (paused)" : "");
    const float baseline = top + pad;
    text(line, left, baseline, size, 1.0f);
    if (state.framesPerSecond > 0.0) {
        std::snprintf(line, sizeof line, "%.0f fps", state.framesPerSecond);
        text(line, right - flatTextWidth(line) * size, baseline, size, 1.0f);
    }
    endOverlay();
}

void drawKeyOverlay()
{
    const float k = overlayScale();
    const PixelRect& view = frameLayout().view;
    const float size = textSize * k;
    const float lineHeight = size * 1.5f;
    const float pad = margin * k;
    float keysWidth = 0.0f;
    float actionsWidth = 0.0f;
    for (int i = 0; i < keyLineCount; ++i) {
        keysWidth = std::max(keysWidth, flatTextWidth(keyLines[i].keys) * size);
        actionsWidth = std::max(actionsWidth, flatTextWidth(keyLines[i].action) * size);
    }
    const float boxWidth = keysWidth + actionsWidth + pad * 3.0f;
    const float boxHeight = lineHeight * static_cast<float>(keyLineCount - 1) + size + pad * 2.0f;
    const float x0 = (static_cast<float>(view.width) - boxWidth) / 2.0f;
    const float y0 = (static_cast<float>(view.height) - boxHeight) / 2.0f;
    beginOverlay();
    fillRect(x0, y0, x0 + boxWidth, y0 + boxHeight, 0.0f, 0.85f);
    for (int i = 0; i < keyLineCount; ++i) {
        // Capitals reach about 0.8 of the size above the baseline, descenders 0.2 below it.
        const float baseline = y0 + boxHeight - pad - size * 0.8f - lineHeight * static_cast<float>(i);
        text(keyLines[i].keys, x0 + pad, baseline, size, 1.0f);
        text(keyLines[i].action, x0 + pad * 2.0f + keysWidth, baseline, size, 0.75f);
    }
    endOverlay();
}
