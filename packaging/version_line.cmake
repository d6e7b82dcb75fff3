# Writes the header that holds the program's --version line: the version of project(), then the
# commit the sources come from and whether the tree differed from it when the program was built.
# A git checkout answers both; a tree unpacked from the source tarball knows only its commit (git
# archive writes it into commit.txt). The header is rewritten only when the line changes, so a build
# of an unchanged tree recompiles nothing and a commit recompiles one file.
#   cmake -DSOURCE_DIR=DIR -DVERSION=X.Y.Z -DOUTPUT=FILE -P version_line.cmake
foreach(name SOURCE_DIR VERSION OUTPUT)
  if(NOT DEFINED ${name})
    message(FATAL_ERROR "version_line.cmake: ${name} is not given")
  endif()
endforeach()

set(commit "")
set(changed FALSE)
find_program(GIT_PROGRAM git)
if(GIT_PROGRAM)
  # The tree's own checkout only, not a repository that happens to hold an unpacked tarball.
  execute_process(COMMAND ${GIT_PROGRAM} -C ${SOURCE_DIR} rev-parse --show-toplevel
    OUTPUT_VARIABLE top RESULT_VARIABLE status OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  file(REAL_PATH "${SOURCE_DIR}" source_real)
  if(status EQUAL 0)
    file(REAL_PATH "${top}" top)
  endif()
  if(status EQUAL 0 AND top STREQUAL source_real)
    execute_process(COMMAND ${GIT_PROGRAM} -C ${SOURCE_DIR} rev-parse --short=12 HEAD
      OUTPUT_VARIABLE commit RESULT_VARIABLE status OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(NOT status EQUAL 0)
      set(commit "")
    endif()
    # Reading the status must not write the index: a build may run beside the user's git.
    execute_process(COMMAND ${GIT_PROGRAM} --no-optional-locks -C ${SOURCE_DIR} status --porcelain
      OUTPUT_VARIABLE changes RESULT_VARIABLE status ERROR_QUIET)
    if(status EQUAL 0 AND NOT changes STREQUAL "")
      set(changed TRUE)
    endif()
  endif()
endif()
if(commit STREQUAL "" AND EXISTS ${SOURCE_DIR}/packaging/commit.txt)
  file(READ ${SOURCE_DIR}/packaging/commit.txt archived)
  if(archived MATCHES "^([0-9a-f]+)")
    string(SUBSTRING "${CMAKE_MATCH_1}" 0 12 commit)
  endif()
endif()

set(line "velmora ${VERSION}")
if(NOT commit STREQUAL "" AND changed)
  string(APPEND line " (commit ${commit}, with uncommitted changes)")
elseif(NOT commit STREQUAL "")
  string(APPEND line " (commit ${commit})")
endif()
set(content "// Written by the build (packaging/version_line.cmake): the line velmora --version prints.\n#define VELMORA_VERSION_LINE \"${line}\"\n")
if(EXISTS ${OUTPUT})
  file(READ ${OUTPUT} old)
  if(old STREQUAL content)
    return()
  endif()
endif()
file(WRITE ${OUTPUT} "${content}")
