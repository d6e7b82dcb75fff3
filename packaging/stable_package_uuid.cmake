# Emscripten's file packager names each data package by a random UUID, written into index.js,
# which its IndexedDB cache alone reads (the page does not use that cache). Replacing it with one
# made from the package's SHA-256 gives the same index.js for the same data, build after build.
#   cmake -DSCRIPT=index.js -DDATA=index.data -P stable_package_uuid.cmake
file(READ ${SCRIPT} script)
file(SHA256 ${DATA} hash)
string(SUBSTRING ${hash} 0 8 a)
string(SUBSTRING ${hash} 8 4 b)
string(SUBSTRING ${hash} 12 4 c)
string(SUBSTRING ${hash} 16 4 d)
string(SUBSTRING ${hash} 20 12 e)
string(REGEX REPLACE "\"package_uuid\":\"[0-9a-f-]+\"" "\"package_uuid\":\"${a}-${b}-${c}-${d}-${e}\"" stable
  "${script}")
if(NOT stable STREQUAL script)
  file(WRITE ${SCRIPT} "${stable}")
endif()
