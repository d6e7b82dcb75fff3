// Test pictures for the texture loader: libjpeg's compressor writing to memory, a scratch folder
// and a stderr capture on plain POSIX file descriptors.
#include "jpeg_fixtures.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <unistd.h>

#include <jpeglib.h>

RawPicture makePicture(int width, int height, int components)
{
    RawPicture picture;
    picture.width = width;
    picture.height = height;
    picture.components = components;
    picture.samples.assign(static_cast<size_t>(width) * height * components, 0);
    return picture;
}

RawPicture makeUniform(int width, int height, std::vector<uint8_t> value)
{
    RawPicture picture = makePicture(width, height, static_cast<int>(value.size()));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            std::memcpy(picture.at(x, y), value.data(), value.size());
    return picture;
}

std::vector<uint8_t> encodeJpeg(const RawPicture& picture, int quality, bool storeAsRgb)
{
    jpeg_compress_struct cinfo;
    jpeg_error_mgr error;
    cinfo.err = jpeg_std_error(&error);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);

    cinfo.image_width = static_cast<JDIMENSION>(picture.width);
    cinfo.image_height = static_cast<JDIMENSION>(picture.height);
    cinfo.input_components = picture.components;
    cinfo.in_color_space = picture.components == 1 ? JCS_GRAYSCALE : picture.components == 4 ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    if (storeAsRgb)
        jpeg_set_colorspace(&cinfo, JCS_RGB);
    jpeg_set_quality(&cinfo, quality, TRUE);
    for (int i = 0; i < cinfo.num_components; ++i) {
        cinfo.comp_info[i].h_samp_factor = 1;
        cinfo.comp_info[i].v_samp_factor = 1;
    }
    jpeg_start_compress(&cinfo, TRUE);
    const size_t rowBytes = static_cast<size_t>(picture.width) * picture.components;
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPLE*>(&picture.samples[cinfo.next_scanline * rowBytes]);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::vector<uint8_t> bytes(buffer, buffer + size);
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    return bytes;
}

ScratchDir::ScratchDir()
{
    char name[] = "/tmp/velmora-media-XXXXXX";
    if (!mkdtemp(name))
        throw std::runtime_error("cannot make a scratch folder");
    dir_ = name;
}

ScratchDir::~ScratchDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
}

std::string ScratchDir::write(const std::string& name, const std::vector<uint8_t>& bytes) const
{
    const std::string file = path(name);
    FILE* out = std::fopen(file.c_str(), "wb");
    if (!out)
        throw std::runtime_error("cannot write " + file);
    if (!bytes.empty())
        std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);
    return file;
}

StderrCapture::StderrCapture()
{
    std::fflush(stderr);
    savedFd_ = dup(2);
    FILE* scratch = std::tmpfile();
    captureFd_ = dup(fileno(scratch));
    std::fclose(scratch);
    dup2(captureFd_, 2);
}

StderrCapture::~StderrCapture()
{
    text();
}

std::string StderrCapture::text()
{
    if (savedFd_ < 0)
        return text_;
    std::fflush(stderr);
    dup2(savedFd_, 2);
    close(savedFd_);
    savedFd_ = -1;
    lseek(captureFd_, 0, SEEK_SET);
    char chunk[4096];
    ssize_t got = 0;
    while ((got = read(captureFd_, chunk, sizeof(chunk))) > 0)
        text_.append(chunk, static_cast<size_t>(got));
    close(captureFd_);
    captureFd_ = -1;
    return text_;
}
