// The program's release number, as --version and the JSON document give it.
#pragma once

constexpr const char kVeldrixVersion[] = "1.30.0";
