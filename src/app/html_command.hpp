// --html FILE: the page of this machine's processor or of the dump, written
// whole or not at all.
#pragma once

#include "app/command_request.hpp"

int RunHtml(const CommandRequest& request);
