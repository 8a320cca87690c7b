// The options that feed the engines a fleet runs: --nfd (Node Feature
// Discovery's features file, with "--output DIR" and "--expiry DURATION")
// and --prometheus (node_exporter's textfile collector, with "--output
// DIR"), each also after "-r DUMP".
#pragma once

#include "app/command_request.hpp"

// A label the program built that breaks Kubernetes' label rules.
constexpr int kInvalidOutputStatus = 70;

int RunNfd(const CommandRequest& request);

int RunPrometheus(const CommandRequest& request);
