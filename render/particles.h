// Particle systems: pools of short-lived additive quads born at an emitter position, fading out
// over their life. Free-standing systems are driven by the scenes (update, drawRising); systems
// attached to a model's '*' meshes are created by Model::attachEmitters and driven by
// Model::drawEmitters (both declared with the model). Time is uptimeSeconds, not scene time.
#pragma once
#include <cstdint>
#include <type_traits>
#include <vector>

#include "core/clock.h"
#include "core/geometry.h"
#include "core/gl.h"
#include "model/model.h"

// Seconds of uptime: the platform tick count times 0.001 in single precision, so that the
// fixed-step clock and a test's tick source drive particles exactly as they drive the scene clock.

struct Particle {
    Vec3d position;          // the emitter position at birth; never changed afterwards
    double angles[3] = {};   // random whole degrees 0 .. 359 for x, y, z, drawn at birth
    float birthTime = 0.0f;  // uptime seconds at emission
    float deathTime = 0.0f;  // birthTime + lifetime
};
static_assert(std::is_trivially_destructible_v<Particle> && std::is_trivially_copyable_v<Particle>,
              "particle storage is made entry by entry and released whole");

class ParticleSystem {
public:
    // How the particle picture is loaded (loadTexture's signature); null loads none.
    using TextureLoader = void (*)(GLuint* textures, const char* name, int slot);

    Particle* particles = nullptr;  // owned storage for capacity entries; live ones are 0 .. count - 1 by birth
    float lifetime = 0.0f;          // seconds a particle lives
    float lastEmitTime = 0.0f;      // uptime of the last emission; 0: none yet
    int32_t emitRate = 0;           // particles per second
    int32_t capacity = 0;
    int32_t count = 0;
    int32_t mode = 0;   // 0 .. 3: placement and sizing in drawEmitters
    float size = 0.0f;  // half-width of a quad at birth
    float rise = 0.0f;  // height gained over a life where particles rise
    GLuint texture = 0;
    Vec3d eyePosition;  // drawRising's eye; the scenes set it to 0
    Vec3d eyeAngles;
    Vec3d emitterPosition;  // where the next particle is born

    // An empty system with room for capacity particles (at most capacity - 1 live), its picture
    // loaded from textureFile (nothing for a null name or loader; texture stays 0). When the
    // particle array cannot be allocated the capacity is 0 and the system never emits.
    ParticleSystem(int32_t capacity, const char* textureFile, float lifetime, int32_t emitRate, float size, float rise,
                   TextureLoader loader = defaultLoader());
    ~ParticleSystem();
    ParticleSystem(const ParticleSystem&) = delete;
    ParticleSystem& operator=(const ParticleSystem&) = delete;

    // Releases the particles and sets count to 0; the texture stays with the GL context.
    void release();
    // What playing changes in a system (its live particles, emission time, emitter and eye), and
    // back to it: a replay from the start puts back the state after loading.
    struct State {
        std::vector<Particle> live;
        float lastEmitTime = 0.0f;
        Vec3d emitterPosition;
        Vec3d eyePosition;
        Vec3d eyeAngles;
    };
    State state() const;
    // Live particles past the capacity are left out.
    void setState(const State& saved);
    // Emits at most one particle (when 1 / emitRate seconds have passed since the last emission
    // and fewer than capacity - 1 live), then removes every particle whose death time has come.
    void update();
    // Removes live particle index (ignored outside 0 .. count - 1); the rest keep their order.
    void removeParticle(int32_t index);
    // Draws the live particles as rising, shrinking, fading quads seen from eyePosition and
    // eyeAngles. Leaves blending off, the depth test on and the current colour white.
    void drawRising();

private:
    static TextureLoader defaultLoader();
};

// Tears down an attached or free-standing system and frees it; null is ignored.
void destroyParticleSystem(ParticleSystem* system);

// Particle distance around the camera in drawEmitters: 800, 1000 or 5000 for viewRange 0, 1, 2.
double emitterDistanceLimit(int32_t range);
