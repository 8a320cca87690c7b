// --why-not TARGET: what an archspec target needs that this processor (or
// the one of "-r DUMP") lacks.
#pragma once

#include "app/command_request.hpp"

// 0 when nothing is lacking, 1 when something is, 2 unreadable dump, 64 a
// usage error or a target archspec does not name (the known ones are listed).
int RunWhyNot(const CommandRequest& request);
