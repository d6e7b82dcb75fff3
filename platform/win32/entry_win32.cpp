// The entry point of the Windows programs. velmora.exe is a GUI program, so a double-click opens no console window; when
// it is started from a console it attaches to that console, so that --help, --version, batch
// messages and progress bars print there (streams already redirected to a file or a pipe are left
// as they are). The arguments are read as UTF-16 and handed on in UTF-8, the program's own encoding.
#include <windows.h>
//
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/win32/win32.h"

// The program's own main(), renamed by the build (main=velmoraMain), which this unit undoes.
#undef main
int velmoraMain(int argc, char** argv);

namespace {

bool goesSomewhere(DWORD stream)
{
    HANDLE handle = GetStdHandle(stream);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

void attachParentConsole()
{
    const bool input = goesSomewhere(STD_INPUT_HANDLE);
    const bool output = goesSomewhere(STD_OUTPUT_HANDLE);
    const bool error = goesSomewhere(STD_ERROR_HANDLE);
    if ((input && output && error) || !AttachConsole(ATTACH_PARENT_PROCESS)) {
        return;
    }
    if (!output) {
        std::freopen("CONOUT$", "w", stdout);
    }
    if (!error) {
        std::freopen("CONOUT$", "w", stderr);
    }
    if (!input) {
        std::freopen("CONIN$", "r", stdin);
    }
}

}  // namespace

int main()
{
    attachParentConsole();
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) {
        arguments.push_back(winUtf8(wide[i]));
    }
    LocalFree(wide);
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    const int status = velmoraMain(static_cast<int>(arguments.size()), argv.data());
    std::fflush(stdout);
    std::fflush(stderr);
    return status;
}
