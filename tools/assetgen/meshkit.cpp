// Primitive shapes for the scene builders. Every shape gets its own vertices (no sharing between
// shapes) so that mapping coordinates can differ per face; faces wind counter-clockwise seen from
// outside. Depends on scene.h and geom.h only.
#include "tools/assetgen/meshkit.h"

#include <cmath>

namespace ag {

namespace {

uint16_t addVertex(MeshDef& m, Vec3 p, float u, float v)
{
    m.vertices.push_back(p);
    m.mapping.push_back(tds::TexCoord{u, v});
    return static_cast<uint16_t>(m.vertices.size() - 1);
}

void addFace(MeshDef& m, uint16_t a, uint16_t b, uint16_t c)
{
    tds::Face f;
    f.a = a;
    f.b = b;
    f.c = c;
    m.faces.push_back(f);
}

}  // namespace

void addTriangle(MeshDef& m, Vec3 a, Vec3 b, Vec3 c, tds::TexCoord ta, tds::TexCoord tb, tds::TexCoord tc)
{
    uint16_t ia = addVertex(m, a, ta.u, ta.v);
    uint16_t ib = addVertex(m, b, tb.u, tb.v);
    uint16_t ic = addVertex(m, c, tc.u, tc.v);
    addFace(m, ia, ib, ic);
}

void addQuad(MeshDef& m, Vec3 p0, Vec3 p1, Vec3 p2, Vec3 p3, float uRepeat, float vRepeat)
{
    uint16_t a = addVertex(m, p0, 0.0f, vRepeat);
    uint16_t b = addVertex(m, p1, uRepeat, vRepeat);
    uint16_t c = addVertex(m, p2, uRepeat, 0.0f);
    uint16_t d = addVertex(m, p3, 0.0f, 0.0f);
    addFace(m, a, b, c);
    addFace(m, a, c, d);
}

void addBox(MeshDef& m, Vec3 c, Vec3 s, float tile, bool withBottom)
{
    Vec3 h = s * 0.5f;
    Vec3 p[8] = {
        {c.x - h.x, c.y - h.y, c.z - h.z}, {c.x + h.x, c.y - h.y, c.z - h.z}, {c.x + h.x, c.y + h.y, c.z - h.z},
        {c.x - h.x, c.y + h.y, c.z - h.z}, {c.x - h.x, c.y - h.y, c.z + h.z}, {c.x + h.x, c.y - h.y, c.z + h.z},
        {c.x + h.x, c.y + h.y, c.z + h.z}, {c.x - h.x, c.y + h.y, c.z + h.z},
    };
    float ux = s.x / tile, uy = s.y / tile, uz = s.z / tile;
    addQuad(m, p[4], p[5], p[6], p[7], ux, uy);  // +z
    addQuad(m, p[1], p[0], p[3], p[2], ux, uy);  // -z
    addQuad(m, p[5], p[1], p[2], p[6], uz, uy);  // +x
    addQuad(m, p[0], p[4], p[7], p[3], uz, uy);  // -x
    addQuad(m, p[7], p[6], p[2], p[3], ux, uz);  // top
    if (withBottom)
        addQuad(m, p[0], p[1], p[5], p[4], ux, uz);
}

void addFrustum(MeshDef& m, Vec3 base, float rBottom, float rTop, float h, int sides, float uRepeat, float tile,
                bool capTop, bool capBottom)
{
    // Shared rings keep the vertex count (and so the load-time lighting work) low.
    size_t first = m.vertices.size();
    float vTop = h / tile;
    for (int ring = 0; ring < 2; ++ring) {
        float r = ring == 0 ? rBottom : rTop;
        float y = ring == 0 ? base.y : base.y + h;
        if (ring == 1 && rTop <= 0.0f) {
            // A cone: one apex vertex serves every side.
            addVertex(m, Vec3{base.x, y, base.z}, 0.5f * uRepeat, vTop);
            break;
        }
        for (int i = 0; i <= sides; ++i) {
            float a = 2.0f * kPi * static_cast<float>(i) / static_cast<float>(sides);
            addVertex(m, Vec3{base.x + r * std::cos(a), y, base.z + r * std::sin(a)},
                      uRepeat * static_cast<float>(i) / static_cast<float>(sides), ring == 0 ? 0.0f : vTop);
        }
    }
    int row = sides + 1;
    for (int i = 0; i < sides; ++i) {
        uint16_t b0 = static_cast<uint16_t>(first + i), b1 = static_cast<uint16_t>(first + i + 1);
        uint16_t t0 = static_cast<uint16_t>(first + row + i), t1 = static_cast<uint16_t>(first + row + i + 1);
        if (rTop <= 0.0f) {
            addFace(m, b1, b0, static_cast<uint16_t>(first + row));
            continue;
        }
        addFace(m, b1, b0, t0);
        addFace(m, b1, t0, t1);
    }
    if (capTop && rTop > 0.0f) {
        uint16_t centre = addVertex(m, Vec3{base.x, base.y + h, base.z}, 0.5f, vTop);
        for (int i = 0; i < sides; ++i) {
            addFace(m, centre, static_cast<uint16_t>(first + row + i + 1), static_cast<uint16_t>(first + row + i));
        }
    }
    if (capBottom && rBottom > 0.0f) {
        uint16_t centre = addVertex(m, base, 0.5f, 0.0f);
        for (int i = 0; i < sides; ++i) {
            addFace(m, centre, static_cast<uint16_t>(first + i), static_cast<uint16_t>(first + i + 1));
        }
    }
}

void addEllipsoid(MeshDef& m, Vec3 c, Vec3 r, int rings, int segments, float uRepeat, float vRepeat)
{
    size_t first = m.vertices.size();
    for (int i = 0; i <= rings; ++i) {
        float phi = kPi * static_cast<float>(i) / static_cast<float>(rings);
        for (int j = 0; j <= segments; ++j) {
            float theta = 2.0f * kPi * static_cast<float>(j) / static_cast<float>(segments);
            Vec3 p{c.x + r.x * std::sin(phi) * std::cos(theta), c.y + r.y * std::cos(phi),
                   c.z + r.z * std::sin(phi) * std::sin(theta)};
            addVertex(m, p, uRepeat * static_cast<float>(j) / static_cast<float>(segments),
                      vRepeat * static_cast<float>(i) / static_cast<float>(rings));
        }
    }
    int row = segments + 1;
    for (int i = 0; i < rings; ++i) {
        for (int j = 0; j < segments; ++j) {
            uint16_t a = static_cast<uint16_t>(first + i * row + j);
            uint16_t b = static_cast<uint16_t>(first + i * row + j + 1);
            uint16_t c2 = static_cast<uint16_t>(first + (i + 1) * row + j + 1);
            uint16_t d = static_cast<uint16_t>(first + (i + 1) * row + j);
            if (i != 0)
                addFace(m, a, c2, b);
            if (i != rings - 1)
                addFace(m, a, d, c2);
        }
    }
}

void addTerrain(MeshDef& m, float x0, float z0, float x1, float z1, int nx, int nz,
                const std::function<float(float, float)>& height, float tile)
{
    size_t first = m.vertices.size();
    for (int j = 0; j <= nz; ++j) {
        float z = z0 + (z1 - z0) * static_cast<float>(j) / static_cast<float>(nz);
        for (int i = 0; i <= nx; ++i) {
            float x = x0 + (x1 - x0) * static_cast<float>(i) / static_cast<float>(nx);
            addVertex(m, Vec3{x, height(x, z), z}, x / tile, z / tile);
        }
    }
    int row = nx + 1;
    for (int j = 0; j < nz; ++j) {
        for (int i = 0; i < nx; ++i) {
            uint16_t a = static_cast<uint16_t>(first + j * row + i);
            uint16_t b = static_cast<uint16_t>(first + j * row + i + 1);
            uint16_t c = static_cast<uint16_t>(first + (j + 1) * row + i + 1);
            uint16_t d = static_cast<uint16_t>(first + (j + 1) * row + i);
            addFace(m, a, d, c);
            addFace(m, a, c, b);
        }
    }
}

void addTube(MeshDef& m, const std::vector<Vec3>& path, float radius, int sides, float uRepeat, float tile, bool inward,
             const std::function<float(int, int)>& radiusScale)
{
    if (path.size() < 2)
        return;
    size_t first = m.vertices.size();
    float travelled = 0.0f;
    Vec3 up{0.0f, 1.0f, 0.0f};
    for (size_t i = 0; i < path.size(); ++i) {
        Vec3 dir = i + 1 < path.size() ? path[i + 1] - path[i] : path[i] - path[i - 1];
        if (i > 0 && i + 1 < path.size())
            dir = path[i + 1] - path[i - 1];
        dir = normalize(dir);
        Vec3 side = cross(dir, up);
        if (length(side) < 1e-3f)
            side = cross(dir, Vec3{1.0f, 0.0f, 0.0f});
        side = normalize(side);
        Vec3 lift = normalize(cross(side, dir));
        if (i > 0)
            travelled += length(path[i] - path[i - 1]);
        for (int s = 0; s <= sides; ++s) {
            float a = 2.0f * kPi * static_cast<float>(s) / static_cast<float>(sides);
            float r = radius * (radiusScale ? radiusScale(static_cast<int>(i), s % sides) : 1.0f);
            Vec3 p = path[i] + side * (std::cos(a) * r) + lift * (std::sin(a) * r);
            addVertex(m, p, uRepeat * static_cast<float>(s) / static_cast<float>(sides), travelled / tile);
        }
    }
    int row = sides + 1;
    for (size_t i = 0; i + 1 < path.size(); ++i) {
        for (int s = 0; s < sides; ++s) {
            uint16_t a = static_cast<uint16_t>(first + i * row + s);
            uint16_t b = static_cast<uint16_t>(first + i * row + s + 1);
            uint16_t c = static_cast<uint16_t>(first + (i + 1) * row + s + 1);
            uint16_t d = static_cast<uint16_t>(first + (i + 1) * row + s);
            if (inward) {
                addFace(m, a, b, c);
                addFace(m, a, c, d);
            } else {
                addFace(m, a, c, b);
                addFace(m, a, d, c);
            }
        }
    }
}

void rotateY(MeshDef& m, size_t first, float angle, Vec3 pivot)
{
    float c = std::cos(angle), s = std::sin(angle);
    for (size_t i = first; i < m.vertices.size(); ++i) {
        Vec3 d = m.vertices[i] - pivot;
        m.vertices[i] = pivot + Vec3{c * d.x + s * d.z, d.y, -s * d.x + c * d.z};
    }
}

void rotateX(MeshDef& m, size_t first, float angle, Vec3 pivot)
{
    float c = std::cos(angle), s = std::sin(angle);
    for (size_t i = first; i < m.vertices.size(); ++i) {
        Vec3 d = m.vertices[i] - pivot;
        m.vertices[i] = pivot + Vec3{d.x, c * d.y - s * d.z, s * d.y + c * d.z};
    }
}

void translate(MeshDef& m, size_t first, Vec3 offset)
{
    for (size_t i = first; i < m.vertices.size(); ++i)
        m.vertices[i] += offset;
}

Vec3 boundsCentre(const MeshDef& m)
{
    if (m.vertices.empty())
        return Vec3{};
    Vec3 lo = m.vertices[0], hi = m.vertices[0];
    for (const Vec3& v : m.vertices) {
        lo = Vec3{std::fmin(lo.x, v.x), std::fmin(lo.y, v.y), std::fmin(lo.z, v.z)};
        hi = Vec3{std::fmax(hi.x, v.x), std::fmax(hi.y, v.y), std::fmax(hi.z, v.z)};
    }
    return (lo + hi) * 0.5f;
}

}  // namespace ag

namespace ag {

void addPanel(MeshDef& m, Vec3 origin, Vec3 uAxis, Vec3 vAxis, int nu, int nv, float tile)
{
    size_t first = m.vertices.size();
    float lu = length(uAxis), lv = length(vAxis);
    for (int j = 0; j <= nv; ++j) {
        for (int i = 0; i <= nu; ++i) {
            float fu = static_cast<float>(i) / static_cast<float>(nu),
                  fv = static_cast<float>(j) / static_cast<float>(nv);
            m.vertices.push_back(origin + uAxis * fu + vAxis * fv);
            m.mapping.push_back(tds::TexCoord{fu * lu / tile, fv * lv / tile});
        }
    }
    int row = nu + 1;
    for (int j = 0; j < nv; ++j) {
        for (int i = 0; i < nu; ++i) {
            tds::Face f1, f2;
            uint16_t a = static_cast<uint16_t>(first + j * row + i), b = static_cast<uint16_t>(first + j * row + i + 1);
            uint16_t c = static_cast<uint16_t>(first + (j + 1) * row + i + 1),
                     d = static_cast<uint16_t>(first + (j + 1) * row + i);
            f1.a = a;
            f1.b = b;
            f1.c = c;
            f2.a = a;
            f2.b = c;
            f2.c = d;
            m.faces.push_back(f1);
            m.faces.push_back(f2);
        }
    }
}

void placeLocal(MeshDef& m, size_t first, Vec3 origin, Vec3 ax, Vec3 ay, Vec3 az)
{
    for (size_t i = first; i < m.vertices.size(); ++i) {
        Vec3 v = m.vertices[i];
        m.vertices[i] = origin + ax * v.x + ay * v.y + az * v.z;
    }
}

}  // namespace ag
