// velmora-3dsinfo as a user runs it: its JSON line for a small file, its exit status when a file
// does not load, and names that need escaping.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "fixtures.h"

using namespace fixtures;

namespace {

struct ToolRun {
    std::string out;
    int status = -1;
};

ToolRun runInfo(const std::string& arguments)
{
    ToolRun run;
    std::string command = std::string(VELMORA_3DSINFO) + " " + arguments + " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return run;
    char buffer[4096];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0)
        run.out.append(buffer, got);
    int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

TEST(ModelInfoTool, JsonLinePerFileAndExitStatus)
{
    tds::Scene scene;
    scene.objects.push_back(boxMesh("box", 0, 0, 0, 1, 1, 1, "pict/a.jpg"));
    scene.objects.push_back(spotLight("lamp", {0, 5, 0}, 10.0f));
    tds::Camera camera;
    camera.name = "cam";
    scene.objects.push_back(camera);
    // Valid UTF-8 ("\xC3\xBC", u with diaeresis) is written as it is; a byte that is not part of
    // valid UTF-8 (the lone \xE9) is escaped as itself.
    scene.objects.push_back(tds::EmptyObject{"q\"\\\x01\xE9\xC3\xBC", {}});
    tds::Node eye;
    eye.id = tds::CHUNK_CAMERAINFOBLOCK;
    eye.name = "cam";
    eye.hasPosition = true;
    for (uint32_t f : {0u, 10u, 20u, 30u})
        eye.position.keys.push_back(tds::positionKey(f, up(0, 0, 0)));
    scene.nodes = {eye};
    std::string path = writeTempFile("info.3ds", tds::writeScene(scene));

    ToolRun run = runInfo("--json " + path);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
              "{\"file\": \"" + path +
                  "\", \"loaded\": true, \"objects\": ["
                  "{\"name\": \"box\", \"kind\": \"mesh\", \"vertices\": 8, \"faces\": 12, \"mapping\": 8, "
                  "\"material\": \"pict/a.jpg\", \"positionKeys\": 0, \"rotationKeys\": 0}, "
                  "{\"name\": \"lamp\", \"kind\": \"light\", \"vertices\": 0, \"faces\": 0, \"mapping\": 0, "
                  "\"material\": null, \"positionKeys\": 0, \"rotationKeys\": 0}, "
                  "{\"name\": \"cam\", \"kind\": \"camera\", \"vertices\": 0, \"faces\": 0, \"mapping\": 0, "
                  "\"material\": null, \"positionKeys\": 4, \"rotationKeys\": 0}, "
                  "{\"name\": \"q\\\"\\\\\\u0001\\u00e9\xC3\xBC\", \"kind\": \"none\", \"vertices\": 0, \"faces\": 0, "
                  "\"mapping\": 0, \"material\": null, \"positionKeys\": 0, \"rotationKeys\": 0}], "
                  "\"lights\": 1, \"cameras\": 1, \"materials\": 1, \"startFrame\": 10, \"endFrame\": 10}\n");

    // One good and one missing file: two lines, exit status 1.
    std::string missing = path + ".missing";
    run = runInfo("--json " + path + " " + missing);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("\n{\"file\": \"" + missing +
                           "\", \"loaded\": false, \"objects\": [], "
                           "\"lights\": 0, \"cameras\": 0, \"materials\": 0, \"startFrame\": 0, "
                           "\"endFrame\": 0}\n"),
              std::string::npos)
        << run.out;

    // The text form names the kinds and counts too.
    run = runInfo(path);
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("4 objects, 1 lights, 1 cameras, 1 materials, frames 10..10"), std::string::npos) << run.out;
    EXPECT_EQ(runInfo("").status, 2);
}

}  // namespace
