# The Windows build, cross-compiled with mingw-w64 (cmake/mingw-w64-x86_64.cmake; scripts/windows
# builds the libraries and runs this): the same core, media, model, render, scenes and shell
# libraries as on Linux, over SDL2 and SDL2_mixer for the window, GL context and music, a Win32
# launch dialog from the resource script, and the POSIX calls of the layers above answered by
# posix/ (forced into every C++ unit). The text font is the data folder's text/font.bin, made by the
# native build's glyph builder, as in the browser build: no FreeType or fontconfig on Windows.
find_package(SDL2 REQUIRED CONFIG)
find_package(SDL2_mixer REQUIRED CONFIG)
find_package(PNG REQUIRED)
find_package(JPEG REQUIRED)

# The target names the folders link on Linux.
function(velmora_alias name)
  add_library(${name} INTERFACE IMPORTED)
  target_link_libraries(${name} INTERFACE ${ARGN})
endfunction()
velmora_alias(PkgConfig::SDL2 SDL2::SDL2)
velmora_alias(PkgConfig::SDL2_MIXER SDL2_mixer::SDL2_mixer)
# The program names the mixer's header as <SDL2/SDL_mixer.h>, as Debian installs it.
get_filename_component(mixer_include "${SDL2_mixer_DIR}/../../../include" ABSOLUTE)
target_include_directories(PkgConfig::SDL2_MIXER INTERFACE ${mixer_include})
velmora_alias(PkgConfig::PNG PNG::PNG)
velmora_alias(OpenGL::GL opengl32)
velmora_alias(OpenGL::GLU glu32)
velmora_alias(PkgConfig::GTK3)
velmora_alias(PkgConfig::FREETYPE)
velmora_alias(PkgConfig::FONTCONFIG)

set(win_dir ${CMAKE_SOURCE_DIR}/platform/win32)
include_directories(${CMAKE_SOURCE_DIR})
include_directories(BEFORE ${win_dir}/posix)
add_compile_options("$<$<COMPILE_LANGUAGE:CXX>:SHELL:-include ${win_dir}/posix/velmora_posix.h>")
# GCC checks printf formats against msvcrt.dll's, but the program prints with mingw's own (below).
add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-Wno-format>)
# Windows' own SDL_main is not used: the entry point is ours (entry_win32.cpp). printf and its
# kin are mingw's own, which know C99's formats (%zu, %lld) that msvcrt.dll lacks.
add_compile_definitions(SDL_MAIN_HANDLED __USE_MINGW_ANSI_STDIO=1)

add_library(velmora_platform STATIC
  platform/icon.cpp platform/messages.cpp platform/png_stream.cpp platform/sound_mixer.cpp platform/ticks.cpp
  platform/video_sdl.cpp
  ${win_dir}/dialog_win32.cpp ${win_dir}/posix_win32.cpp)
target_link_libraries(velmora_platform PUBLIC PkgConfig::SDL2 PkgConfig::SDL2_MIXER OpenGL::GL PkgConfig::PNG psapi)

foreach(dir core media model render scenes shell)
  add_subdirectory(${dir})
endforeach()
add_subdirectory(tools/3dsinfo)

get_target_property(render_sources velmora_render SOURCES)
list(REMOVE_ITEM render_sources outline_font.cpp)
list(APPEND render_sources ${CMAKE_SOURCE_DIR}/render/outline_font_file.cpp)
set_property(TARGET velmora_render PROPERTY SOURCES ${render_sources})

# The icon, converted from the built-in XPM by a tool built for this machine.
set(icon_file ${CMAKE_BINARY_DIR}/velmora.ico)
add_custom_command(OUTPUT ${icon_file}
  COMMAND c++ -std=c++17 -O1 -I${CMAKE_SOURCE_DIR} ${win_dir}/make_ico.cpp ${CMAKE_SOURCE_DIR}/platform/icon.cpp
    -o ${CMAKE_BINARY_DIR}/velmora_make_ico
  COMMAND ${CMAKE_BINARY_DIR}/velmora_make_ico ${icon_file}
  DEPENDS ${win_dir}/make_ico.cpp ${CMAKE_SOURCE_DIR}/platform/icon.cpp ${CMAKE_SOURCE_DIR}/resources/velmora_icon.xpm
  COMMENT "Writing the icon velmora.ico"
  VERBATIM)
add_custom_target(velmora_icon DEPENDS ${icon_file})

# Entry point, icon and version resource of both programs; velmora.exe is a GUI program with the
# launch dialog, velmora-3dsinfo.exe a console one.
function(velmora_windows_program target description)
  target_sources(${target} PRIVATE ${win_dir}/entry_win32.cpp ${win_dir}/velmora.rc)
  target_compile_definitions(${target} PRIVATE main=velmoraMain)
  target_link_libraries(${target} PRIVATE shell32)
  add_dependencies(${target} velmora_icon)
  set_property(SOURCE ${win_dir}/velmora.rc APPEND PROPERTY OBJECT_DEPENDS ${icon_file})
  set_property(TARGET ${target} APPEND PROPERTY COMPILE_DEFINITIONS
    VELMORA_VERSION_MAJOR=${PROJECT_VERSION_MAJOR} VELMORA_VERSION_MINOR=${PROJECT_VERSION_MINOR}
    VELMORA_VERSION_PATCH=${PROJECT_VERSION_PATCH})
  target_compile_options(${target} PRIVATE
    "$<$<COMPILE_LANGUAGE:RC>:-DVELMORA_VERSION_TEXT=\\\"${PROJECT_VERSION}\\\";-DVELMORA_PROGRAM=\\\"${target}\\\";-DVELMORA_DESCRIPTION=\\\"${description}\\\";-I${CMAKE_BINARY_DIR}>")
endfunction()
velmora_windows_program(velmora "Velmora")
velmora_windows_program(velmora-3dsinfo "Velmora 3DS inspector")
set_target_properties(velmora PROPERTIES WIN32_EXECUTABLE ON)
target_compile_options(velmora PRIVATE "$<$<COMPILE_LANGUAGE:RC>:-DVELMORA_LAUNCH_DIALOG>")
set_target_properties(velmora-3dsinfo PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

# The unit tests that need no window, run under Wine by tests/windows (scripts/windows --tests):
# the 3DS reader, model, lighting and grid, the JPEG decoder, geometry, and the shell's options,
# clock and benchmark figures. The data folder is the native build's.
if(VELMORA_TESTS)
  find_package(GTest REQUIRED CONFIG)
  set(VELMORA_NATIVE_DATA "" CACHE PATH "Data folder of the native build, for the unit tests")
  add_library(velmora_tds_writer STATIC tools/assetgen/tds_writer.cpp)
  function(velmora_windows_test name)
    add_executable(${name} ${ARGN})
    target_link_libraries(${name} PRIVATE ${VELMORA_TEST_LIBS} GTest::gtest GTest::gtest_main)
    # (M_PI and its kin come from mingw's math.h only on request.)
    target_compile_definitions(${name} PRIVATE _USE_MATH_DEFINES VELMORA_DATA_DIR="${VELMORA_NATIVE_DATA}"
      VELMORA_SOURCE_DIR="${CMAKE_SOURCE_DIR}" VELMORA_BINARY_DIR="${CMAKE_BINARY_DIR}")
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  endfunction()
  set(t ${CMAKE_SOURCE_DIR}/tests)
  set(VELMORA_TEST_LIBS velmora_core)
  velmora_windows_test(test_geometry ${t}/model/geometry_test.cpp)
  set(VELMORA_TEST_LIBS velmora_model velmora_tds_writer)
  velmora_windows_test(test_model ${t}/model/reader_test.cpp ${t}/model/lighting_grid_test.cpp
    ${t}/model/bad_input_test.cpp ${t}/model/fixtures.cpp)
  set(VELMORA_TEST_LIBS velmora_media)
  velmora_windows_test(test_texture_decode ${t}/media/texture_decode_test.cpp ${t}/media/jpeg_fixtures.cpp)
  set(VELMORA_TEST_LIBS velmora_shell)
  velmora_windows_test(test_shell ${t}/shell/benchmark_test.cpp ${t}/shell/clock_test.cpp
    ${t}/shell/launch_test.cpp ${t}/shell/options_test.cpp ${t}/support/fake_ticks.cpp)
  # The benchmark test reads its JSON with nlohmann-json, a header-only library of the build
  # machine: only that folder is lent to the cross compiler, never the host's whole include tree.
  find_path(VELMORA_NLOHMANN_DIR nlohmann/json.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/host-include)
  file(CREATE_LINK ${VELMORA_NLOHMANN_DIR}/nlohmann ${CMAKE_BINARY_DIR}/host-include/nlohmann SYMBOLIC)
  target_include_directories(test_shell SYSTEM PRIVATE ${CMAKE_BINARY_DIR}/host-include)
endif()
