# The program is built from one static library per folder of src/, each
# allowed to use only the folders named after USES (and what those use in
# turn). The rule is kept by the compiler itself: a library's sources see
# the headers through a folder of the build tree that holds links to exactly
# the folders it may use, so an include of any other folder's header is a
# file the compiler cannot find.
#
#   veldrix_layer(NAME [USES LOWER...] [SOURCES FILE...])
#
# Without SOURCES, every .cpp file of src/NAME is built. Layers are declared
# from the bottom up, so that each one's USES are known.

set(VELDRIX_LAYER_VIEWS ${CMAKE_BINARY_DIR}/layers)

# The folder of links through which a layer sees src/: its own folder and
# those its layer may use.
function(veldrix_layer_view name folders)
  set(view ${VELDRIX_LAYER_VIEWS}/${name})
  file(REMOVE_RECURSE ${view})
  file(MAKE_DIRECTORY ${view})
  foreach(folder ${folders})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/src/${folder} ${view}/${folder} SYMBOLIC)
  endforeach()
endfunction()

function(veldrix_layer name)
  cmake_parse_arguments(LAYER "" "" "USES;SOURCES" ${ARGN})
  set(sees ${name})
  foreach(lower ${LAYER_USES})
    get_property(lower_sees GLOBAL PROPERTY VELDRIX_LAYER_SEES_${lower})
    if(NOT lower_sees)
      message(FATAL_ERROR "layer ${name} uses ${lower}, which is not declared below it")
    endif()
    list(APPEND sees ${lower_sees})
  endforeach()
  list(REMOVE_DUPLICATES sees)
  set_property(GLOBAL PROPERTY VELDRIX_LAYER_SEES_${name} ${sees})
  veldrix_layer_view(${name} "${sees}")

  if(NOT LAYER_SOURCES)
    file(GLOB LAYER_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${name}/*.cpp)
  endif()
  add_library(veldrix_${name} STATIC ${LAYER_SOURCES})
  target_include_directories(veldrix_${name} PRIVATE ${VELDRIX_LAYER_VIEWS}/${name})
  foreach(lower ${LAYER_USES})
    target_link_libraries(veldrix_${name} PUBLIC veldrix_${lower})
  endforeach()
endfunction()

# The platform floor: one implementation per operating system, and the
# processor instructions every system shares.
if(WIN32)
  set(VELDRIX_PLATFORM_SOURCE ${CMAKE_SOURCE_DIR}/src/platform/platform_win32.cpp)
else()
  set(VELDRIX_PLATFORM_SOURCE ${CMAKE_SOURCE_DIR}/src/platform/platform_posix.cpp)
endif()
veldrix_layer(platform SOURCES ${VELDRIX_PLATFORM_SOURCE} ${CMAKE_SOURCE_DIR}/src/platform/x86_processor.cpp
               ${CMAKE_SOURCE_DIR}/src/platform/kernel_reports.cpp)
veldrix_layer(common)
veldrix_layer(console USES platform common)
veldrix_layer(cpuid USES platform common)
veldrix_layer(decode USES cpuid common)
veldrix_layer(names USES decode cpuid common platform)
veldrix_layer(elf)
veldrix_layer(bench USES platform common)
veldrix_layer(outputs USES decode console common)
veldrix_layer(classic USES names decode cpuid bench console common platform)
file(GLOB VELDRIX_APP_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/app/*.cpp)
list(FILTER VELDRIX_APP_SOURCES EXCLUDE REGEX "/src/app/main\\.cpp$")
veldrix_layer(app USES classic outputs elf names decode cpuid bench console common platform
              SOURCES ${VELDRIX_APP_SOURCES})
