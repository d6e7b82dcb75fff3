// Test pictures made on the spot with libjpeg's compressor, a scratch folder for them, and a
// capture of the stderr stream (where the decoder and the batch-mode message box write).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Raw samples for the compressor: rows top first, `components` bytes per pixel, packed.
struct RawPicture {
    int width = 0;
    int height = 0;
    int components = 3;  // 1 grayscale, 3 RGB, 4 CMYK
    std::vector<uint8_t> samples;

    uint8_t* at(int x, int y) { return &samples[(static_cast<size_t>(y) * width + x) * components]; }
};

RawPicture makePicture(int width, int height, int components);
// Every pixel the same sample values (as many as components).
RawPicture makeUniform(int width, int height, std::vector<uint8_t> value);

// Compresses to a baseline JPEG with full-resolution chroma so colour edges stay sharp.
// storeAsRgb keeps a 3-component picture in RGB instead of YCbCr (an Adobe-style file).
std::vector<uint8_t> encodeJpeg(const RawPicture& picture, int quality = 95, bool storeAsRgb = false);

// A folder under /tmp removed with its files when the object goes.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    // Writes bytes to a file of that name in the folder and returns its path.
    std::string write(const std::string& name, const std::vector<uint8_t>& bytes) const;
    std::string path(const std::string& name) const { return dir_ + "/" + name; }

private:
    std::string dir_;
};

// Redirects file descriptor 2 into a temporary file until text() is called.
class StderrCapture {
public:
    StderrCapture();
    ~StderrCapture();
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;
    // Stops capturing and returns what was written.
    std::string text();

private:
    int savedFd_ = -1;
    int captureFd_ = -1;
    std::string text_;
};
