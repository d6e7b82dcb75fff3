# Writes the byte sizes of index.wasm and index.data, found beside PAGE, into the page's
# velmora-bytes line, for its loading bar.
#   cmake -DPAGE=DIR/index.html -P page_sizes.cmake
get_filename_component(dir "${PAGE}" DIRECTORY)
file(SIZE "${dir}/index.wasm" wasm_bytes)
file(SIZE "${dir}/index.data" data_bytes)
file(READ "${PAGE}" page)
string(REGEX REPLACE "content=\"index.wasm=[0-9]+ index.data=[0-9]+\""
  "content=\"index.wasm=${wasm_bytes} index.data=${data_bytes}\"" stamped "${page}")
if(stamped STREQUAL page AND NOT page MATCHES "index.wasm=${wasm_bytes} index.data=${data_bytes}")
  message(FATAL_ERROR "${PAGE} has no velmora-bytes line to fill in")
endif()
file(WRITE "${PAGE}" "${stamped}")
