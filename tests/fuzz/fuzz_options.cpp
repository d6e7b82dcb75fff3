// libFuzzer target for the command-line parser: the input, split at NUL bytes, is the argument list.
// Any crash, undefined behaviour or leak is a finding, and so is an accepted command line that
// breaks what the parser promises (times inside the presentation, sorted and unique).
#include <cstdint>
#include <string>
#include <vector>

#include "shell/options.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::string> arguments(1, "velmora");
    std::string current;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            arguments.push_back(current);
            current.clear();
        } else {
            current.push_back(static_cast<char>(data[i]));
        }
    }
    arguments.push_back(current);
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    Options options;
    std::string error;
    if (!parseOptions(static_cast<int>(arguments.size()), argv.data(), &options, &error)) {
        if (error.empty())
            __builtin_trap();  // a refusal always says why
        return 0;
    }
    for (size_t i = 0; i < options.atMs.size(); ++i) {
        const int ms = options.atMs[i];
        if (ms < 0 || ms > presentationLengthMs || (i > 0 && ms <= options.atMs[i - 1]))
            __builtin_trap();
        if (timeName(ms).size() != 8)
            __builtin_trap();
    }
    if (options.startAtMs > presentationLengthMs || (isRecording(options) && options.fps <= 0))
        __builtin_trap();
    return 0;
}
