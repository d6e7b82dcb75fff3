// Window, projection and read-back for the text tests and the frame dumper. Uses the platform
// layer for the window and GL context, libpng for pictures.
#include "tests/support/text_gl.h"
#include "core/png.h"
#include "tests/support/gl_window.h"

#include <algorithm>
#include <cstdio>

#include "media/texture.h"
#include "platform/platform.h"
#include "shell/window.h"

namespace {

bool windowOpen = false;

// A small all-white texture in slot 0, as "pict/white.jpg" would be.
void loadWhiteTexture()
{
    std::vector<uint8_t> white(8 * 8 * 3, 255);
    glGenTextures(1, &TextureTable[Slot::White]);
    glBindTexture(GL_TEXTURE_2D, TextureTable[Slot::White]);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 8, 8, 0, GL_RGB, GL_UNSIGNED_BYTE, white.data());
}

}  // namespace

bool openTextWindow(std::string* why)
{
    if (windowOpen)
        return true;
    if (!openTestWindow("text test", frameWidth, frameHeight, true, why)) {
        return false;
    }
    windowOpen = true;
    resizeView(frameWidth, frameHeight);
    setFixedGLState();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    loadWhiteTexture();
    return true;
}

void clearTextFrame()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
}

bool Frame::lit(int x, int y) const
{
    const uint8_t* p = &rgb[(static_cast<size_t>(y) * frameWidth + static_cast<size_t>(x)) * 3];
    return p[0] > 8 || p[1] > 8 || p[2] > 8;
}

int Frame::litCount() const
{
    int count = 0;
    for (int y = 0; y < frameHeight; ++y)
        for (int x = 0; x < frameWidth; ++x)
            count += lit(x, y) ? 1 : 0;
    return count;
}

bool Frame::litBox(int* left, int* top, int* right, int* bottom) const
{
    bool any = false;
    for (int y = 0; y < frameHeight; ++y) {
        for (int x = 0; x < frameWidth; ++x) {
            if (!lit(x, y))
                continue;
            if (!any) {
                *left = *right = x;
                *top = *bottom = y;
                any = true;
            }
            *left = std::min(*left, x);
            *right = std::max(*right, x);
            *top = std::min(*top, y);
            *bottom = std::max(*bottom, y);
        }
    }
    return any;
}

Frame readFrame()
{
    Frame frame;
    std::vector<uint8_t> bottomUp(static_cast<size_t>(frameWidth) * frameHeight * 3);
    glFinish();
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, frameWidth, frameHeight, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    frame.rgb.resize(bottomUp.size());
    const size_t row = static_cast<size_t>(frameWidth) * 3;
    for (int y = 0; y < frameHeight; ++y)
        std::copy_n(&bottomUp[(frameHeight - 1 - y) * row], row, &frame.rgb[y * row]);
    return frame;
}

bool writeFramePng(const Frame& frame, const char* path)
{
    return writePng(path, frameWidth, frameHeight, 3, frame.rgb, RowOrder::TopDown);
}
