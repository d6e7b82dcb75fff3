// Particle systems: construction and teardown, emission and expiry on the uptime clock, the
// free-standing drawing (drawRising) and the model pass that drives the systems attached to '*'
// meshes (attachEmitters, drawEmitters). Depends on the platform tick count, the random source of
// the scene clock module, the JPEG texture loader and the camera view of the model renderer.
#include "render/particles.h"

#include <cmath>
#include <cstdio>
#include <new>

#include "core/clock.h"
#include "core/switches.h"
#include "media/texture.h"
#include "platform/platform.h"
#include "render/quads.h"
#include "render/renderer.h"

ParticleSystem::TextureLoader ParticleSystem::defaultLoader()
{
    return loadTexture;
}

ParticleSystem::ParticleSystem(int32_t capacity_, const char* textureFile, float lifetime_, int32_t emitRate_,
                               float size_, float rise_, TextureLoader loader)
    : lifetime(lifetime_), emitRate(emitRate_), capacity(capacity_), size(size_), rise(rise_)
{
    // The system's own one-entry texture list: slot 0 becomes its picture.
    GLuint textures[1] = {0};
    if (loader != nullptr && textureFile != nullptr)
        loader(textures, textureFile, 0);
    texture = textures[0];

    // Storage for the whole capacity, but an entry is only made (and its memory touched) when a
    // particle is born into it: a system emits at most one particle a frame and few ever fill more
    // than a sliver of their capacity (the wood's emitters hold about 40 of their 5000).
    if (capacity > 0)
        particles =
            static_cast<Particle*>(::operator new[](sizeof(Particle) * static_cast<size_t>(capacity), std::nothrow));
    if (particles == nullptr) {
        if (capacity > 0)
            std::fprintf(stderr, "particle system \"%s\": no memory for %d particles; it stays empty\n",
                         textureFile != nullptr ? textureFile : "", capacity);
        capacity = 0;
    }
}

ParticleSystem::~ParticleSystem()
{
    release();
}

void ParticleSystem::release()
{
    // Particles hold only numbers: nothing to destroy one by one.
    ::operator delete[](particles);
    particles = nullptr;
    capacity = 0;
    count = 0;
}

ParticleSystem::State ParticleSystem::state() const
{
    State saved;
    if (particles != nullptr && count > 0) {
        saved.live.assign(particles, particles + count);
    }
    saved.lastEmitTime = lastEmitTime;
    saved.emitterPosition = emitterPosition;
    saved.eyePosition = eyePosition;
    saved.eyeAngles = eyeAngles;
    return saved;
}

void ParticleSystem::setState(const State& saved)
{
    count = 0;
    if (particles != nullptr) {
        for (const Particle& particle : saved.live) {
            if (count >= capacity) {
                break;
            }
            particles[count++] = particle;
        }
    }
    lastEmitTime = saved.lastEmitTime;
    emitterPosition = saved.emitterPosition;
    eyePosition = saved.eyePosition;
    eyeAngles = saved.eyeAngles;
}

void ParticleSystem::update()
{
    const float now = uptimeSeconds();
    if (lastEmitTime == 0.0f)
        lastEmitTime = now;

    // The time since the last emission, not an accumulated debt: a late frame still emits only one.
    // Compared as a float so that a huge gap needs no conversion to int.
    const float due = std::trunc((now - lastEmitTime) * static_cast<float>(emitRate));
    if (due >= 1.0f && count + 1 < capacity) {
        Particle& particle = *new (&particles[count]) Particle;
        particle.birthTime = now;
        particle.deathTime = now + lifetime;
        particle.position = emitterPosition;
        for (double& angle : particle.angles)
            angle = randomBelow(360);
        ++count;
        lastEmitTime = now;
    }

    int32_t i = 0;
    while (i < count) {
        if (!(particles[i].deathTime > now))
            removeParticle(i);
        else
            ++i;
    }
}

void ParticleSystem::removeParticle(int32_t index)
{
    if (index < 0 || index >= count)
        return;
    --count;
    for (int32_t k = index; k < count; ++k)
        particles[k] = particles[k + 1];
}

namespace {

// One particle quad in the plane z = 0 of the current matrix, half-width s, coloured (c, c, c) at
// every corner. The picture's top row is at the top of the quad.
void drawParticleQuad(float c, float s)
{
    glBegin(GL_QUADS);
    glColor3f(c, c, c);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-s, -s, 0.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-s, s, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(s, s, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(s, -s, 0.0f);
    glEnd();
}

// The particles drawn under one eye. Each one's matrix is the eye's rotation about x, y, z and
// translation by -eye, then the particle's place and the inverse angles in the same axis order (not
// reversed), so that the quad roughly faces the viewer. The eye part is set once and each particle
// placed on a pushed copy of it, which is the very matrix a set-up from identity gives; a texture is
// bound only when it changes. finish leaves the last particle's matrix current, as it always was.
class ParticleBatch {
public:
    ParticleBatch(const Vec3d& eyeAngles, const Vec3d& eye) : angles_(eyeAngles), eye_(eye) {}

    void draw(GLuint texture, double x, double y, double z, float c, float s)
    {
        if (!started_) {
            glLoadIdentity();
            glRotatef(static_cast<float>(angles_.x), 1.0f, 0.0f, 0.0f);
            glRotatef(static_cast<float>(angles_.y), 0.0f, 1.0f, 0.0f);
            glRotatef(static_cast<float>(angles_.z), 0.0f, 0.0f, 1.0f);
            glTranslatef(static_cast<float>(-eye_.x), static_cast<float>(-eye_.y), static_cast<float>(-eye_.z));
            started_ = true;
        } else {
            glPopMatrix();
        }
        glPushMatrix();
        last_ = Vec3d{x, y, z};
        place(last_);
        if (!bound_ || texture != texture_) {
            glBindTexture(GL_TEXTURE_2D, texture);
            bound_ = true;
            texture_ = texture;
        }
        drawParticleQuad(c, s);
    }

    void finish()
    {
        if (started_) {
            glPopMatrix();
            place(last_);
            started_ = false;
        }
    }

private:
    void place(const Vec3d& at) const
    {
        glTranslatef(static_cast<float>(at.x), static_cast<float>(at.y), static_cast<float>(at.z));
        glRotatef(static_cast<float>(-angles_.x), 1.0f, 0.0f, 0.0f);
        glRotatef(static_cast<float>(-angles_.y), 0.0f, 1.0f, 0.0f);
        glRotatef(static_cast<float>(-angles_.z), 0.0f, 0.0f, 1.0f);
    }

    Vec3d angles_;
    Vec3d eye_;
    Vec3d last_;
    bool started_ = false;
    bool bound_ = false;
    GLuint texture_ = 0;
};

// 1 at birth, falling linearly to 0 at death (below 0 afterwards, which GL clamps to black).
float lifeLeft(const Particle& particle, float now)
{
    return (now - particle.deathTime) / (particle.birthTime - particle.deathTime);
}

}  // namespace

void ParticleSystem::drawRising()
{
    const float now = uptimeSeconds();
    beginAdditive();
    glDisable(GL_DEPTH_TEST);
    ParticleBatch batch(eyeAngles, eyePosition);
    for (int32_t i = 0; i < count; ++i) {
        const Particle& particle = particles[i];
        const float f = lifeLeft(particle, now);
        const double y = particle.position.y + (rise - f * rise);
        batch.draw(texture, particle.position.x, y, particle.position.z, f, f * size);
    }
    batch.finish();
    glEnable(GL_DEPTH_TEST);
    endAdditive();
    glColor3f(1.0f, 1.0f, 1.0f);
}

void destroyParticleSystem(ParticleSystem* system)
{
    delete system;
}

double emitterDistanceLimit(int32_t range)
{
    // The switch only takes 0, 1 and 2; anything else is read as the nearest of them.
    if (range <= 0)
        return 800.0;
    if (range == 1)
        return 1000.0;
    return 5000.0;
}

void Model::attachEmitters(int32_t capacity, float lifetime, int32_t emitRate, float size, float rise)
{
    // Systems of an earlier call are torn down rather than leaked.
    for (int32_t i = 0; i < emitterCount; ++i) {
        destroyParticleSystem(particleSystems[i]);
        particleSystems[i] = nullptr;
        emitters[i] = nullptr;
    }
    emitterCount = 0;
    particleTeardown = destroyParticleSystem;

    int leftOut = 0;
    const char* firstLeftOut = "";
    rewind();
    for (int i = 0; i < objectCount; ++i) {
        SceneObject* object = cursor;
        if (object->kind == ObjectKind::Mesh && object->name[0] == '*') {
            if (emitterCount >= maxEmitters) {
                if (leftOut++ == 0)
                    firstLeftOut = object->name;
            } else {
                // The picture is the object's material, already a texture of the model: the system
                // shares it rather than decoding and storing the same picture again. An emitter
                // without a material (or whose picture could not be read) gets no texture.
                const Material* material = materialOf(object);
                ParticleSystem* system = new (std::nothrow) ParticleSystem(
                    capacity, material != nullptr ? material->name : nullptr, lifetime, emitRate, size, rise, nullptr);
                if (system != nullptr && material != nullptr)
                    system->texture = material->texture;
                if (system == nullptr) {
                    std::fprintf(stderr, "emitter \"%s\": no memory for its particle system\n", object->name);
                    advance();
                    continue;
                }
                switch (object->name[1]) {
                case '1':
                    system->mode = 1;
                    break;
                case '2':
                    system->mode = 2;
                    break;
                case '3':
                    system->mode = 3;
                    break;
                default:
                    system->mode = 0;
                    break;
                }
                particleSystems[emitterCount] = system;
                emitters[emitterCount] = object;
                ++emitterCount;
            }
        }
        advance();
    }
    rewind();
    if (leftOut > 0)
        std::fprintf(stderr, "more than %d emitter objects: %d of them, from \"%s\" on, get no particle system\n",
                     maxEmitters, leftOut, firstLeftOut);
}

namespace {

// Where an emitter's next particle is born. Mode 3 builds a point of the mesh's bounding box from
// three random vertices, one per axis in the order x, y, z; a mesh without vertices has no such
// point and emits at its position instead.
Vec3d emitterBirthPoint(const ParticleSystem& system, const SceneObject& object)
{
    if (system.mode != 3 || object.vertexCount == 0 || object.vertices == nullptr)
        return object.position;
    Vec3d point;
    point.x = object.vertices[randomBelow(object.vertexCount)].x;
    point.y = object.vertices[randomBelow(object.vertexCount)].y;
    point.z = object.vertices[randomBelow(object.vertexCount)].z;
    return point;
}

}  // namespace

void Model::drawEmitters()
{
    if (emitterCount == 0)
        return;
    const double limit = emitterDistanceLimit(viewRange);
    const float now = uptimeSeconds();
    const CameraView view = cameraView(*this);

    glDisable(GL_FOG);
    glDepthMask(GL_FALSE);
    beginAdditive();
    ParticleBatch batch(view.rotating ? view.angles : Vec3d(), view.rotating ? view.eye : Vec3d());
    for (int32_t i = 0; i < emitterCount; ++i) {
        ParticleSystem* system = particleSystems[i];
        const SceneObject* object = emitters[i];
        if (system == nullptr || object == nullptr)
            continue;
        system->emitterPosition = emitterBirthPoint(*system, *object);
        system->update();

        const bool rises = system->mode == 1 || system->mode == 3;
        const bool shrinks = system->mode == 2 || system->mode == 3;
        for (int32_t p = 0; p < system->count; ++p) {
            const Particle& particle = system->particles[p];
            const float r = lifeLeft(particle, now);
            const double y = rises ? particle.position.y + (system->rise - r * system->rise) : particle.position.y;
            const float s = shrinks ? r * system->size : system->size;
            // A square around the camera on the ground plane; height is not tested.
            if (!(view.eye.x - limit < particle.position.x && particle.position.x < view.eye.x + limit &&
                  view.eye.z - limit < particle.position.z && particle.position.z < view.eye.z + limit))
                continue;
            batch.draw(system->texture, particle.position.x, y, particle.position.z, r, s);
        }
    }
    batch.finish();
    glDepthMask(GL_TRUE);
    endAdditive();
    glColor3f(1.0f, 1.0f, 1.0f);
}
