// The music: one track streamed from a compressed file from the end of loading to teardown. The
// sound layer plays it in the background; nothing here waits for it or reads its position.
#pragma once
#include <cstddef>

#include "platform/platform.h"

// The open music stream; null until playMusic (and when the file could not be opened).
extern SoundStream musicStream;

// Opens the sound output at 44100 Hz with the spectrum unit on; musicEnabled becomes true.
void startSound();
// Opens the file as a stream and starts it, when musicEnabled, and tells the services' musicStarted. A missing or undecodable file
// leaves the presentation silent, with one line on stderr and no box; one that ends before
// secondsNeeded (a cut file) plays what it has, with one line on stderr.
void playMusic(const char* fileName, float secondsNeeded = 0.0f);
void stopMusic();
// Moves the playing music to where it would be had the presentation been played from the start
// (the tick count's time since the music started). Used when a run starts part-way through.
void catchUpMusic();
// Off: startSound opens no output and playMusic plays nothing (the benchmark times pictures only).
void setMusicOff(bool off);

// How many bytes of the file the MP3 stream says it has, from the Xing or Info tag in its first
// frame (after any ID3v2 tag), counted from that frame; -1 when the bytes given hold no such tag.
long long declaredMp3Bytes(const unsigned char* head, size_t size, size_t* streamStart);
// Spectrum unit off, sound output closed (this also releases the stream).
void stopSound();
