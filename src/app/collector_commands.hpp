// The options that feed the engines a fleet runs: --nfd (Node Feature
// Discovery's features file) and its "--output DIR" and "--expiry
// DURATION", each also after "-r DUMP".
#pragma once

#include "app/command_request.hpp"

// A label the program built that breaks Kubernetes' label rules.
constexpr int kInvalidOutputStatus = 70;

int RunNfd(const CommandRequest& request);
