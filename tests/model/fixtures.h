// Helpers shared by the model tests: loading byte images and written scenes into models without a
// GL context, and small scene builders in the model's own (Y-up) coordinates.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "model/model.h"
#include "tools/assetgen/tds_writer.h"

namespace fixtures {

// Loads bytes as a 3DS file (through a memory stream) into a model that loads no pictures.
bool loadBytes(Model& model, const std::vector<uint8_t>& bytes, const char* name = "fixture.3ds");
// Writes the scene and loads it as loadBytes does.
bool loadScene(Model& model, const tds::Scene& scene);
// A file in the test's temporary folder, written with the bytes; returns its path.
std::string writeTempFile(const std::string& name, const std::vector<uint8_t>& bytes);

// Y-up scene point to the file's frame (the reader turns it back).
tds::Vec3 up(float x, float y, float z);

// An axis-aligned box mesh with 8 corners and 12 faces, in Y-up coordinates.
tds::Mesh boxMesh(const std::string& name, float x0, float y0, float z0, float x1, float y1, float z1,
                  const std::string& material = "");
// A single triangle mesh with the given Y-up corners.
tds::Mesh triangleMesh(const std::string& name, tds::Vec3 a, tds::Vec3 b, tds::Vec3 c);
// A light at a Y-up position whose spotlight target lies range away along +x.
tds::Light spotLight(const std::string& name, tds::Vec3 position, float range, tds::Vec3 colour = {1.0f, 1.0f, 1.0f});

// The nth object of the list (0 for the model itself), walked with next pointers.
SceneObject* objectAt(Model& model, int n);

// Records every picture the model asks for; the texture name is 100 + the number of the call.
struct PictureLog {
    static std::vector<std::string> names;
    static void load(GLuint* textures, const char* name, int slot);
};

}  // namespace fixtures
