// The soundtrack: composed and synthesized in code, encoded to MP3.
#pragma once
#include <string>

// Writes "music/velmora.mp3" under dataDir (creating the folder). Returns false, with the reason on
// stderr, when the file cannot be written.
bool writeMusic(const std::string& dataDir);
