// velmora-3dsinfo FILE...: loads each 3DS file with the presentation's own reader (no GL context,
// so material pictures are not loaded) and prints what the reader made of it, as text or, with
// --json, as one JSON object per file on one line. Exit status 1 when a file did not load.
#include <cstdio>
#include <cstring>
#include <string>

#include "model/model.h"

namespace {

const char* kindName(ObjectKind kind)
{
    switch (kind) {
    case ObjectKind::Mesh:
        return "mesh";
    case ObjectKind::Camera:
        return "camera";
    case ObjectKind::Light:
        return "light";
    default:
        return "none";
    }
}

// The length of the valid UTF-8 sequence at p (1 to 4), or 0 when the bytes there are not one
// (a stray continuation byte, an overlong form, a surrogate, past U+10FFFF, cut short).
int utf8SequenceLength(const unsigned char* p)
{
    const unsigned char c = p[0];
    int length = 0;
    unsigned char low = 0x80;  // the allowed range of the second byte
    unsigned char high = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        low = c == 0xE0 ? 0xA0 : 0x80;
        high = c == 0xED ? 0x9F : 0xBF;
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        low = c == 0xF0 ? 0x90 : 0x80;
        high = c == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (p[1] < low || p[1] > high) {
        return 0;
    }
    for (int i = 2; i < length; ++i) {
        if (p[i] < 0x80 || p[i] > 0xBF) {
            return 0;
        }
    }
    return length;
}

// A JSON string. Names are raw bytes from the file: valid UTF-8 is written as it is, and every
// byte that is not part of valid UTF-8 as \u00XX of that byte, so the output is always valid JSON.
std::string jsonString(const char* text)
{
    std::string out = "\"";
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p != 0;) {
        const unsigned char c = *p;
        const int sequence = c >= 0x80 ? utf8SequenceLength(p) : 0;
        if (sequence > 0) {
            out.append(reinterpret_cast<const char*>(p), static_cast<size_t>(sequence));
            p += sequence;
            continue;
        }
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof(escape), "\\u%04x", c);
            out += escape;
        } else {
            out += static_cast<char>(c);
        }
        ++p;
    }
    return out + "\"";
}

void printJson(const char* fileName, bool loaded, Model& model)
{
    std::string line =
        "{\"file\": " + jsonString(fileName) + ", \"loaded\": " + (loaded ? "true" : "false") + ", \"objects\": [";
    model.rewind();
    for (int i = 0; i < model.objectCount; ++i) {
        const SceneObject* o = model.cursor;
        const Material* material = model.materialOf(o);
        char counts[256];
        std::snprintf(counts, sizeof(counts), "\"vertices\": %u, \"faces\": %u, \"mapping\": %u, ", o->vertexCount,
                      o->faceCount, o->mappingCount);
        line += std::string(i > 0 ? ", " : "") + "{\"name\": " + jsonString(o->name) + ", \"kind\": \"" +
                kindName(o->kind) + "\", " + counts +
                "\"material\": " + (material != nullptr ? jsonString(material->name) : "null") +
                ", \"positionKeys\": " + std::to_string(o->positionKeyCount) +
                ", \"rotationKeys\": " + std::to_string(o->rotationKeyCount) + "}";
        model.advance();
    }
    model.rewind();
    line += "], \"lights\": " + std::to_string(model.lightCount) +
            ", \"cameras\": " + std::to_string(model.cameraCount) +
            ", \"materials\": " + std::to_string(model.materialCount) +
            ", \"startFrame\": " + std::to_string(model.startFrame) +
            ", \"endFrame\": " + std::to_string(model.endFrame) + "}";
    std::printf("%s\n", line.c_str());
}

void printText(const char* fileName, bool loaded, Model& model)
{
    if (!loaded) {
        std::printf("%s: not loaded (cannot be opened, or not a 3DS file)\n", fileName);
        return;
    }
    std::printf("%s: %d objects, %d lights, %d cameras, %d materials, frames %d..%d\n", fileName, model.objectCount,
                model.lightCount, model.cameraCount, model.materialCount, model.startFrame, model.endFrame);
    model.rewind();
    for (int i = 0; i < model.objectCount; ++i) {
        const SceneObject* o = model.cursor;
        const Material* material = model.materialOf(o);
        std::printf("  %-6s %-24s vertices %5u  faces %5u  mapping %5u  keys %u/%u  material %s\n", kindName(o->kind),
                    jsonString(o->name).c_str(), o->vertexCount, o->faceCount, o->mappingCount, o->positionKeyCount,
                    o->rotationKeyCount, material != nullptr ? jsonString(material->name).c_str() : "-");
        model.advance();
    }
    model.rewind();
    for (int i = 0; i < model.materialCount; ++i)
        std::printf("  material %d: %s\n", i, jsonString(model.materials[i].name).c_str());
}

void usage(FILE* out)
{
    std::fprintf(out, "usage: velmora-3dsinfo [--json] FILE...\n"
                      "Loads each 3DS file with the presentation's reader (without pictures) and prints\n"
                      "its objects, lights, cameras, materials and frame range. --json prints one JSON\n"
                      "object per file on one line. Exit status 1 when a file could not be loaded.\n");
}

}  // namespace

int main(int argc, char** argv)
{
    bool json = false;
    int first = 1;
    for (; first < argc && argv[first][0] == '-' && argv[first][1] != '\0'; ++first) {
        if (std::strcmp(argv[first], "--json") == 0) {
            json = true;
        } else if (std::strcmp(argv[first], "--help") == 0 || std::strcmp(argv[first], "-h") == 0) {
            usage(stdout);
            return 0;
        } else if (std::strcmp(argv[first], "--") == 0) {
            ++first;
            break;
        } else {
            std::fprintf(stderr, "velmora-3dsinfo: unknown option %s\n", argv[first]);
            usage(stderr);
            return 2;
        }
    }
    if (first >= argc) {
        usage(stderr);
        return 2;
    }

    int status = 0;
    for (int i = first; i < argc; ++i) {
        Model model;
        model.materialLoader = nullptr;
        bool loaded = model.load(argv[i]);
        if (!loaded)
            status = 1;
        if (json)
            printJson(argv[i], loaded, model);
        else
            printText(argv[i], loaded, model);
        std::fflush(stdout);
    }
    return status;
}
