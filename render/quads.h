// Full-screen picture quads and the additive blend switch shared by every drawing step.
#pragma once
#include "core/gl.h"

// Additive blending on: what is drawn afterwards is added to the frame (factors one and one).
void beginAdditive();
// Blending off; the blend function is left as it is.
void endAdditive();

// One corner of a quad for sendSplitQuad: grey level, texture coordinate, position.
struct QuadCorner {
    float grey;
    float s, t;
    float x, y, z;
};

// A quad whose corners need not lie in one plane, sent between glBegin(GL_TRIANGLES) and glEnd as
// the triangles (1, 2, 4) and (2, 3, 4). GL leaves the split of a bent quad to the driver: llvmpipe
// takes one diagonal or the other depending on how its vertices happen to be batched (the same
// frame came out two ways) and the browser's GL takes the other, so the streaks say which.
void sendSplitQuad(const QuadCorner (&corners)[4]);

// One picture quad in eye space: modelview reset to identity, translated by (0, y, z), the picture
// scaled by s, each corner coloured (c, c, c). With y = 0, z = -1.6, s = 1 it just overfills a 4:3 view.
void drawPictureQuad(GLuint texture, float c, float y, float z, float s);

// Opaque picture: depth test off for the quad, brightness 1, depth test on again.
void drawOpaquePicture(GLuint texture, float y = 0.0f, float z = -1.6f, float s = 1.0f);
// Additive picture (flash or fade) at brightness c; depth test and blending restored afterwards.
void drawAdditivePicture(GLuint texture, float c, float y = 0.0f, float z = -1.6f, float s = 1.0f);
