// Looking at a generated scene without the program's window: the scene as the program's reader,
// lighting pass and face grid leave it, a software render (textured, vertex-lit, fogged) from the
// scene's cameras, and the per-frame figures that the budget rules are about.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "tools/assetgen/image.h"
#include "tools/assetgen/scene.h"

namespace ag {

// How the program shows a scene.
enum class ViewMode {
    Grid,    // model renderer: grid window around the camera, fog, additive '%' pass
    Whole,   // every mesh from the camera, no fog
    Pulled,  // every mesh from the camera pulled back 200 units (Third verse)
    Front,   // no camera: the model 500 units in front of the eye (First verse, closing)
};

struct ViewSetup {
    ViewMode mode = ViewMode::Whole;
    int viewRange = 2;                 // Grid only
    float particleDistance = 5000.0f;  // Grid only: emitters farther than this are not drawn
    float particleLifetime = 2.0f;
    float particleRate = 20.0f;
    float particleSize = 5.0f;
    float sceneSeconds = 10.0f;  // how long the scene plays
};

// The view a scene is played with, from its path.
ViewSetup viewSetupFor(const std::string& path);

struct SceneFigures {
    uint64_t shadowTests = 0;         // exact shadow tests of the program's lighting pass
    double lightingSeconds = 0.0;     // time this machine took for that pass
    size_t maxTriangles = 0;          // most triangles sent in one sampled frame
    double maxAdditiveScreens = 0.0;  // most additive mesh fill in one frame, in screens
    double maxParticleScreens = 0.0;  // most emitter particle fill in one frame (estimate), in screens
    size_t gridColumns = 0, gridRows = 0;
};

// The most triangles the program sends in one frame, over `samples` frames spread through the
// scene's play time (grid window, passes and the scenes' own drawing as the program does them).
size_t maxTrianglesPerFrame(const SceneDef& scene, int samples);

// Samples the scene's play time, measuring what each frame would draw; writes `shots` PNG
// previews into previewDir (none when previewDir is empty).
SceneFigures analyseScene(const SceneDef& scene, const std::string& previewDir, int shots);

}  // namespace ag
