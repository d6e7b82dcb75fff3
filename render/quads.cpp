// Picture quads: the textured full-screen quad behind every picture, flash and fade, and the
// additive blending switch. Relies on the fixed GL state of the window module (texturing on,
// modulate, depth test on, blending off) and restores it.
#include "render/quads.h"

#include <initializer_list>

void beginAdditive()
{
    glBlendFunc(GL_ONE, GL_ONE);
    glEnable(GL_BLEND);
}

void endAdditive()
{
    glDisable(GL_BLEND);
}

namespace {

void sendCorner(const QuadCorner& corner)
{
    glColor3f(corner.grey, corner.grey, corner.grey);
    glTexCoord2f(corner.s, corner.t);
    glVertex3f(corner.x, corner.y, corner.z);
}

}  // namespace

void sendSplitQuad(const QuadCorner (&corners)[4])
{
    for (const int corner : {0, 1, 3, 1, 2, 3}) {
        sendCorner(corners[corner]);
    }
}

void drawPictureQuad(GLuint texture, float c, float y, float z, float s)
{
    glLoadIdentity();
    glTranslatef(0.0f, y, z);
    glBindTexture(GL_TEXTURE_2D, texture);
    // The picture's top row is texture row t = 0, so t = 0 goes at the top edge.
    glBegin(GL_QUADS);
    glColor3f(c, c, c);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-2.0f * s, -1.5f * s, -2.0f * s);
    glColor3f(c, c, c);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-2.0f * s, 1.5f * s, -2.0f * s);
    glColor3f(c, c, c);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(2.0f * s, 1.5f * s, -2.0f * s);
    glColor3f(c, c, c);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(2.0f * s, -1.5f * s, -2.0f * s);
    glEnd();
}

void drawOpaquePicture(GLuint texture, float y, float z, float s)
{
    glDisable(GL_DEPTH_TEST);
    drawPictureQuad(texture, 1.0f, y, z, s);
    glEnable(GL_DEPTH_TEST);
}

void drawAdditivePicture(GLuint texture, float c, float y, float z, float s)
{
    glDisable(GL_DEPTH_TEST);
    beginAdditive();
    drawPictureQuad(texture, c, y, z, s);
    endAdditive();
    glEnable(GL_DEPTH_TEST);
}
