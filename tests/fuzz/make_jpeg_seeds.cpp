// Writes the seed pictures of the JPEG fuzz run into a folder: small pictures in every form the
// decoder takes apart differently (grayscale, colour at 4:4:4 and 4:2:0, CMYK, progressive,
// arithmetic-coded, with restart markers, stored as RGB).
#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace {

struct Form {
    const char* name;
    int components;
    J_COLOR_SPACE space;
    bool progressive;
    bool arithmetic;
    int restartRows;
    bool subsampled;
    bool storeRgb;
};

bool writeSeed(const std::string& path, const Form& form)
{
    const int width = 19;
    const int height = 13;
    std::vector<JSAMPLE> samples(static_cast<size_t>(width) * height * form.components);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<JSAMPLE>((i * 37 + i / 7 * 11) & 0xFF);

    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    jpeg_compress_struct cinfo;
    jpeg_error_mgr error;
    cinfo.err = jpeg_std_error(&error);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file);
    cinfo.image_width = width;
    cinfo.image_height = height;
    cinfo.input_components = form.components;
    cinfo.in_color_space = form.space;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 80, TRUE);
    if (form.storeRgb)
        jpeg_set_colorspace(&cinfo, JCS_RGB);
    if (form.components == 3 && !form.subsampled && !form.storeRgb)
        cinfo.comp_info[0].h_samp_factor = cinfo.comp_info[0].v_samp_factor = 1;
    if (form.progressive)
        jpeg_simple_progression(&cinfo);
    cinfo.arith_code = form.arithmetic ? TRUE : FALSE;
    cinfo.restart_in_rows = form.restartRows;
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = &samples[static_cast<size_t>(cinfo.next_scanline) * width * form.components];
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return std::fclose(file) == 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: velmora_jpeg_seeds FOLDER\n");
        return 2;
    }
    const Form forms[] = {
        {"gray", 1, JCS_GRAYSCALE, false, false, 0, false, false},
        {"colour444", 3, JCS_RGB, false, false, 0, false, false},
        {"colour420", 3, JCS_RGB, false, false, 0, true, false},
        {"cmyk", 4, JCS_CMYK, false, false, 0, false, false},
        {"progressive", 3, JCS_RGB, true, false, 0, true, false},
        {"arithmetic", 3, JCS_RGB, false, true, 0, true, false},
        {"restarts", 3, JCS_RGB, false, false, 1, true, false},
        {"stored-rgb", 3, JCS_RGB, false, false, 0, false, true},
    };
    int status = 0;
    for (const Form& form : forms) {
        const std::string path = std::string(argv[1]) + "/" + form.name + ".jpg";
        if (!writeSeed(path, form)) {
            std::fprintf(stderr, "velmora_jpeg_seeds: cannot write %s\n", path.c_str());
            status = 1;
        }
    }
    return status;
}
