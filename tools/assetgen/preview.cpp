// Software preview and budget figures for the generated scenes. Each scene is written as its file
// and read back by the program's own reader, which lights it with the program's load-time pass; the
// face grid and its view window are the program's too. The camera playback and the view transform
// follow the program's rules, so that the pictures and numbers show what the presentation will
// draw; the rasterizer itself is a plain z-buffered triangle filler.
#include "tools/assetgen/preview.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>

#include "core/switches.h"
#include "model/model.h"
#include "render/renderer.h"

#include "tools/assetgen/pictures.h"
#include "tools/assetgen/textures.h"
#include "tools/assetgen/tracks.h"

namespace ag {

namespace {

// ---- The scene as the program holds it once loaded ----

// The scene's file as the generator writes it, read back by the program's reader, which lights it
// (the load-time pass, shadows included); gridded scenes then get the program's face grid.
// meshObject[i] is the object of scene.meshes[i]; objectMesh maps the other way (-1: not a mesh).
struct LoadedScene {
    Model model;
    std::vector<const SceneObject*> meshObject;
    std::vector<int> objectMesh;
    bool loaded = false;
};

// Unlit (shadows off: a quick pass) where only the figures are wanted, not the colours.
void loadScene(const SceneDef& scene, bool withGrid, bool lit, LoadedScene* out)
{
    std::vector<uint8_t> bytes = tds::writeScene(toFileScene(scene));
    FILE* stream = fmemopen(bytes.data(), bytes.size(), "rb");
    if (!stream) {
        std::fprintf(stderr, "%s: no memory stream for the preview\n", scene.path.c_str());
        return;
    }
    setRenderDefaults();
    shadowsEnabled = lit;
    out->model.materialLoader = nullptr;
    const bool read = out->model.loadFromStream(stream, scene.path.c_str());
    std::fclose(stream);
    Model& model = out->model;
    if (read && withGrid)
        model.buildGrid();
    model.rewind();
    for (int i = 0; i < model.objectCount; ++i, model.advance()) {
        int mesh = -1;
        if (model.cursor->kind == ObjectKind::Mesh && out->meshObject.size() < scene.meshes.size()) {
            mesh = static_cast<int>(out->meshObject.size());
            out->meshObject.push_back(model.cursor);
        }
        out->objectMesh.push_back(mesh);
    }
    model.rewind();
    bool same = read && out->meshObject.size() == scene.meshes.size();
    for (size_t i = 0; same && i < scene.meshes.size(); ++i)
        same = out->meshObject[i]->vertexCount == scene.meshes[i].vertices.size();
    if (!same)
        std::fprintf(stderr, "%s: the program's reader does not give back the scene's meshes; previewed unlit\n",
                     scene.path.c_str());
    out->loaded = same;
}

// The colour the lighting pass gave a mesh vertex (white for a scene the reader did not give back).
Vec3 vertexColour(const LoadedScene& loaded, size_t mesh, size_t vertex)
{
    if (!loaded.loaded)
        return Vec3{1.0f, 1.0f, 1.0f};
    const Vec3f& c = loaded.meshObject[mesh]->vertexColours[vertex];
    return Vec3{c.x, c.y, c.z};
}

}  // namespace

ViewSetup viewSetupFor(const std::string& path)
{
    ViewSetup s;
    if (path == "maps/wood.3ds") {
        s.mode = ViewMode::Grid;
        s.viewRange = 2;
        s.particleDistance = 5000.0f;
        s.sceneSeconds = 44.0f;
    } else if (path == "maps/castel.3ds") {
        s.mode = ViewMode::Grid;
        s.viewRange = 1;
        s.particleDistance = 1000.0f;
        s.sceneSeconds = 34.5f;
    } else if (path == "maps/room.3ds") {
        s.particleLifetime = 1.0f;
        s.particleRate = 40.0f;
        s.particleSize = 15.0f;
        s.sceneSeconds = 17.0f;
    } else if (path == "maps/meta.3ds") {
        s.mode = ViewMode::Pulled;
        s.sceneSeconds = 17.0f;
    } else if (path == "maps/chose.3ds") {
        s.mode = ViewMode::Front;
        s.sceneSeconds = 18.5f;
    } else if (path == "maps/tunnel.3ds") {
        s.sceneSeconds = 16.0f;
    } else if (path == "maps/truc.3ds") {
        s.sceneSeconds = 25.0f;
    }
    return s;
}

namespace {

// ---- Camera and projection ----

struct View {
    Vec3 eye;
    float yaw = 0.0f, pitch = 0.0f;  // radians, as the program derives them
    float pullBack = 0.0f;
    bool front = false;
};

View viewFrom(Vec3 eye, Vec3 target)
{
    View v;
    v.eye = eye;
    Vec3 d = eye - target;
    float len = length(d);
    if (len > 0.0f)
        d = d / len;
    float h = std::sqrt(d.x * d.x + d.z * d.z);
    v.yaw = h > 0.0f ? std::acos(std::clamp(d.z / h, -1.0f, 1.0f)) : 0.0f;
    if (d.x >= 0.0f)
        v.yaw = -v.yaw;
    v.pitch = std::acos(std::clamp(h, -1.0f, 1.0f));
    if (d.y < 0.0f)
        v.pitch = -v.pitch;
    return v;
}

// World point to eye space: rotate about y by yaw, then about x by pitch (GL's matrix order).
Vec3 toEye(const View& v, Vec3 p)
{
    if (v.front)
        return Vec3{p.x, p.y, p.z - 500.0f};
    Vec3 d = p - v.eye;
    float cy = std::cos(v.yaw), sy = std::sin(v.yaw);
    Vec3 r{cy * d.x + sy * d.z, d.y, -sy * d.x + cy * d.z};
    float cx = std::cos(v.pitch), sx = std::sin(v.pitch);
    Vec3 out{r.x, cx * r.y - sx * r.z, sx * r.y + cx * r.z};
    out.z -= v.pullBack;
    return out;
}

struct Raster {
    int width, height;
    Image colour;
    std::vector<float> depth;
    uint64_t additivePixels = 0;
    float focal;

    Raster(int w, int h) : width(w), height(h), colour(w, h), depth(static_cast<size_t>(w) * h, 1e30f)
    {
        focal = 0.5f * static_cast<float>(h) / std::tan(22.5f * kPi / 180.0f);
    }
};

struct Corner {
    Vec3 eye;  // eye-space position
    Vec3 colour;
    float u, v;
};

Corner mix(const Corner& a, const Corner& b, float t)
{
    return Corner{lerp(a.eye, b.eye, t), lerp(a.colour, b.colour, t), lerp(a.u, b.u, t), lerp(a.v, b.v, t)};
}

void fillTriangle(Raster& r, const Corner c[3], const Image* tex, bool additive, bool fog)
{
    float sx[3], sy[3], iz[3];
    for (int i = 0; i < 3; ++i) {
        float z = -c[i].eye.z;
        iz[i] = 1.0f / z;
        sx[i] = 0.5f * r.width + r.focal * c[i].eye.x * iz[i];
        sy[i] = 0.5f * r.height - r.focal * c[i].eye.y * iz[i];
    }
    float area = (sx[1] - sx[0]) * (sy[2] - sy[0]) - (sx[2] - sx[0]) * (sy[1] - sy[0]);
    if (std::fabs(area) < 1e-6f)
        return;
    int x0 = std::max(0, static_cast<int>(std::floor(std::min({sx[0], sx[1], sx[2]}))));
    int x1 = std::min(r.width - 1, static_cast<int>(std::ceil(std::max({sx[0], sx[1], sx[2]}))));
    int y0 = std::max(0, static_cast<int>(std::floor(std::min({sy[0], sy[1], sy[2]}))));
    int y1 = std::min(r.height - 1, static_cast<int>(std::ceil(std::max({sy[0], sy[1], sy[2]}))));
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            float px = static_cast<float>(x) + 0.5f, py = static_cast<float>(y) + 0.5f;
            float w0 = ((sx[1] - px) * (sy[2] - py) - (sx[2] - px) * (sy[1] - py)) / area;
            float w1 = ((sx[2] - px) * (sy[0] - py) - (sx[0] - px) * (sy[2] - py)) / area;
            float w2 = 1.0f - w0 - w1;
            if (w0 < 0.0f || w1 < 0.0f || w2 < 0.0f)
                continue;
            float inv = w0 * iz[0] + w1 * iz[1] + w2 * iz[2];
            float z = 1.0f / inv;
            size_t at = static_cast<size_t>(y) * r.width + x;
            if (z >= r.depth[at])
                continue;
            float b0 = w0 * iz[0] * z, b1 = w1 * iz[1] * z, b2 = w2 * iz[2] * z;
            Vec3 col = c[0].colour * b0 + c[1].colour * b1 + c[2].colour * b2;
            if (tex) {
                float u = c[0].u * b0 + c[1].u * b1 + c[2].u * b2;
                float v = c[0].v * b0 + c[1].v * b1 + c[2].v * b2;
                col = col * tex->sampleWrap(u - std::floor(u), v - std::floor(v));
            }
            if (additive) {
                r.colour.pixels[at] += col;
                ++r.additivePixels;
            } else {
                if (fog) {
                    float f = 0.002f * z;
                    col = col * std::exp(-f * f);
                }
                r.colour.pixels[at] = col;
                r.depth[at] = z;
            }
        }
    }
}

void drawTriangle(Raster& r, Corner c[3], const Image* tex, bool additive, bool fog)
{
    const float nearZ = -0.5f;
    Corner in[4];
    int n = 0;
    // Clip against the near plane (keep z <= nearZ).
    for (int i = 0; i < 3; ++i) {
        const Corner& a = c[i];
        const Corner& b = c[(i + 1) % 3];
        bool aIn = a.eye.z <= nearZ, bIn = b.eye.z <= nearZ;
        if (aIn)
            in[n++] = a;
        if (aIn != bIn)
            in[n++] = mix(a, b, (nearZ - a.eye.z) / (b.eye.z - a.eye.z));
    }
    if (n < 3)
        return;
    Corner t1[3] = {in[0], in[1], in[2]};
    fillTriangle(r, t1, tex, additive, fog);
    if (n == 4) {
        Corner t2[3] = {in[0], in[2], in[3]};
        fillTriangle(r, t2, tex, additive, fog);
    }
}

class TextureCache {
public:
    const Image* get(const std::string& path)
    {
        auto it = images_.find(path);
        if (it != images_.end())
            return &it->second;
        Image img;
        bool found = paintTexture(path, img);
        if (!found) {
            for (const PictureSpec& p : pictureSpecs()) {
                if (p.path == path) {
                    img = p.paint();
                    found = true;
                }
            }
        }
        if (!found)
            return nullptr;
        return &(images_[path] = std::move(img));
    }

private:
    std::map<std::string, Image> images_;
};

bool isAdditiveName(const std::string& n)
{
    return n[0] == '%' || (n.size() > 1 && n[1] == '%');
}
bool isEmitterName(const std::string& n)
{
    return n[0] == '*';
}

// ---- The scenes that draw their model with routines of their own ----

struct Tri {
    Vec3 p[3];
    Vec3 colour[3];
    float u[3], v[3];
    std::string texture;
};

void addQuadTris(std::vector<Tri>& out, const Vec3 p[4], const Vec3 c[4], const float uv[4][2], const std::string& tex)
{
    Tri a{{p[0], p[1], p[2]}, {c[0], c[1], c[2]}, {uv[0][0], uv[1][0], uv[2][0]}, {uv[0][1], uv[1][1], uv[2][1]}, tex};
    Tri b{{p[0], p[2], p[3]}, {c[0], c[2], c[3]}, {uv[0][0], uv[2][0], uv[3][0]}, {uv[0][1], uv[2][1], uv[3][1]}, tex};
    out.push_back(a);
    out.push_back(b);
}

// Accumulated rotation (degrees) of a mesh at a frame, as the reader stores and the player plays it.
Vec3 meshRotationAt(const MeshDef& m, float frame)
{
    if (m.rotationKeys.size() < 4)
        return Vec3{};
    std::vector<Vec3> acc(m.rotationKeys.size());
    for (size_t i = 1; i < acc.size(); ++i) {
        acc[i] = acc[i - 1] + m.rotationKeys[i].value * (m.rotationKeys[i].angle * 180.0f / 3.1415f);
    }
    size_t k = 3;
    while (static_cast<float>(m.rotationKeys[k].frame) <= frame && k + 3 <= acc.size() - 1)
        k += 3;
    float t = (frame - static_cast<float>(m.rotationKeys[k - 3].frame)) /
              (static_cast<float>(m.rotationKeys[k].frame) - static_cast<float>(m.rotationKeys[k - 3].frame));
    float u = 1.0f - t;
    Vec3 r = acc[k - 3] * (u * u * u) + acc[k - 2] * (3.0f * t * u * u) + acc[k - 1] * (3.0f * t * t * u) +
             acc[k] * (t * t * t);
    return -r;
}

// p + Rx(Ry(Rz(v - b))), angles in degrees.
Vec3 placeObject(Vec3 v, Vec3 p, Vec3 b, Vec3 rot)
{
    Vec3 d = v - b;
    float rz = rot.z * kPi / 180.0f, ry = rot.y * kPi / 180.0f, rx = rot.x * kPi / 180.0f;
    d = Vec3{std::cos(rz) * d.x - std::sin(rz) * d.y, std::sin(rz) * d.x + std::cos(rz) * d.y, d.z};
    d = Vec3{std::cos(ry) * d.x + std::sin(ry) * d.z, d.y, -std::sin(ry) * d.x + std::cos(ry) * d.z};
    d = Vec3{d.x, std::cos(rx) * d.y - std::sin(rx) * d.z, std::sin(rx) * d.y + std::cos(rx) * d.z};
    return p + d;
}

// The additive geometry of the Title streaks, the First verse blobs or the Third verse shells at
// a frame (`seconds` is the scene time of that frame).
std::vector<Tri> specialGeometry(const SceneDef& scene, float frame, float seconds)
{
    std::vector<Tri> out;
    const MeshDef& first = scene.meshes.front();
    if (scene.path == "maps/truc.3ds") {
        Vec3 rot = meshRotationAt(first, frame);
        Vec3 base = first.positionKeys.empty() ? Vec3{} : first.positionKeys.front().value;
        Vec3 pos = meshPositionAt(first, frame);
        float a = 3.0f + 3.0f * std::cos(rot.x / 10.0f), b = 3.0f + 3.0f * std::cos(rot.y / 10.0f);
        const float uv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
        const Vec3 c[4] = {{0, 0, 0}, {0, 0, 0}, {0.2f, 0.2f, 0.2f}, {0.2f, 0.2f, 0.2f}};
        for (const MeshDef& m : scene.meshes) {
            for (size_t j = 0; j + 1 < m.faces.size(); j += 2) {
                const tds::Face& f = m.faces[j];
                Vec3 q[4] = {m.vertices[f.a] * a, m.vertices[f.b] * b, m.vertices[f.c],
                             m.vertices[f.c] + Vec3{100, 100, 100}};
                for (Vec3& v : q)
                    v = placeObject(v, pos, base, rot);
                addQuadTris(out, q, c, uv, "text/partr.jpg");
            }
        }
    } else if (scene.path == "maps/chose.3ds") {
        Vec3 attract[3];
        for (int k = 0; k < 3; ++k)
            attract[k] = meshPositionAt(scene.meshes[k], frame);
        bool lit = seconds > 10.0f;
        for (size_t mi = 0; mi < scene.meshes.size(); ++mi) {
            const MeshDef& m = scene.meshes[mi];
            Vec3 r = m.positionKeys.empty() ? Vec3{} : m.positionKeys.front().value;
            Vec3 p = meshPositionAt(m, frame);
            for (const tds::Face& f : m.faces) {
                Vec3 w[3] = {m.vertices[f.a], m.vertices[f.b], m.vertices[f.c]};
                for (size_t k = 0; k < 3; ++k) {
                    if (k == mi)
                        continue;
                    for (int c = 0; c < 3; ++c) {
                        Vec3 d = w[c] - r + p - attract[k];
                        float dd = dot(d, d);
                        float push = c == 0 ? 6000.0f / std::sqrt(dd) : 6000.0f / dd;
                        w[c] = w[c] + (w[c] - r) * push - r + p;
                    }
                }
                Tri t;
                Vec3 cols[3] = {
                    {1.0f, 0.6f, 0.2f}, {0.1f, 0.0f, 0.0f}, lit ? Vec3{1.0f, 0.6f, 0.2f} : Vec3{0.2f, 0.1f, 0.0f}};
                for (int c = 0; c < 3; ++c) {
                    t.p[c] = w[c];
                    t.colour[c] = cols[c];
                    t.u[c] = w[c].x / 50.0f + w[c].z / 700.0f;
                    t.v[c] = w[c].y / 50.0f + w[c].z / 700.0f;
                }
                t.texture = first.material;
                out.push_back(t);
            }
        }
    } else if (scene.path == "maps/meta.3ds") {
        Vec3 attract[2] = {meshPositionAt(scene.meshes[0], frame), meshPositionAt(scene.meshes[1], frame)};
        float sh = 5.0f * std::sin(seconds / 1.5f);
        for (size_t mi = 0; mi < scene.meshes.size(); ++mi) {
            const MeshDef& m = scene.meshes[mi];
            Vec3 r = m.positionKeys.empty() ? Vec3{} : m.positionKeys.front().value;
            Vec3 p = meshPositionAt(m, frame);
            for (const tds::Face& f : m.faces) {
                Vec3 w[3] = {m.vertices[f.a], m.vertices[f.b], m.vertices[f.c]};
                for (size_t k = 0; k < 2; ++k) {
                    if (k == mi)
                        continue;
                    for (int c = 0; c < 3; ++c) {
                        Vec3 d = w[c] - r + p - attract[k];
                        w[c] = w[c] + (w[c] - r) * (7500.0f / dot(d, d)) - r + p;
                    }
                }
                Vec3 q[4] = {w[0] * sh, w[1], w[2], w[2] * sh};
                const Vec3 c[4] = {{0, 0, 0}, {1, 1, 1}, {1, 1, 1}, {0, 0, 0}};
                float uv[4][2];
                for (int i = 0; i < 4; ++i) {
                    Vec3 e = i == 0 ? w[0] : (i == 1 ? w[1] : w[2]);
                    uv[i][0] = e.x / 50.0f + e.z / 50.0f;
                    uv[i][1] = e.y / 50.0f + e.z / 50.0f;
                }
                addQuadTris(out, q, c, uv, first.material);
            }
        }
    }
    return out;
}

struct FrameResult {
    size_t triangles = 0;
    double additiveScreens = 0.0;
    double particleScreens = 0.0;
};

FrameResult drawFrame(const SceneDef& scene, const ViewSetup& setup, const LoadedScene& loaded, float frame,
                      Raster* raster, TextureCache* cache)
{
    FrameResult out;
    View view;
    Vec3 eye, target;
    if (setup.mode == ViewMode::Front) {
        view.front = true;
    } else {
        const CameraDef& cam = scene.cameras[cameraIndexAt(scene, frame)];
        if (!cameraAt(cam, frame, eye, target))
            return out;
        view = viewFrom(eye, target);
        if (setup.mode == ViewMode::Pulled)
            view.pullBack = 200.0f;
    }

    // Which faces this frame sends, per mesh, in the order the renderer sends them.
    std::vector<std::pair<uint32_t, uint32_t>> opaque, additive;
    const Model& model = loaded.model;
    if (setup.mode == ViewMode::Grid && model.grid) {
        viewRange = setup.viewRange;
        CameraView camera;
        camera.eye = Vec3d{eye.x, eye.y, eye.z};
        camera.target = Vec3d{target.x, target.y, target.z};
        const ViewWindow window = computeViewWindow(model, camera);
        for (int32_t column = window.firstColumn; column <= window.lastColumn; ++column) {
            for (int32_t row = window.firstRow; row <= window.lastRow; ++row) {
                const GridCell& cell = model.grid[windowCell(model, column, row)];
                for (int32_t e = 0; e < cell.entryCount; ++e) {
                    const GridEntry& entry = cell.entries[e];
                    const int mesh = loaded.objectMesh[static_cast<size_t>(entry.object)];
                    if (mesh < 0 || isEmitterName(scene.meshes[static_cast<size_t>(mesh)].name))
                        continue;
                    const bool add = isAdditiveName(scene.meshes[static_cast<size_t>(mesh)].name);
                    for (int32_t f = 0; f < entry.faceCount; ++f)
                        (add ? additive : opaque)
                            .push_back({static_cast<uint32_t>(mesh), static_cast<uint32_t>(entry.faceIndices[f])});
                }
            }
        }
    } else {
        for (uint32_t mi = 0; mi < scene.meshes.size(); ++mi) {
            const std::string& n = scene.meshes[mi].name;
            bool add = isAdditiveName(n);
            if (isEmitterName(n) && !add)
                continue;
            for (uint32_t fi = 0; fi < scene.meshes[mi].faces.size(); ++fi)
                (add ? additive : opaque).push_back({mi, fi});
        }
    }
    bool special = scene.path == "maps/truc.3ds" || scene.path == "maps/chose.3ds" || scene.path == "maps/meta.3ds";
    if (special && scene.path != "maps/meta.3ds")
        opaque.clear();  // those scenes never draw the surfaces
    std::vector<Tri> extra;
    if (special) {
        float startFrame = 0.0f, endFrame = 0.0f;
        frameRange(scene, startFrame, endFrame);
        float bound = static_cast<float>(scene.meshes.front().positionKeys.size()) - 1.0f;
        float seconds = 0.0f;
        if (scene.path == "maps/chose.3ds")
            seconds = frame / bound * setup.sceneSeconds;
        else if (scene.path == "maps/meta.3ds")
            seconds = (frame - startFrame) / (bound - startFrame) * setup.sceneSeconds;
        else
            seconds = (frame - startFrame) / (endFrame - startFrame) * setup.sceneSeconds;
        extra = specialGeometry(scene, frame, seconds);
    }
    out.triangles = opaque.size() + additive.size() + extra.size();

    // Meshes that move are placed along their tracks (rotation left out of the preview).
    std::vector<Vec3> shift(scene.meshes.size());
    for (size_t i = 0; i < scene.meshes.size(); ++i) {
        const MeshDef& m = scene.meshes[i];
        if (m.positionKeys.size() > 1)
            shift[i] = meshPositionAt(m, frame) - m.positionKeys.front().value;
    }

    if (raster) {
        bool fog = setup.mode == ViewMode::Grid;
        uint64_t before = raster->additivePixels;
        for (int pass = 0; pass < 2; ++pass) {
            for (const auto& mf : pass == 0 ? opaque : additive) {
                const MeshDef& m = scene.meshes[mf.first];
                const tds::Face& f = m.faces[mf.second];
                const Image* tex = cache ? cache->get(m.material) : nullptr;
                Corner c[3];
                uint16_t idx[3] = {f.a, f.b, f.c};
                for (int k = 0; k < 3; ++k) {
                    c[k].eye = toEye(view, m.vertices[idx[k]] + shift[mf.first]);
                    c[k].colour = vertexColour(loaded, mf.first, idx[k]);
                    c[k].u = m.mapping[idx[k]].u;
                    c[k].v = m.mapping[idx[k]].v;
                }
                drawTriangle(*raster, c, tex, pass == 1, fog);
            }
        }
        for (const Tri& t : extra) {
            Corner c[3];
            for (int k = 0; k < 3; ++k)
                c[k] = Corner{toEye(view, t.p[k]), t.colour[k], t.u[k], t.v[k]};
            drawTriangle(*raster, c, cache ? cache->get(t.texture) : nullptr, true, false);
        }
        out.additiveScreens = static_cast<double>(raster->additivePixels - before) /
                              (static_cast<double>(raster->width) * raster->height);
    }

    // Emitter particles: about lifetime x rate of them around each emitter, drawn as glows.
    double screenArea = 0.0;
    float tanHalf = std::tan(22.5f * kPi / 180.0f);
    for (size_t i = 0; i < scene.meshes.size(); ++i) {
        const MeshDef& m = scene.meshes[i];
        if (!isEmitterName(m.name) || m.positionKeys.empty())
            continue;
        Vec3 p = meshPositionAt(m, frame);
        if (setup.mode == ViewMode::Grid &&
            (std::fabs(p.x - eye.x) >= setup.particleDistance || std::fabs(p.z - eye.z) >= setup.particleDistance)) {
            continue;
        }
        Vec3 e = toEye(view, p);
        float z = -e.z;
        if (z < 1.0f)
            continue;
        float halfH = z * tanHalf, halfW = halfH * 4.0f / 3.0f;
        if (std::fabs(e.x) > halfW + setup.particleSize || std::fabs(e.y) > halfH + setup.particleSize)
            continue;
        char mode = m.name.size() > 1 ? m.name[1] : '0';
        float areaFactor = (mode == '2' || mode == '3') ? (1.0f / 3.0f) : 1.0f;
        double count = setup.particleLifetime * setup.particleRate;
        double one =
            std::min(1.0, (4.0 * setup.particleSize * setup.particleSize * areaFactor) / (4.0 * halfH * halfW));
        screenArea += count * one;
        if (raster && cache) {
            const Image* tex = cache->get(m.material);
            float s = setup.particleSize * 2.5f;
            Corner q[4];
            Vec3 offs[4] = {{-s, -s, 0.0f}, {s, -s, 0.0f}, {s, s, 0.0f}, {-s, s, 0.0f}};
            float uv[4][2] = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};
            for (int k = 0; k < 4; ++k)
                q[k] = Corner{e + offs[k], Vec3{1.0f, 1.0f, 1.0f}, uv[k][0], uv[k][1]};
            Corner t1[3] = {q[0], q[1], q[2]}, t2[3] = {q[0], q[2], q[3]};
            drawTriangle(*raster, t1, tex, true, false);
            drawTriangle(*raster, t2, tex, true, false);
        }
    }
    out.particleScreens = screenArea;
    return out;
}

}  // namespace

namespace {

// The frame range a scene's animation plays.
void playRange(const SceneDef& scene, float& startFrame, float& endFrame)
{
    frameRange(scene, startFrame, endFrame);
    if (scene.path == "maps/meta.3ds" || scene.path == "maps/chose.3ds") {
        // These scenes bound the frames by the first object's key count.
        endFrame = static_cast<float>(scene.meshes.front().positionKeys.size() - 1);
        if (scene.path == "maps/chose.3ds")
            startFrame = 0.0f;
    }
}

}  // namespace

size_t maxTrianglesPerFrame(const SceneDef& scene, int samples)
{
    ViewSetup setup = viewSetupFor(scene.path);
    LoadedScene loaded;
    loadScene(scene, setup.mode == ViewMode::Grid, false, &loaded);
    float startFrame = 0.0f, endFrame = 0.0f;
    playRange(scene, startFrame, endFrame);
    size_t most = 0;
    for (int i = 0; i < samples; ++i) {
        float frame =
            startFrame + (endFrame - startFrame) * (static_cast<float>(i) + 0.5f) / static_cast<float>(samples);
        FrameResult r = drawFrame(scene, setup, loaded, frame, nullptr, nullptr);
        most = std::max(most, r.triangles);
    }
    return most;
}

SceneFigures analyseScene(const SceneDef& scene, const std::string& previewDir, int shots)
{
    SceneFigures fig;
    ViewSetup setup = viewSetupFor(scene.path);
    auto t0 = std::chrono::steady_clock::now();
    LoadedScene loaded;
    loadScene(scene, setup.mode == ViewMode::Grid, true, &loaded);
    fig.lightingSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    fig.shadowTests = static_cast<uint64_t>(loaded.model.exactShadowTests);
    fig.gridColumns = static_cast<size_t>(loaded.model.columns);
    fig.gridRows = static_cast<size_t>(loaded.model.rows);
    float startFrame = 0.0f, endFrame = 0.0f;
    playRange(scene, startFrame, endFrame);
    TextureCache cache;
    const int samples = 120;
    for (int i = 0; i < samples; ++i) {
        float t = (static_cast<float>(i) + 0.5f) / static_cast<float>(samples);
        float frame = startFrame + (endFrame - startFrame) * t;
        Raster raster(160, 120);
        FrameResult r = drawFrame(scene, setup, loaded, frame, &raster, nullptr);
        fig.maxTriangles = std::max(fig.maxTriangles, r.triangles);
        fig.maxAdditiveScreens = std::max(fig.maxAdditiveScreens, r.additiveScreens);
        fig.maxParticleScreens = std::max(fig.maxParticleScreens, r.particleScreens);
    }
    if (!previewDir.empty()) {
        std::string stem = scene.path.substr(scene.path.rfind('/') + 1);
        stem = stem.substr(0, stem.find('.'));
        for (int s = 0; s < shots; ++s) {
            float t = (static_cast<float>(s) + 0.5f) / static_cast<float>(shots);
            float frame = startFrame + (endFrame - startFrame) * t;
            Raster raster(640, 480);
            drawFrame(scene, setup, loaded, frame, &raster, &cache);
            char name[64];
            std::snprintf(name, sizeof name, "/%s_%d.png", stem.c_str(), s);
            writePng(raster.colour, previewDir + name);
        }
    }
    return fig;
}

}  // namespace ag
