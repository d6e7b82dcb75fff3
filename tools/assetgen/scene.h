// The generator's description of one 3D scene in the program's Y-up frame: meshes with their
// material picture and key tracks, lights, cameras with eye and target tracks. toFileScene turns it
// into the 3DS writer's document (Z-up points, keyframer nodes for every object).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "tools/assetgen/geom.h"
#include "tools/assetgen/tds_writer.h"

namespace ag {

// One track key in the Y-up frame. Position keys use `value` as the point; rotation keys use it as
// the axis (unit length) with `angle` in radians.
struct TrackKey {
    uint32_t frame = 0;
    Vec3 value;
    float angle = 0.0f;
};

struct MeshDef {
    std::string name;
    std::vector<Vec3> vertices;
    std::vector<tds::Face> faces;
    std::vector<tds::TexCoord> mapping;  // one per vertex
    std::string material;                // path of the texture picture
    std::vector<TrackKey> positionKeys;
    std::vector<TrackKey> rotationKeys;
};

struct LightDef {
    std::string name;
    Vec3 position;
    Vec3 colour{1.0f, 1.0f, 1.0f};
    Vec3 target;  // the spot target; its distance from position is the light's range
    float hotspot = 40.0f;
    float falloff = 60.0f;
};

struct CameraDef {
    std::string name;
    std::vector<TrackKey> eye;
    std::vector<TrackKey> target;
    float lens = 35.0f;
};

struct SceneDef {
    std::string path;             // relative to the data folder, "maps/wood.3ds"
    std::vector<MeshDef> meshes;  // object list order: meshes, then lights, then cameras
    std::vector<LightDef> lights;
    std::vector<CameraDef> cameras;
    uint32_t frameCount = 100;
};

// Point light reaching `range` units: the spot target is placed straight below it.
LightDef makeLight(const std::string& name, Vec3 position, Vec3 colour, float range);

// A single position key: the mesh's rest position (used as its pivot and emitter position).
void setRestPosition(MeshDef& mesh, Vec3 position);

// The 3DS document of a scene: points in the file's Z-up frame, materials named by their pictures,
// one keyframer node per object (meshes and spot lights: object nodes; cameras: camera and target).
tds::Scene toFileScene(const SceneDef& scene);

// Why the scene would break one of the program's table limits or frame rules; empty when it is fine.
std::vector<std::string> checkSceneLimits(const SceneDef& scene);

// Number of triangles of every mesh together.
size_t totalFaces(const SceneDef& scene);

// Every distinct material name, in first-use order.
std::vector<std::string> materialNames(const SceneDef& scene);

}  // namespace ag
