// Fixture models for the render tests: scenes written with the content generator's 3DS writer and
// loaded without GL pictures, and models assembled in memory through the model's own fields.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "model/model.h"
#include "tools/assetgen/tds_writer.h"

namespace rfix {

// Loads a written scene into the model through a memory stream, loading no pictures.
bool loadScene(Model& model, const tds::Scene& scene);

// A Y-up point in the file's frame.
tds::Vec3 up(double x, double y, double z);

struct Key {
    uint32_t frame = 0;
    Vec3d value;
};

// A camera object and its eye and target nodes (target keys may be empty: no target track).
void addCamera(tds::Scene& scene, const std::string& name, const std::vector<Key>& eye, const std::vector<Key>& target);
// A small triangle mesh around (x, y, z) with a position track (may be empty: no node).
void addMovingMesh(tds::Scene& scene, const std::string& name, const std::vector<Key>& positions);

// ---- In-memory models --------------------------------------------------------------------

// Appends an object of the given kind to the list (the model itself is the first) and returns it.
SceneObject* appendObject(Model& model, const char* name, ObjectKind kind);
// A track of the given keys in arrays the model's destroy releases.
void setPositionTrack(SceneObject& object, const std::vector<Key>& keys);
void setRotationTrack(SceneObject& object, const std::vector<Key>& keys);
// Makes the object a mesh with the given vertices and triangles, every vertex coloured colour.
void setMesh(SceneObject& object, const std::vector<Vec3d>& vertices, const std::vector<Face>& faces,
             Vec3f colour = Vec3f{1.0f, 1.0f, 1.0f});
// Adds a camera object looking from eye at target and puts it in the camera table.
SceneObject* appendCamera(Model& model, const char* name, Vec3d eye, Vec3d target);
// A grid of columns x rows cells of cellSize from (minX, minZ): every object's faces in the cell
// its first vertex lies in (objects in list order, one entry per object). With placeFaces false
// every entry starts empty, for placeInCell.
void buildTestGrid(Model& model, int32_t columns, int32_t rows, float minX, float minZ, float cellSize,
                   bool placeFaces = true);
// Puts all faces of object (its list index) into the given cell.
void placeInCell(Model& model, int32_t object, int32_t cell);

}  // namespace rfix
