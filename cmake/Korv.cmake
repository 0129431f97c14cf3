# One static library per layer folder; sources are globbed so adding a unit needs no edit here.
# A folder with no sources yet becomes an interface library, so later layers can name it.
# The layers after name are the ones its files may include from (see korv_check_includes).
function(korv_library name dir)
  set_property(GLOBAL APPEND PROPERTY KORV_LAYERS ${name})
  set_property(GLOBAL PROPERTY KORV_LAYER_DIR_${name} ${dir})
  korv_check_includes(${name} ${dir} LISTED ${ARGN})
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
  korv_check_includes(${name} tests/${dir} BENEATH)
  # Programs the tests start get the leak checker's suppressions too (one property per value:
  # a list would not survive the generated test script).
  set(lsan "LSAN_OPTIONS=reset:")
  if(KORV_SANITIZE)
    set(lsan "LSAN_OPTIONS=set:suppressions=${PROJECT_SOURCE_DIR}/cmake/lsan.supp")
  endif()
  # Labelled by folder, so that ctest -L runs one folder's tests.
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" ENVIRONMENT_MODIFICATION "${lsan}"
               LABELS ${dir})
endfunction()

# The layer order, checked at build time before target compiles (cmake/LayerCheck.cmake): a
# quoted include in dir (relative to the project) may name a header of dir itself or of a layer
# folder that target may use, and a "*Internal.h" only from its own folder. LISTED: the layers
# named are the ones it may use (a layer library). BENEATH: every layer it links, directly or
# through other libraries (a test or tool folder, which may reach below its layer).
# Include directories still pass through links, so that headers including lower layers compile;
# the check is what holds each folder to its list.
set(KORV_LAYER_CHECK_SCRIPT "${CMAKE_CURRENT_LIST_DIR}/LayerCheck.cmake")
function(korv_check_includes target dir mode)
  set_property(GLOBAL APPEND PROPERTY KORV_CHECKS ${target})
  set_property(GLOBAL PROPERTY KORV_CHECK_DIR_${target} ${dir})
  set_property(GLOBAL PROPERTY KORV_CHECK_MODE_${target} ${mode})
  set_property(GLOBAL PROPERTY KORV_CHECK_LISTED_${target} ${ARGN})
  # Every layer and link is known only once the whole project has been read.
  get_property(deferred GLOBAL PROPERTY KORV_CHECKS_DEFERRED)
  if(NOT deferred)
    set_property(GLOBAL PROPERTY KORV_CHECKS_DEFERRED TRUE)
    cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR} CALL _korv_add_include_checks)
  endif()
endfunction()

# The shared test helpers: one folder of several libraries, each held to the layers it links
# (BENEATH): its sources with their headers of the same name. A header no library compiles (a
# header-only helper) is held to the first library's layers, the helpers every test links.
function(korv_check_helper_includes dir)
  file(GLOB headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${dir}/*.h)
  set(unclaimed ${headers})
  foreach(lib ${ARGN})
    get_target_property(srcs ${lib} SOURCES)
    set(files)
    foreach(src ${srcs})
      get_filename_component(src "${src}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
      string(REGEX REPLACE "\\.cpp$" ".h" header "${src}")
      list(APPEND files "${src}")
      if(header IN_LIST headers)
        list(APPEND files "${header}")
        list(REMOVE_ITEM unclaimed "${header}")
      endif()
    endforeach()
    set_property(GLOBAL PROPERTY KORV_CHECK_FILES_${lib} ${files})
    korv_check_includes(${lib} ${dir} BENEATH)
  endforeach()
  list(GET ARGN 0 first)
  set_property(GLOBAL APPEND PROPERTY KORV_CHECK_FILES_${first} ${unclaimed})
endfunction()

# The layers target links, through any library in between.
function(_korv_layers_beneath target out)
  set(seen)
  set(todo ${target})
  set(found)
  while(todo)
    list(POP_FRONT todo t)
    if(t IN_LIST seen OR NOT TARGET ${t})
      continue()
    endif()
    get_target_property(imported ${t} IMPORTED)
    if(imported)
      continue()
    endif()
    list(APPEND seen ${t})
    get_property(layer_dir GLOBAL PROPERTY KORV_LAYER_DIR_${t})
    if(layer_dir AND NOT t STREQUAL target)
      list(APPEND found ${t})
    endif()
    get_target_property(type ${t} TYPE)
    set(links)
    if(NOT type STREQUAL "INTERFACE_LIBRARY")
      get_target_property(direct ${t} LINK_LIBRARIES)
      if(direct)
        list(APPEND links ${direct})
      endif()
    endif()
    get_target_property(iface ${t} INTERFACE_LINK_LIBRARIES)
    if(iface)
      list(APPEND links ${iface})
    endif()
    foreach(l ${links})
      string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" l "${l}")
      list(APPEND todo ${l})
    endforeach()
  endwhile()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

function(_korv_add_include_checks)
  get_property(layers GLOBAL PROPERTY KORV_LAYERS)
  set(layer_dirs)
  foreach(l ${layers})
    get_property(d GLOBAL PROPERTY KORV_LAYER_DIR_${l})
    list(APPEND layer_dirs ${d})
  endforeach()
  get_property(checks GLOBAL PROPERTY KORV_CHECKS)
  foreach(target ${checks})
    get_property(dir GLOBAL PROPERTY KORV_CHECK_DIR_${target})
    get_property(mode GLOBAL PROPERTY KORV_CHECK_MODE_${target})
    if(mode STREQUAL "LISTED")
      get_property(uses GLOBAL PROPERTY KORV_CHECK_LISTED_${target})
    else()
      _korv_layers_beneath(${target} uses)
    endif()
    set(allowed)
    foreach(l ${uses})
      get_property(d GLOBAL PROPERTY KORV_LAYER_DIR_${l})
      if(NOT d)
        message(FATAL_ERROR "${target} lists ${l}, which is not a layer library")
      endif()
      list(APPEND allowed ${d})
    endforeach()
    # A folder shared by several targets names each one's files; otherwise the folder's all.
    get_property(only GLOBAL PROPERTY KORV_CHECK_FILES_${target})
    set(files ${only})
    if(NOT only)
      file(GLOB files CONFIGURE_DEPENDS
           ${PROJECT_SOURCE_DIR}/${dir}/*.h ${PROJECT_SOURCE_DIR}/${dir}/*.cpp)
    endif()
    set(input "${PROJECT_BINARY_DIR}/layer-check/${target}.cmake")
    set(stamp "${PROJECT_BINARY_DIR}/layer-check/${target}.ok")
    # Rewritten only when it changes, so an unchanged project is not checked again.
    file(WRITE "${input}.tmp"
"set(KORV_ROOT \"${PROJECT_SOURCE_DIR}\")
set(KORV_TARGET \"${target}\")
set(KORV_DIR \"${dir}\")
set(KORV_USES \"${uses}\")
set(KORV_ALLOWED_DIRS \"${allowed}\")
set(KORV_LAYERS \"${layers}\")
set(KORV_LAYER_DIRS \"${layer_dirs}\")
set(KORV_STAMP \"${stamp}\")
set(KORV_FILES \"${only}\")
")
    file(COPY_FILE "${input}.tmp" "${input}" ONLY_IF_DIFFERENT)
    file(REMOVE "${input}.tmp")
    add_custom_command(OUTPUT "${stamp}"
      COMMAND ${CMAKE_COMMAND} -DKORV_LAYER_CHECK_INPUT=${input} -P ${KORV_LAYER_CHECK_SCRIPT}
      DEPENDS ${files} "${input}" "${KORV_LAYER_CHECK_SCRIPT}"
      COMMENT "Checking the includes of ${dir} against the layers of ${target}"
      VERBATIM)
    add_custom_target(${target}_includes ALL DEPENDS "${stamp}")
    add_dependencies(${target} ${target}_includes)
  endforeach()
endfunction()

# Puts form description files inside TARGET: each becomes a generated source holding its text,
# registered at start-up under its root class name and its file name (FindFormDescription).
set(KORV_CMAKE_FILE "${CMAKE_CURRENT_LIST_FILE}")
function(korv_embed_descriptions target)
  _korv_embed(${target} RegisterFormDescription ${ARGN})
endfunction()

# Puts the program's icon renderings (PNG files) inside TARGET, registered at start-up as the
# icon of every window (ProgramIdentity.h), so it shows without an install.
function(korv_embed_icons target)
  _korv_embed(${target} RegisterProgramIcon ${ARGN})
endfunction()

# Each file becomes a generated source holding its bytes, handed at start-up to
# register(fileName, bytes, length).
function(_korv_embed target register)
  foreach(file ${ARGN})
    get_filename_component(abs "${file}" ABSOLUTE)
    get_filename_component(name "${file}" NAME)
    string(MAKE_C_IDENTIFIER "${name}" ident)
    set(out "${CMAKE_CURRENT_BINARY_DIR}/embedded/${target}_${ident}.cpp")
    add_custom_command(OUTPUT "${out}"
      COMMAND ${CMAKE_COMMAND} -DKORV_EMBED_IN=${abs} -DKORV_EMBED_OUT=${out}
              -DKORV_EMBED_NAME=${name} -DKORV_EMBED_REGISTER=${register} -P ${KORV_CMAKE_FILE}
      DEPENDS "${abs}" "${KORV_CMAKE_FILE}"
      COMMENT "Embedding ${name}"
      VERBATIM)
    target_sources(${target} PRIVATE "${out}")
  endforeach()
endfunction()

# Run as a script by _korv_embed: writes one file's bytes as a source file.
if(CMAKE_SCRIPT_MODE_FILE AND DEFINED KORV_EMBED_OUT)
  file(READ "${KORV_EMBED_IN}" hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){16})" "\\1\n    " bytes "${bytes}")
  string(LENGTH "${hex}" digits)
  math(EXPR length "${digits} / 2")
  file(WRITE "${KORV_EMBED_OUT}.tmp"
"// Generated from ${KORV_EMBED_NAME} by _korv_embed; do not edit.
#include <cstddef>

void ${KORV_EMBED_REGISTER}(const char* fileName, const char* bytes, std::size_t length);

namespace {
const unsigned char kBytes[] = {
    ${bytes}0x00};
struct Registrar {
  Registrar() {
    ${KORV_EMBED_REGISTER}(\"${KORV_EMBED_NAME}\", reinterpret_cast<const char*>(kBytes), ${length});
  }
} registrar;
}  // namespace
")
  file(COPY_FILE "${KORV_EMBED_OUT}.tmp" "${KORV_EMBED_OUT}" ONLY_IF_DIFFERENT)
  file(REMOVE "${KORV_EMBED_OUT}.tmp")
endif()
