// The browser build's entry: the desktop main (compiled as velmoraMain) runs the whole presentation,
// yielding to the page at every frame; its status then goes to the page, since a main that has
// yielded returns to nobody.
#undef main
#include <emscripten.h>

int velmoraMain(int argc, char** argv);

int main(int argc, char** argv)
{
    const int status = velmoraMain(argc, argv);
    EM_ASM({ window.velmora.finished($0); }, status);
    return status;
}
