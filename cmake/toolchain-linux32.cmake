# Builds for 32-bit x86 Linux on a 64-bit host with g++-multilib (-m32).
# The system name is left as the host's, so the result runs natively and
# CTest can discover and run the tests.
set(CMAKE_SYSTEM_PROCESSOR i686)
# No -msse2: the 32-bit build must start on processors without SSE2 (and
# without CPUID at all), so doubles are computed on the x87 unit.
set(CMAKE_C_FLAGS_INIT "-m32")
set(CMAKE_CXX_FLAGS_INIT "-m32")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-m32")
