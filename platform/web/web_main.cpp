// The browser build's entry: the desktop main (compiled as velmoraMain) runs the whole presentation,
// yielding to the page at every frame; its status then goes to the page, since a main that has
// yielded returns to nobody. Like main, this file sits above every layer of the program.
#undef main
#include <emscripten.h>
#include <sys/stat.h>

int velmoraMain(int argc, char** argv);
double presentationTime();

// The presentation time of the frame drawn last (negative outside the scenes), for the page to
// keep the music in step with the pictures and for the browser test to measure it.
extern "C" EMSCRIPTEN_KEEPALIVE double velmoraPictureTime()
{
    return presentationTime();
}

int main(int argc, char** argv)
{
    // Emscripten's C library starts with a umask of 0777, which leaves the files the program makes
    // beside their targets (PNG frames) neither readable nor writable; a POSIX process starts with 022.
    umask(022);
    const int status = velmoraMain(argc, argv);
    EM_ASM({ window.velmora.finished($0); }, status);
    return status;
}
