# Proves that the layers are kept by the compiler: a source of one layer that
# includes a header of a layer it may use compiles, and one that includes a
# header of a layer above it (or beside it) does not find that header.
#
#   cmake -DCXX=compiler -DVIEWS=build/layers -DSOURCE_DIR=src -DWORK=dir -P layer-check.cmake

cmake_minimum_required(VERSION 3.20)

# layer, header it may include, header it may not include
set(CASES
  "decode|cpuid/snapshot.hpp|classic/record.hpp"
  "decode|decode/topology.hpp|names/processor_db.hpp"
  "decode|common/text_format.hpp|console/console_io.hpp"
  "cpuid|platform/platform.hpp|decode/identity.hpp"
  "outputs|decode/capabilities.hpp|classic/record.hpp"
  "names|decode/capabilities.hpp|outputs/capability_output.hpp"
  "bench|platform/platform.hpp|console/console_io.hpp"
  "classic|names/processor_db.hpp|app/program.hpp")

file(MAKE_DIRECTORY ${WORK})
set(failures 0)
foreach(case ${CASES})
  string(REPLACE "|" ";" fields "${case}")
  list(GET fields 0 layer)
  list(GET fields 1 allowed)
  list(GET fields 2 forbidden)
  foreach(kind allowed forbidden)
    set(source ${WORK}/${layer}-${kind}.cpp)
    file(WRITE ${source} "#include \"${${kind}}\"\n")
    execute_process(COMMAND ${CXX} -std=c++17 -fsyntax-only -I ${VIEWS}/${layer} ${source}
                    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(kind STREQUAL "allowed" AND NOT status EQUAL 0)
      message(SEND_ERROR "${layer} cannot include ${allowed}, which its layer may use:\n${out}")
      math(EXPR failures "${failures} + 1")
    elseif(kind STREQUAL "forbidden" AND status EQUAL 0)
      message(SEND_ERROR "${layer} includes ${forbidden}, which its layer may not use")
      math(EXPR failures "${failures} + 1")
    elseif(kind STREQUAL "forbidden" AND NOT out MATCHES "No such file")
      message(SEND_ERROR "${layer} including ${forbidden} failed for another reason:\n${out}")
      math(EXPR failures "${failures} + 1")
    endif()
  endforeach()
endforeach()
list(LENGTH CASES count)
if(failures GREATER 0)
  message(FATAL_ERROR "${failures} layer checks failed")
endif()
message(STATUS "${count} layers: every allowed include compiles, every forbidden one is not found")
