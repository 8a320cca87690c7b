// The program's release number, as --version and the JSON document give it:
// the version of the CMake project.
#pragma once

constexpr const char kVeldrixVersion[] = VELDRIX_VERSION;
