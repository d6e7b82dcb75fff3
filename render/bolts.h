// Electric arcs: Model::drawBolts (declared with the model) throws boltCount flickering additive
// line strips from each '#' mesh every frame. The random values of one arc are drawn by
// buildBoltArc, in a fixed order, so that the drawing and its tests share them.
#pragma once
#include <vector>

#include "model/model.h"

struct ArcPoint {
    Vec3d position;
    float colour[3] = {};  // brightness x boltColour x k / boltSegments: black at the object
};

struct BoltArc {
    float brightness = 0.0f;  // 0.00 .. 0.99
    float lineWidth = 0.0f;   // 1 .. boltJitter pixels
    std::vector<ArcPoint> points;
};

// True when the object can throw arcs: at least 2 vertices and boltJitter at least 1 (both are
// ranges of random draws). Otherwise it draws nothing and no random value is used.
bool canThrowArcs(const Model& model, const SceneObject& bolt);

// Makes one arc of the bolt object with the model's parameters, drawing randomBelow in this order:
// brightness, line width, the vertex the arc runs away from, then x, y, z of each point in turn.
// False, with the arc left empty and nothing drawn, when canThrowArcs is false.
bool buildBoltArc(const Model& model, const SceneObject& bolt, BoltArc& arc);
