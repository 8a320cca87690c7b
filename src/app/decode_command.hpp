// veldrix --decode [--json]: every documented field of every leaf of the
// first processor, what the other processors differ in, and their ids.
#pragma once

#include "app/command_request.hpp"

int RunDecode(const CommandRequest& request);
