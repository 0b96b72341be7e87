# The web configuration: the player built for WebAssembly with Debian's emscripten,
#   emcmake cmake -S . -B build/web -DSHOW_WEB_DEPS=~/.cache/show-web-deps
# against the libraries scripts/build-web-deps.sh builds. The same targets as the
# native build are defined here, so the folders' CMakeLists name their libraries alike;
# each platform layer takes its back end from its web/ folder.
set(SHOW_WEB_DEPS "$ENV{HOME}/.cache/show-web-deps" CACHE PATH
    "Prefix of the libraries built by scripts/build-web-deps.sh")
if(NOT EXISTS "${SHOW_WEB_DEPS}/lib/libz.a")
  message(FATAL_ERROR "No web libraries in ${SHOW_WEB_DEPS}: run scripts/build-web-deps.sh first")
endif()

function(show_web_library target)
  cmake_parse_arguments(A "" "" "LIBS;INCLUDES" ${ARGN})
  add_library(${target} INTERFACE IMPORTED GLOBAL)
  set(libs)
  foreach(lib IN LISTS A_LIBS)
    list(APPEND libs "${SHOW_WEB_DEPS}/lib/${lib}")
  endforeach()
  set(includes "${SHOW_WEB_DEPS}/include")
  foreach(dir IN LISTS A_INCLUDES)
    list(APPEND includes "${dir}")
  endforeach()
  set_target_properties(${target} PROPERTIES INTERFACE_LINK_LIBRARIES "${libs}"
                        INTERFACE_INCLUDE_DIRECTORIES "${includes}")
endfunction()

show_web_library(ZLIB::ZLIB LIBS libz.a)
show_web_library(PkgConfig::DEFLATE LIBS libdeflate.a)
show_web_library(PkgConfig::PNG LIBS libpng16.a libz.a INCLUDES "${SHOW_WEB_DEPS}/include/libpng16")
show_web_library(PkgConfig::TURBOJPEG LIBS libturbojpeg.a)
show_web_library(PkgConfig::MPG123 LIBS libmpg123.a)
show_web_library(PkgConfig::SDL2 LIBS libSDL2.a INCLUDES "${SHOW_WEB_DEPS}/include/SDL2")
# OpenGL is WebGL2 through emscripten; the header stands in for libepoxy's.
show_web_library(PkgConfig::EPOXY INCLUDES "${CMAKE_SOURCE_DIR}/platform/d3d9/web/include")
show_web_library(PkgConfig::EGL)
show_web_library(Threads::Threads)

set(SHOW_BACK_END web)
# Exceptions are caught as on the desktop (emscripten ignores them unless told).
add_compile_options(-fexceptions)
add_link_options(-fexceptions)

# The page: WebGL2 (without the flag the context silently falls back to WebGL1), memory
# that grows with the show, the file system the archive is written into, and the
# functions the page's script calls. The browser runs the frame loop (app/web/WebMain.cpp).
function(show_web_player target)
  target_link_options(${target} PRIVATE
    -sMAX_WEBGL_VERSION=2 -sMIN_WEBGL_VERSION=2 -sALLOW_MEMORY_GROWTH=1
    -sINITIAL_MEMORY=134217728 -sTOTAL_STACK=1048576 -sEXIT_RUNTIME=1 -sINVOKE_RUN=0 -sFORCE_FILESYSTEM=1
    -sEXPORTED_RUNTIME_METHODS=callMain,FS,ENV
    -sDEFAULT_LIBRARY_FUNCS_TO_INCLUDE=@${CMAKE_SOURCE_DIR}/cmake/web-library-functions.json
    -sMINIFY_HTML=0 -sENVIRONMENT=web)
  set_target_properties(${target} PROPERTIES SUFFIX ".js")
endfunction()
