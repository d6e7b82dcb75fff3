// Mesh building blocks for the generated scenes: quads, boxes, prisms and cones, spheres, terrain
// grids, each appended to a MeshDef with its own vertices and tiling mapping coordinates.
#pragma once
#include <functional>

#include "tools/assetgen/scene.h"

namespace ag {

// Appends a triangle with its own three vertices.
void addTriangle(MeshDef& m, Vec3 a, Vec3 b, Vec3 c, tds::TexCoord ta, tds::TexCoord tb, tds::TexCoord tc);
// Appends the quad p0 p1 p2 p3 (in order around its edge) as two triangles with 4 vertices.
void addQuad(MeshDef& m, Vec3 p0, Vec3 p1, Vec3 p2, Vec3 p3, float uRepeat = 1.0f, float vRepeat = 1.0f);
// Axis-aligned box around `centre` with side lengths `size`; mapping tiles every `tile` units.
void addBox(MeshDef& m, Vec3 centre, Vec3 size, float tile, bool withBottom = true);
// A frustum standing on `base` along +y: rBottom at the foot, rTop at height h (0 makes a cone).
// The texture wraps `uRepeat` times around and tiles every `tile` units upward.
void addFrustum(MeshDef& m, Vec3 base, float rBottom, float rTop, float h, int sides, float uRepeat, float tile,
                bool capTop = false, bool capBottom = false);
// Ellipsoid with radii r, `rings` bands from pole to pole and `segments` around.
void addEllipsoid(MeshDef& m, Vec3 centre, Vec3 r, int rings, int segments, float uRepeat = 2.0f, float vRepeat = 1.0f);
// Height-field over x in [x0, x1], z in [z0, z1] with nx x nz quads; mapping tiles every `tile`.
void addTerrain(MeshDef& m, float x0, float z0, float x1, float z1, int nx, int nz,
                const std::function<float(float, float)>& height, float tile);
// A tube along a polyline of centres with the given radius and sides, open at both ends; faces point
// inward when `inward` is set (a tunnel) and outward otherwise (a pipe).
void addTube(MeshDef& m, const std::vector<Vec3>& path, float radius, int sides, float uRepeat, float tile, bool inward,
             const std::function<float(int, int)>& radiusScale = nullptr);

// Rotates the vertices from index `first` on about the vertical axis through `pivot`.
void rotateY(MeshDef& m, size_t first, float angle, Vec3 pivot);
// Rotates the vertices from index `first` on about the x axis through `pivot`.
void rotateX(MeshDef& m, size_t first, float angle, Vec3 pivot);
// Moves the vertices from index `first` on.
void translate(MeshDef& m, size_t first, Vec3 offset);

// Centre of the bounding box of a mesh's vertices.
Vec3 boundsCentre(const MeshDef& m);

}  // namespace ag

namespace ag {

// A flat panel from `origin` spanning uAxis and vAxis, split into nu x nv quads so that vertex
// lighting has points to work with; mapping tiles every `tile` units along each axis.
void addPanel(MeshDef& m, Vec3 origin, Vec3 uAxis, Vec3 vAxis, int nu, int nv, float tile);

// Maps the vertices from index `first` on from a local frame (x, y, z) into origin + x * ax +
// y * ay + z * az.
void placeLocal(MeshDef& m, size_t first, Vec3 origin, Vec3 ax, Vec3 ay, Vec3 az);

}  // namespace ag
