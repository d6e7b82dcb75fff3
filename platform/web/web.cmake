# The browser build: the same core, media, model, render, scenes and shell libraries as the desktop
# program, over the platform/web back end and its GL compatibility unit, linked by Emscripten into
# index.html, index.js, index.wasm and index.data (the data folder, preloaded; the music is served
# beside it and streamed by the page). index.js defines the module's factory (createVelmora): the
# page makes a fresh instance for each run. The desktop libraries the folders link are empty
# stand-ins.
set(VELMORA_WEB_DATA "" CACHE PATH "Data folder of a desktop build, holding text/font.bin (scripts/web makes it)")
if(NOT EXISTS "${VELMORA_WEB_DATA}/text/font.bin" OR NOT EXISTS "${VELMORA_WEB_DATA}/pict")
  message(FATAL_ERROR "VELMORA_WEB_DATA (${VELMORA_WEB_DATA}) must name a desktop build's data folder with "
    "pict/ and text/font.bin: run scripts/web, which makes it")
endif()

# The desktop linker's --as-needed means nothing to wasm-ld; clang's format-string warning flags
# the scenes' line tables, which GCC accepts.
set_property(DIRECTORY PROPERTY LINK_OPTIONS "")
add_compile_options(-Wno-format-security)

foreach(name OpenGL::GL OpenGL::GLU PkgConfig::PNG PkgConfig::FREETYPE PkgConfig::FONTCONFIG JPEG::JPEG)
  add_library(${name} INTERFACE IMPORTED)
endforeach()

include_directories(${CMAKE_SOURCE_DIR})
set(web_dir ${CMAKE_SOURCE_DIR}/platform/web)

# The portable parts of the desktop platform layer (tick count, message boxes) and the browser's own:
# window and GL, dialog, sound, preloaded pictures, PNG encoding and the GL entry points it takes over.
add_library(velmora_platform STATIC platform/ticks.cpp platform/messages.cpp
  ${web_dir}/video_web.cpp ${web_dir}/dialog_web.cpp ${web_dir}/sound_web.cpp ${web_dir}/picture_web.cpp
  ${web_dir}/png_web.cpp
  ${web_dir}/gl_lists.cpp ${web_dir}/gl_wide_lines.cpp ${web_dir}/gl_mipmaps.cpp ${web_dir}/gl_state.cpp)

# The GL entry points the browser build takes over: each __wrap_NAME that gl_compat.h declares gets
# the program's calls to NAME (and __real_NAME the browser's own).
set(gl_compat_header ${web_dir}/gl_compat.h)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${gl_compat_header})
file(STRINGS ${gl_compat_header} gl_wrapped REGEX "__wrap_glu?[A-Za-z0-9]+\\(")
string(REGEX MATCHALL "__wrap_glu?[A-Za-z0-9]+" gl_wrapped "${gl_wrapped}")
list(TRANSFORM gl_wrapped REPLACE "^__wrap_(.*)$" "-Wl,--wrap=\\1")

foreach(dir core media model render scenes shell)
  add_subdirectory(${dir})
endforeach()

# Replaces one source of a folder's library with its browser counterpart.
function(velmora_web_source target native web)
  get_target_property(sources ${target} SOURCES)
  list(REMOVE_ITEM sources ${native})
  list(APPEND sources ${CMAKE_SOURCE_DIR}/${web})
  set_property(TARGET ${target} PROPERTY SOURCES ${sources})
endfunction()
velmora_web_source(velmora_render outline_font.cpp render/outline_font_file.cpp)

# The page: shell.html with the player's bar and controls (player.html) put in at its marker, remade when
# either changes.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${web_dir}/shell.html ${web_dir}/player.html)
file(READ ${web_dir}/shell.html web_page)
file(READ ${web_dir}/player.html web_player)
string(FIND "${web_page}" "<!-- player.html -->" web_marker)
if(web_marker EQUAL -1)
  message(FATAL_ERROR "${web_dir}/shell.html has no <!-- player.html --> line for the player's controls")
endif()
string(REPLACE "<!-- player.html -->\n" "${web_player}" web_page "${web_page}")
set(web_shell ${CMAKE_BINARY_DIR}/shell.html)
file(WRITE ${web_shell}.new "${web_page}")
configure_file(${web_shell}.new ${web_shell} COPYONLY)

set(web_flags
  -sLEGACY_GL_EMULATION=1 -sASYNCIFY=1 -sASYNCIFY_STACK_SIZE=65536
  "-sASYNCIFY_IMPORTS=['yieldToBrowser','waitForDialogCommand','waitForMusicStart','waitForMusicSeek']"
  -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=67108864 -sENVIRONMENT=web
  -sMODULARIZE=1 -sEXPORT_NAME=createVelmora
  -sMINIFY_HTML=0 "-sEXPORTED_RUNTIME_METHODS=['FS']"
  --shell-file ${web_shell}
  --preload-file ${VELMORA_WEB_DATA}@/data --exclude-file *.mp3 --use-preload-plugins)
set_target_properties(velmora PROPERTIES OUTPUT_NAME index SUFFIX .html
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}
  LINK_DEPENDS "${web_shell};${VELMORA_WEB_DATA}/text/font.bin")
target_link_options(velmora PRIVATE ${web_flags} ${gl_wrapped})
target_sources(velmora PRIVATE ${web_dir}/web_main.cpp)
target_compile_definitions(velmora PRIVATE main=velmoraMain)
# The page draws its loading bar from the sizes of index.wasm and index.data, which a compressed
# answer does not tell.
add_custom_target(velmora_page_sizes ALL
  COMMAND ${CMAKE_COMMAND} -DPAGE=${CMAKE_BINARY_DIR}/index.html -P ${web_dir}/page_sizes.cmake
  VERBATIM)
add_dependencies(velmora_page_sizes velmora)
# The music is not preloaded: the page's audio element streams it from data/music/.
set(web_music ${CMAKE_BINARY_DIR}/data/music/velmora.mp3)
add_custom_command(OUTPUT ${web_music}
  COMMAND ${CMAKE_COMMAND} -E copy ${VELMORA_WEB_DATA}/music/velmora.mp3 ${web_music}
  DEPENDS ${VELMORA_WEB_DATA}/music/velmora.mp3
  VERBATIM)
add_custom_target(velmora_web_music ALL DEPENDS ${web_music})
# The same data gives the same index.js: after each link the packager's random package name
# becomes the data's hash (index.js is rewritten only when that changes it).
add_custom_target(velmora_web_package_name ALL
  COMMAND ${CMAKE_COMMAND} -DSCRIPT=${CMAKE_BINARY_DIR}/index.js -DDATA=${CMAKE_BINARY_DIR}/index.data
    -P ${CMAKE_SOURCE_DIR}/packaging/stable_package_uuid.cmake
  VERBATIM)
add_dependencies(velmora_web_package_name velmora)
