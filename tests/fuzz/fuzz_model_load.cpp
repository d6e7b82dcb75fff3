// libFuzzer target for the 3DS reader: every input is loaded as a file (through a memory stream),
// finished, lit with shadows whatever its size (the lighting's work budget keeps that bounded) and
// gridded, then walked. Material names go through the path check to a loader that loads nothing.
// Any read outside memory, undefined behaviour, leak or hang is a finding.
#include <cstdint>
#include <cstdio>

#include "core/switches.h"
#include "model/model.h"
#include "platform/platform.h"

namespace {

void loadNoPicture(GLuint* textures, const char*, int slot)
{
    textures[slot] = 0;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    sysSetBatchMode(true);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    FILE* stream = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (stream == nullptr)
        return 0;
    setRenderDefaults();

    Model model;
    model.materialLoader = loadNoPicture;
    bool loaded = model.loadFromStream(stream, "fuzz.3ds");
    std::fclose(stream);
    if (loaded)
        model.buildGrid();

    // Every face of what was loaded must point at existing vertices, every table entry at an object.
    model.rewind();
    volatile double sink = 0.0;
    for (int i = 0; i < model.objectCount; ++i) {
        const SceneObject* o = model.cursor;
        for (int f = 0; f < o->faceCount; ++f) {
            const Face& face = o->faces[f];
            sink = sink + o->vertices[face.a].x + o->vertices[face.b].y + o->vertices[face.c].z + o->mapping[face.a].u +
                   o->vertexColours[face.c].x;
        }
        model.advance();
    }
    for (int i = 0; i < model.lightCount; ++i)
        sink = sink + model.lights[i]->range;
    for (int i = 0; i < model.cameraCount; ++i)
        sink = sink + model.cameras[i]->cameraPosition.x;
    for (int i = 0; i < model.boltObjectCount; ++i)
        sink = sink + model.boltObjects[i]->vertexCount;
    for (int c = 0; c < model.columns * model.rows; ++c)
        for (int e = 0; e < model.grid[c].entryCount; ++e)
            for (int k = 0; k < model.grid[c].entries[e].faceCount; ++k)
                sink = sink + model.grid[c].entries[e].faceIndices[k];
    model.destroy();
    return 0;
}
