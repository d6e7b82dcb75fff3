// Particle systems on a fake tick source: emission at most once per call and only when a whole
// 1 / emitRate has passed, the capacity - 1 limit, expiry of particles whose time has come in birth
// order, the random angles, and the emitters a model gets from its '*' meshes.
#include <gtest/gtest.h>

#include <vector>

#include "core/clock.h"
#include "fixtures.h"
#include "platform/platform.h"
#include "render/particles.h"
#include "tests/support/fake_ticks.h"

namespace {

// The scene clock's generator, replayed: state = state * 214013 + 2531011, bits 16 to 30.
struct Lcg {
    uint32_t state = 1;
    int below(int n)
    {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7FFFu) % n;
    }
};

class ParticleClock : public ::testing::Test {
protected:
    void SetUp() override
    {
        fakeTicks = 0;
        handDownServices(fakeTickServices());
        resetRandom();
    }
    void TearDown() override { handDownServices(Services{}); }

    static void at(uint32_t ticks) { fakeTicks = ticks; }
};

TEST_F(ParticleClock, PictureComesFromTheLoaderIntoTheSystemsOwnSlot)
{
    static std::vector<std::string> asked;
    asked.clear();
    auto loader = [](GLuint* textures, const char* name, int slot) {
        asked.push_back(name);
        textures[slot] = 77;
    };
    ParticleSystem system(10, "text/partr.jpg", 1.0f, 10, 1.0f, 1.0f, loader);
    EXPECT_EQ(system.texture, 77u);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], "text/partr.jpg");
}

TEST_F(ParticleClock, FirstUpdateOnlyRecordsTheTime)
{
    ParticleSystem system(500, nullptr, 3.0f, 60, 30.0f, 200.0f);
    at(5000);
    system.update();
    EXPECT_EQ(system.count, 0);
    EXPECT_EQ(system.lastEmitTime, 5.0f);
}

TEST_F(ParticleClock, AtMostOneParticlePerCallHoweverLate)
{
    ParticleSystem system(500, nullptr, 100.0f, 60, 30.0f, 200.0f);
    system.emitterPosition = Vec3d{1, 2, 3};
    at(1000);
    system.update();
    at(11000);  // ten seconds late: 600 particles were due
    system.update();
    ASSERT_EQ(system.count, 1);
    EXPECT_EQ(system.lastEmitTime, uptimeSeconds());
    const Particle& p = system.particles[0];
    EXPECT_EQ(p.birthTime, uptimeSeconds());
    EXPECT_EQ(p.deathTime, uptimeSeconds() + 100.0f);
    EXPECT_EQ(p.position.x, 1.0);
    EXPECT_EQ(p.position.z, 3.0);
    // The debt is not carried: the same instant emits nothing more.
    system.update();
    EXPECT_EQ(system.count, 1);
}

TEST_F(ParticleClock, EmitsWhenAWholeIntervalHasPassedSinceTheLastEmission)
{
    ParticleSystem system(500, nullptr, 100.0f, 50, 1.0f, 1.0f);  // one every 20 ms
    at(1000);
    system.update();
    at(1019);
    system.update();
    EXPECT_EQ(system.count, 0);
    at(1021);
    system.update();
    EXPECT_EQ(system.count, 1);
    // Measured from the frame that emitted, not accumulated: the next one is due at 1041.
    at(1040);
    system.update();
    EXPECT_EQ(system.count, 1);
    at(1042);
    system.update();
    EXPECT_EQ(system.count, 2);
}

TEST_F(ParticleClock, TheLastEntryIsNeverFilled)
{
    ParticleSystem system(500, nullptr, 1000.0f, 1000, 1.0f, 1.0f);
    uint32_t ticks = 1000;
    at(ticks);
    system.update();
    for (int i = 0; i < 600; ++i) {
        ticks += 5;
        at(ticks);
        system.update();
    }
    EXPECT_EQ(system.count, 499);
    // A full system keeps the time of its last emission.
    const float last = system.particles[498].birthTime;
    EXPECT_EQ(system.lastEmitTime, last);
}

TEST_F(ParticleClock, AParticleDyingExactlyNowIsRemoved)
{
    ParticleSystem system(10, nullptr, 1.0f, 1, 1.0f, 1.0f);
    at(2000);
    const float now = uptimeSeconds();
    system.lastEmitTime = now;  // nothing due
    system.count = 2;
    system.particles[0].deathTime = now;
    system.particles[1].deathTime = now + 0.001f;
    system.update();
    ASSERT_EQ(system.count, 1);
    EXPECT_EQ(system.particles[0].deathTime, now + 0.001f);
}

TEST_F(ParticleClock, ExpiryKeepsTheOrderOfBirth)
{
    ParticleSystem system(10, nullptr, 1.0f, 1, 1.0f, 1.0f);
    at(2000);
    const float now = uptimeSeconds();
    system.lastEmitTime = now;
    const float deaths[7] = {3.0f, 1.0f, 1.5f, 4.0f, 0.5f, 5.0f, 2.0f};
    system.count = 7;
    for (int i = 0; i < 7; ++i) {
        system.particles[i].deathTime = deaths[i];
        system.particles[i].birthTime = static_cast<float>(i);
    }
    system.update();
    ASSERT_EQ(system.count, 3);
    EXPECT_EQ(system.particles[0].birthTime, 0.0f);
    EXPECT_EQ(system.particles[1].birthTime, 3.0f);
    EXPECT_EQ(system.particles[2].birthTime, 5.0f);

    system.removeParticle(1);
    ASSERT_EQ(system.count, 2);
    EXPECT_EQ(system.particles[1].birthTime, 5.0f);
    // Outside the live range nothing happens.
    system.removeParticle(2);
    system.removeParticle(-1);
    EXPECT_EQ(system.count, 2);
}

TEST_F(ParticleClock, AnglesAreThreeDrawsInTheOrderXYZ)
{
    ParticleSystem system(10, nullptr, 10.0f, 10, 1.0f, 1.0f);
    at(1000);
    system.update();
    at(2000);
    system.update();
    ASSERT_EQ(system.count, 1);
    Lcg lcg;
    EXPECT_EQ(system.particles[0].angles[0], lcg.below(360));
    EXPECT_EQ(system.particles[0].angles[1], lcg.below(360));
    EXPECT_EQ(system.particles[0].angles[2], lcg.below(360));
}

TEST_F(ParticleClock, ASystemWithoutRoomNeverEmits)
{
    ParticleSystem one(1, nullptr, 10.0f, 10, 1.0f, 1.0f);
    ParticleSystem none(0, nullptr, 10.0f, 10, 1.0f, 1.0f);
    for (uint32_t t = 1000; t < 3000; t += 100) {
        at(t);
        one.update();
        none.update();
    }
    EXPECT_EQ(one.count, 0);
    EXPECT_EQ(none.count, 0);
}

// ---- Emitters attached to a model ------------------------------------------------------------

std::vector<std::string> pictures;
void recordPicture(GLuint* textures, const char* name, int slot)
{
    pictures.push_back(name);
    textures[slot] = static_cast<GLuint>(pictures.size());
}

class Emitters : public ::testing::Test {
protected:
    void SetUp() override
    {
        pictures.clear();
        model.materialLoader = recordPicture;
        std::snprintf(model.materials[0].name, sizeof(model.materials[0].name), "text/spark.jpg");
        std::snprintf(model.materials[1].name, sizeof(model.materials[1].name), "text/smoke.jpg");
        model.materials[0].texture = 11;
        model.materials[1].texture = 12;
        model.materialCount = 2;
    }

    SceneObject* mesh(const char* name, int32_t material)
    {
        SceneObject* object = rfix::appendObject(model, name, ObjectKind::Mesh);
        object->material = material;
        return object;
    }

    Model model;
};

TEST_F(Emitters, EveryStarMeshGetsASystemWithItsModeAndMaterialPicture)
{
    mesh("ground", 0);
    SceneObject* e0 = mesh("*0fire", 0);
    mesh("x*notEmitter", 0);
    SceneObject* e1 = mesh("*1smoke", 1);
    SceneObject* e2 = mesh("*2", 0);
    SceneObject* e3 = mesh("*3dust", 1);
    SceneObject* e9 = mesh("*x", -1);
    rfix::appendObject(model, "*light", ObjectKind::Light);
    model.attachEmitters(1000, 2.0f, 20, 5.0f, 50.0f);

    ASSERT_EQ(model.emitterCount, 5);
    SceneObject* expected[5] = {e0, e1, e2, e3, e9};
    const int modes[5] = {0, 1, 2, 3, 0};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(model.emitters[i], expected[i]);
        ASSERT_NE(model.particleSystems[i], nullptr);
        EXPECT_EQ(model.particleSystems[i]->mode, modes[i]);
        EXPECT_EQ(model.particleSystems[i]->capacity, 1000);
        EXPECT_EQ(model.particleSystems[i]->lifetime, 2.0f);
        EXPECT_EQ(model.particleSystems[i]->emitRate, 20);
        EXPECT_EQ(model.particleSystems[i]->size, 5.0f);
        EXPECT_EQ(model.particleSystems[i]->rise, 50.0f);
    }
    // Each system shows its material's picture, the model's own texture, not a second copy of it;
    // the one without a material has none.
    const GLuint textures[5] = {11, 12, 11, 12, 0};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(model.particleSystems[i]->texture, textures[i]) << i;
    EXPECT_TRUE(pictures.empty());
    EXPECT_EQ(model.cursor, &model);

    // A second call replaces the systems (the sanitizer build checks that none leaks).
    model.attachEmitters(10, 1.0f, 1, 1.0f, 1.0f);
    EXPECT_EQ(model.emitterCount, 5);
    EXPECT_EQ(model.particleSystems[0]->capacity, 10);
}

TEST_F(Emitters, BeyondAHundredEmittersTheRestGetNone)
{
    for (int i = 0; i < 103; ++i)
        mesh(("*" + std::to_string(i % 4) + "e" + std::to_string(i)).c_str(), 0);
    model.materialLoader = nullptr;
    testing::internal::CaptureStderr();
    model.attachEmitters(10, 1.0f, 1, 1.0f, 1.0f);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(model.emitterCount, 100);
    EXPECT_NE(err.find("3 of them"), std::string::npos) << err;
    EXPECT_NE(err.find("*0e100"), std::string::npos) << err;
}

}  // namespace
