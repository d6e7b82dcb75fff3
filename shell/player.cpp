// The player keys over the running presentation. Pausing holds the tick count and the music and
// keeps the frame on screen (redrawn from a copy when an overlay changes); seeking forward arms the
// skip ahead from where the run is; seeking back leaves the scene loops and, with the assets kept
// loaded, puts back everything a run starts from (models, particles, random generator, render
// switches, GL scene state, tick count) before skipping ahead from 0 s. Depends on the scene clock,
// the frame module, the asset globals, the music, the skip ahead and the overlays.
#include "shell/player.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "core/clock.h"
#include "core/png.h"
#include "core/switches.h"
#include "media/music.h"
#include "model/model.h"
#include "render/frame.h"
#include "render/particles.h"
#include "scenes/assets.h"
#include "scenes/scenes.h"
#include "shell/frames.h"
#include "shell/loader.h"
#include "shell/options.h"
#include "shell/overlay.h"
#include "shell/sequencer.h"
#include "shell/start_at.h"

namespace {

bool enabled = false;
std::string pictureFolder;  // where F12 writes: the folder the program was started in

bool paused = false;
bool pauseAtNextFrame = false;  // Space pressed: the next frame drawn is the one that holds
bool frameOwed = false;         // paused, with a seek's frame still to be drawn
bool seeking = false;           // from a seek until its first frame is shown
double shownSeconds = 0.0;      // presentation time of the frame on screen
int seekMs = 0;
bool replaying = false;  // a seek back is leaving the scene loops
bool timeShown = false;
bool keysShown = false;
bool pictureWanted = false;

// Frames shown per second of wall time, measured over half-second stretches.
using WallClock = std::chrono::steady_clock;
WallClock::time_point seekSince;  // when the seek under way was asked for
WallClock::time_point rateSince;
int rateFrames = 0;
double framesPerSecond = 0.0;

// Everything a run starts from that playing changes, as it was right after loading.
struct FreshStart {
    bool kept = false;
    std::vector<std::pair<Model*, ModelPose>> models;
    std::vector<std::pair<ParticleSystem*, ParticleSystem::State>> particles;
    uint32_t random = 1;
    double tickMs = 0.0;
    float opaqueShadowFactor = 0.0f;
    float translucentShadowFactor = 0.0f;
    bool shadowsEnabled = false;
    int32_t viewRange = 0;
    bool musicEnabled = false;
    bool rotationCamera = false;
    bool emitterSwitch = false;
    bool boltSwitch = false;
};
FreshStart fresh;

Model* const* const modelGlobals[] = {&woodModel,   &trucModel, &castelModel, &choseModel,
                                      &tunnelModel, &metaModel, &roomModel,   &choseModel2};
ParticleSystem* const* const particleGlobals[] = {&redParticles, &greenParticles, &blueParticles, &whiteParticles};

int sceneAt(double seconds)
{
    int scene = 0;
    for (int i = 1; i < sceneCount; ++i) {
        if (seconds + 0.0005 >= sceneTable[i].start) {
            scene = i;
        }
    }
    return scene;
}

// One line on stderr: what happened at which time, where the music is, and what follows.
void say(const char* what, double seconds, const std::string& after = "")
{
    const double music = sndStreamPosition(musicStream);
    if (music >= 0.0) {
        std::fprintf(stderr, "velmora: %s %.3f s (music at %.3f s)%s\n", what, seconds, music, after.c_str());
    } else {
        std::fprintf(stderr, "velmora: %s %.3f s%s\n", what, seconds, after.c_str());
    }
    std::fflush(stderr);
}

// The picture in the view, before anything is laid over it, as a PNG named by its time.
void writePicture()
{
    pictureWanted = false;
    const PixelRect view = frameLayout().view;
    std::vector<uint8_t> pixels;
    readPixelRect(view, PixelLayout::Rgb, &pixels);
    const double seconds = shownSeconds;
    const std::string path =
        pictureFolder + "/velmora-" + timeName(static_cast<int>(std::lround(std::max(seconds, 0.0) * 1000.0))) + ".png";
    std::string why;
    if (pictureFolder.empty()) {
        why = "the folder the program was started in is gone";
    } else if (writePng(path, view.width, view.height, 3, pixels, RowOrder::BottomUp, &why)) {
        std::fprintf(stderr, "velmora: the frame at %.3f s is in %s\n", seconds, path.c_str());
        std::fflush(stderr);
        return;
    }
    std::fprintf(stderr, "velmora: cannot save the frame: %s\n", why.c_str());
    std::fflush(stderr);
}

void drawOverlays()
{
    if (timeShown) {
        PlayState state;
        state.seconds = playerTime();
        state.scene = sceneAt(state.seconds);
        state.framesPerSecond = paused ? 0.0 : framesPerSecond;
        state.paused = paused;
        drawTimeOverlay(state);
    }
    if (keysShown) {
        drawKeyOverlay();
    }
}

void countFrame()
{
    const WallClock::time_point now = WallClock::now();
    if (rateFrames == 0) {
        rateSince = now;
    }
    ++rateFrames;
    const double seconds = std::chrono::duration<double>(now - rateSince).count();
    if (seconds >= 0.5) {
        framesPerSecond = (rateFrames - 1) / seconds;
        rateFrames = 1;
        rateSince = now;
    }
}

// Holds the tick count and the music where they are (the skip ahead, while under way, holds the
// count itself and lets it go when it lands).
void holdTime(bool hold)
{
    if (!startPending()) {
        sysHoldClock(hold);
    }
    sndStreamPause(musicStream, hold);
}

// While paused: the held frame again, with the overlays as they are now.
void repaint()
{
    if (!paused || frameOwed) {
        return;
    }
    clearFrame();
    drawHeldFrame();
    if (pictureWanted) {
        writePicture();
    }
    drawOverlays();
    presentFrame();
    sysShowPlayback(playerTime(), true);
}

// The loop's message source: while paused (and no frame owed) it waits for the next message, so
// that no frame is drawn; it wakes now and then to let an interrupt end the run.
bool peekMessage(Message* message)
{
    if (!paused || frameOwed) {
        return sysPeekMessage(message);
    }
    for (;;) {
        if (sysWaitMessage(message, 100)) {
            return true;
        }
        if (stopRequested()) {
            *message = Message{};
            message->kind = MessageKind::Other;
            return true;
        }
    }
}

// The loop's present: the picture for F12 and for a pause, the overlays over it, then the frame.
void present()
{
    countFrame();
    shownSeconds = std::max(presentationTime(), 0.0);
    if (pictureWanted) {
        writePicture();
    }
    if (paused || pauseAtNextFrame) {
        holdFrame();
    }
    drawOverlays();
    presentFrame();
    if (seeking && !startPending() && !replaying) {
        seeking = false;
        char took[64];
        std::snprintf(took, sizeof took, ", %.2f s after the key",
                      std::chrono::duration<double>(WallClock::now() - seekSince).count());
        say("playing from", shownSeconds, took);
    }
    if (pauseAtNextFrame) {
        pauseAtNextFrame = false;
        paused = true;
        holdTime(true);
        say("paused at", shownSeconds);
    } else if (frameOwed) {
        frameOwed = false;
        sysHoldClock(true);
    }
    sysShowPlayback(playerTime(), paused);
}

void keepSwitches()
{
    fresh.opaqueShadowFactor = opaqueShadowFactor;
    fresh.translucentShadowFactor = translucentShadowFactor;
    fresh.shadowsEnabled = shadowsEnabled;
    fresh.viewRange = viewRange;
    fresh.musicEnabled = musicEnabled;
    fresh.rotationCamera = rotationCamera;
    fresh.emitterSwitch = emitterSwitch;
    fresh.boltSwitch = boltSwitch;
}

void restoreSwitches()
{
    opaqueShadowFactor = fresh.opaqueShadowFactor;
    translucentShadowFactor = fresh.translucentShadowFactor;
    shadowsEnabled = fresh.shadowsEnabled;
    viewRange = fresh.viewRange;
    musicEnabled = fresh.musicEnabled;
    rotationCamera = fresh.rotationCamera;
    emitterSwitch = fresh.emitterSwitch;
    boltSwitch = fresh.boltSwitch;
}

}  // namespace

void enablePlayer(Services* handed, const std::string& startFolder)
{
    enabled = true;
    pictureFolder = startFolder;
    handed->peekMessage = peekMessage;
    handed->present = present;
    handed->leaveScene = replayRequested;
}

bool playerEnabled()
{
    return enabled;
}

void playerTogglePause()
{
    if (!enabled) {
        return;
    }
    if (paused) {
        paused = false;
        frameOwed = false;
        holdTime(false);
        say("resumed at", playerTime());
        rateFrames = 0;
    } else {
        // Pressed twice before the next frame: nothing happens.
        pauseAtNextFrame = !pauseAtNextFrame;
    }
}

void playerSeekTo(double seconds)
{
    if (!enabled || currentSceneIndex < 0) {
        return;
    }
    // A seek never runs past the last second: it would end the run.
    const double last = presentationLength - 1.0;
    seconds = std::isnan(seconds) ? 0.0 : std::fmax(0.0, std::fmin(seconds, last));
    seekMs = static_cast<int>(std::lround(seconds * 1000.0));
    if (!seeking) {
        seekSince = WallClock::now();
    }
    seeking = true;
    frameOwed = paused;
    if (!replaying && seekMs / 1000.0 >= presentationTime()) {
        setStartTime(seekMs);
    } else {
        replaying = true;
    }
}

double playerTime()
{
    if (enabled && seeking) {
        return seekMs / 1000.0;
    }
    return shownSeconds;
}

bool playerPaused()
{
    return enabled && (paused || pauseAtNextFrame);
}

void playerKey(Key key)
{
    if (!enabled || currentSceneIndex < 0) {
        return;
    }
    const double now = playerTime();
    const int scene = sceneAt(now);
    switch (key) {
    case Key::Space:
        playerTogglePause();
        break;
    case Key::Left:
        playerSeekTo(now - 10.0);
        break;
    case Key::Right:
        playerSeekTo(now + 10.0);
        break;
    case Key::PageUp:
        playerSeekTo(scene > 0 ? sceneTable[scene - 1].start : 0.0);
        break;
    case Key::PageDown:
        if (scene + 1 < sceneCount) {
            playerSeekTo(sceneTable[scene + 1].start);
        }
        break;
    case Key::Home:
        playerSeekTo(0.0);
        break;
    case Key::Tab:
        timeShown = !timeShown;
        repaint();
        break;
    case Key::F1:
        keysShown = !keysShown;
        repaint();
        break;
    case Key::F12:
        pictureWanted = true;
        repaint();
        break;
    default:
        if (key >= Key::Digit1 && key <= Key::Digit8) {
            playerSeekTo(sceneTable[static_cast<int>(key) - static_cast<int>(Key::Digit1)].start);
        }
        break;
    }
}

void playerWindowChanged()
{
    repaint();
}

bool replayRequested()
{
    return enabled && replaying;
}

void keepFreshStart()
{
    if (!enabled) {
        return;
    }
    fresh = FreshStart{};
    for (Model* const* model : modelGlobals) {
        if (*model == nullptr) {
            continue;
        }
        fresh.models.emplace_back(*model, (*model)->pose());
        for (int32_t i = 0; i < (*model)->emitterCount; ++i) {
            if ((*model)->particleSystems[i] != nullptr) {
                fresh.particles.emplace_back((*model)->particleSystems[i], (*model)->particleSystems[i]->state());
            }
        }
    }
    for (ParticleSystem* const* system : particleGlobals) {
        if (*system != nullptr) {
            fresh.particles.emplace_back(*system, (*system)->state());
        }
    }
    fresh.random = randomState();
    fresh.tickMs = sysTickCountExact();
    keepSwitches();
    fresh.kept = true;
}

void replayFromStart()
{
    replaying = false;
    if (!fresh.kept) {
        return;
    }
    for (const auto& [model, pose] : fresh.models) {
        model->setPose(pose);
    }
    for (const auto& [system, state] : fresh.particles) {
        system->setState(state);
    }
    setRandomState(fresh.random);
    restoreSwitches();
    setSceneGLState();
    sysSetTickCount(fresh.tickMs);
    setStartTime(seekMs);
}
