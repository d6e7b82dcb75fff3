// Small scenes for the later scenes' tests, written with the content generator's 3DS writer and
// read back by the model's own reader (no pictures loaded).
#pragma once
#include <string>
#include <vector>

#include "model/model.h"
#include "tools/assetgen/tds_writer.h"

namespace fixb {

// A point of our Y-up frame in the file's frame.
tds::Vec3 fileFrame(const Vec3d& p);
// Appends a mesh of faceCount triangles, each on three vertices of its own: face i has its
// corners at corner + (i, 0, 0), corner + (i + 1, 0, 0) and corner + (i, 1, 0).
void addTriangles(tds::Scene& scene, const std::string& name, int faceCount, const Vec3d& corner);
// Appends a mesh of one face with exactly these three corners.
void addFace(tds::Scene& scene, const std::string& name, const Vec3d& a, const Vec3d& b, const Vec3d& c);
// A keyframer node giving the named mesh a position track of these keys at frames 0, 10, 20...
void addPositionTrack(tds::Scene& scene, const std::string& name, const std::vector<Vec3d>& keys);
// Writes the scene, reads it into model and fails the test when it cannot.
void load(Model& model, const tds::Scene& scene);

}  // namespace fixb
