// The options that compare processors: --diff A B and --baseline PATH...,
// each followed by --json for the JSON document instead of text.
#pragma once

#include "app/command_request.hpp"

// Exit status 0 when B has every feature and the level of A, 1 when not,
// 2 when a dump cannot be read, 64 on a usage error.
int RunDiff(const CommandRequest& request);

// Exit status 0 when at least one machine was read, 2 when none could be,
// 64 on a usage error.
int RunBaseline(const CommandRequest& request);
