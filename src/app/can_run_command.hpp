// --can-run FILE: whether this processor (or the one of "-r DUMP") meets the
// x86-64 level an ELF program says it needs.
#pragma once

#include "app/command_request.hpp"

// Exit status when the program carries no level marker.
constexpr int kNoMarkerStatus = 3;

// 0 runs, 1 does not, 3 no marker, 2 unreadable file or dump, 64 usage error.
int RunCanRun(const CommandRequest& request);
