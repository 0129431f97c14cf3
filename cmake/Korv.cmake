# One static library per layer folder; sources are globbed so adding a unit needs no edit here.
# A folder with no sources yet becomes an interface library, so later layers can name it.
function(korv_library name dir)
  file(GLOB srcs CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${dir}/*.cpp)
  if(srcs)
    add_library(${name} STATIC ${srcs})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/${dir})
    if(ARGN)
      target_link_libraries(${name} PUBLIC ${ARGN})
    endif()
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/${dir})
    if(ARGN)
      target_link_libraries(${name} INTERFACE ${ARGN})
    endif()
  endif()
endfunction()

# One test executable per layer folder under tests/; skipped while the folder is empty.
function(korv_tests name dir)
  file(GLOB srcs CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/${dir}/*.cpp)
  if(NOT srcs)
    return()
  endif()
  add_executable(${name} ${srcs})
  target_link_libraries(${name} PRIVATE korv_testmain ${ARGN})
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# Puts form description files inside TARGET: each becomes a generated source holding its text,
# registered at start-up under its root class name and its file name (FindFormDescription).
set(KORV_CMAKE_FILE "${CMAKE_CURRENT_LIST_FILE}")
function(korv_embed_descriptions target)
  foreach(file ${ARGN})
    get_filename_component(abs "${file}" ABSOLUTE)
    get_filename_component(name "${file}" NAME)
    string(MAKE_C_IDENTIFIER "${name}" ident)
    set(out "${CMAKE_CURRENT_BINARY_DIR}/embedded/${target}_${ident}.cpp")
    add_custom_command(OUTPUT "${out}"
      COMMAND ${CMAKE_COMMAND} -DKORV_EMBED_IN=${abs} -DKORV_EMBED_OUT=${out}
              -DKORV_EMBED_NAME=${name} -P ${KORV_CMAKE_FILE}
      DEPENDS "${abs}" "${KORV_CMAKE_FILE}"
      COMMENT "Embedding ${name}"
      VERBATIM)
    target_sources(${target} PRIVATE "${out}")
  endforeach()
endfunction()

# Run as a script by korv_embed_descriptions: writes one description's text as a source file.
if(CMAKE_SCRIPT_MODE_FILE AND DEFINED KORV_EMBED_OUT)
  file(READ "${KORV_EMBED_IN}" hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){16})" "\\1\n    " bytes "${bytes}")
  string(LENGTH "${hex}" digits)
  math(EXPR length "${digits} / 2")
  file(WRITE "${KORV_EMBED_OUT}.tmp"
"// Generated from ${KORV_EMBED_NAME} by korv_embed_descriptions; do not edit.
#include <cstddef>

void RegisterFormDescription(const char* fileName, const char* utf8Text, std::size_t length);

namespace {
const unsigned char kText[] = {
    ${bytes}0x00};
struct Registrar {
  Registrar() {
    RegisterFormDescription(\"${KORV_EMBED_NAME}\", reinterpret_cast<const char*>(kText), ${length});
  }
} registrar;
}  // namespace
")
  file(COPY_FILE "${KORV_EMBED_OUT}.tmp" "${KORV_EMBED_OUT}" ONLY_IF_DIFFERENT)
  file(REMOVE "${KORV_EMBED_OUT}.tmp")
endif()
