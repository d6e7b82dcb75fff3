// Writes the crafted seed files of the 3DS fuzz run into a folder: a small scene that reaches every
// chunk the reader understands, and damaged variants of it (truncations, bad lengths, huge counts,
// over-long names, full tables).
#include <cstdio>
#include <string>
#include <vector>

#include "tools/assetgen/tds_writer.h"

namespace {

tds::Mesh box(const std::string& name, float x, const std::string& material)
{
    tds::Mesh mesh;
    mesh.name = name;
    for (int i = 0; i < 8; ++i)
        mesh.vertices.push_back({x + float(i & 1) * 10.0f, float(i >> 1 & 1) * 10.0f, float(i >> 2) * 10.0f});
    const uint16_t f[12][3] = {{0, 1, 3}, {0, 3, 2}, {4, 6, 7}, {4, 7, 5}, {0, 4, 5}, {0, 5, 1},
                               {2, 3, 7}, {2, 7, 6}, {0, 2, 6}, {0, 6, 4}, {1, 5, 7}, {1, 7, 3}};
    for (const auto& t : f)
        mesh.faces.push_back(tds::Face{t[0], t[1], t[2]});
    mesh.mapping.resize(8);
    mesh.material = material;
    return mesh;
}

tds::Scene scene()
{
    tds::Scene s;
    s.objects.push_back(box("ground", -300.0f, "pict/ground.jpg"));
    s.objects.push_back(box("%glass", 0.0f, "pict/glass.jpg"));
    s.objects.push_back(box("*3spark", 20.0f, "text/part.jpg"));
    s.objects.push_back(box("#coil", 40.0f, "pict/ground.jpg"));
    s.objects.push_back(box("^sky", 500.0f, "pict/sky.jpg"));
    tds::Light lamp;
    lamp.name = "lamp";
    lamp.position = {0, 0, 50};
    lamp.isSpot = true;
    lamp.target = {100, 0, 0};
    s.objects.push_back(lamp);
    tds::Light omni;
    omni.name = "omni";
    omni.hasColour = false;
    s.objects.push_back(omni);
    tds::Camera camera;
    camera.name = "cam";
    camera.position = {0, -200, 20};
    s.objects.push_back(camera);

    tds::Node eye;
    eye.id = tds::CHUNK_CAMERAINFOBLOCK;
    eye.name = "cam";
    eye.hasPosition = true;
    tds::Node target = eye;
    target.id = tds::CHUNK_CAMERATARGETINFOBLOCK;
    tds::Node glass;
    glass.name = "%glass";
    glass.hasPivot = true;
    glass.pivot = {1, 2, 3};
    glass.hasPosition = true;
    glass.hasRotation = true;
    for (uint32_t k = 0; k < 7; ++k) {
        eye.position.keys.push_back(tds::positionKey(k * 10, {float(k), -200, 20}));
        target.position.keys.push_back(tds::positionKey(k * 10, {0, 0, float(k)}));
        glass.position.keys.push_back(tds::positionKey(k * 10, {0, 0, float(k)}));
        tds::Key r = tds::rotationKey(k * 10, 0.5f, {0, 0, 1});
        r.flags = static_cast<uint16_t>(k * 5 & 0x1F);
        glass.rotation.keys.push_back(r);
    }
    tds::Node light;
    light.id = tds::CHUNK_SPOTLIGHTINFOBLOCK;
    light.name = "lamp";
    light.hasPosition = true;
    light.position.keys = {tds::positionKey(0, {0, 0, 50}), tds::positionKey(70000, {0, 0, 60})};
    s.nodes = {eye, target, glass, light};
    return s;
}

bool save(const std::string& folder, const std::string& name, const std::vector<uint8_t>& bytes)
{
    return tds::saveBytes(bytes, folder + "/" + name);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: velmora_fuzz_seeds FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    const std::vector<uint8_t> good = tds::writeScene(scene());
    bool ok = save(folder, "scene.3ds", good);
    for (size_t cut : {size_t(5), size_t(6), good.size() / 3, good.size() / 2, good.size() - 1})
        ok = save(folder, "truncated_" + std::to_string(cut) + ".3ds",
                  std::vector<uint8_t>(good.begin(), good.begin() + static_cast<long>(cut))) &&
             ok;

    std::vector<uint8_t> huge = good;
    huge[2] = huge[3] = huge[4] = huge[5] = 0xFF;
    ok = save(folder, "main_length_max.3ds", huge) && ok;

    tds::ChunkWriter zero;
    zero.begin(tds::CHUNK_MAIN);
    zero.begin(tds::CHUNK_3DEDITORCHUNK);
    zero.header(tds::CHUNK_OBJETBLOCK, 0);
    zero.end();
    zero.end();
    ok = save(folder, "child_length_zero.3ds", zero.bytes()) && ok;

    tds::ChunkWriter counts;
    counts.begin(tds::CHUNK_MAIN);
    counts.begin(tds::CHUNK_3DEDITORCHUNK);
    counts.begin(tds::CHUNK_OBJETBLOCK);
    counts.string(std::string(300, 'n'));
    counts.begin(tds::CHUNK_TRIANGULARMESH);
    for (uint16_t id : {tds::CHUNK_VERTICELIST, tds::CHUNK_FACELIST, tds::CHUNK_MAPPINGCOORDINATELIST}) {
        counts.begin(id);
        counts.u16(0xFFFF);
        counts.end();
    }
    counts.end();
    counts.end();
    counts.end();
    counts.begin(tds::CHUNK_KEYFRAMER);
    counts.begin(tds::CHUNK_OBJETINFOBLOCK);
    counts.begin(tds::CHUNK_OBJETNAME);
    counts.string(std::string(300, 'n'));
    counts.end();
    counts.begin(tds::CHUNK_POSITIONTRACK);
    for (int i = 0; i < 5; ++i)
        counts.u16(0);
    counts.u32(0xFFFFFFFF);
    counts.end();
    counts.end();
    counts.end();
    counts.end();
    ok = save(folder, "counts.3ds", counts.bytes()) && ok;

    tds::Scene full;
    for (int i = 0; i < 110; ++i) {
        tds::Light l;
        l.name = "l" + std::to_string(i);
        l.position = {float(i), 0, 0};
        full.objects.push_back(l);
    }
    for (int i = 0; i < 70; ++i)
        full.objects.push_back(box("#b" + std::to_string(i), float(i) * 30.0f, "m" + std::to_string(i)));
    ok = save(folder, "full_tables.3ds", tds::writeScene(full)) && ok;
    return ok ? 0 : 1;
}
