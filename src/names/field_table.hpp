// The field table of --decode from the data file's [Fields.LEAF] sections
// (and [Fields.40000001.SIGNATURE], a hypervisor's own leaf), each key
// SUBLEAVES.REGISTER.BITS and each value name,kind,label.
#pragma once

#include "decode/leaf_fields.hpp"
#include "names/ini_file.hpp"

// Every well-formed field of the data file; a line that cannot be read
// (bits beyond the register, an unknown kind) is skipped.
FieldTable ReadFieldTable(const IniFile& database);

// The fields of those leaves only (a hypervisor's own leaf when 0x40000001 is
// among them), for the outputs that read a few leaves: far cheaper than the
// whole table.
FieldTable ReadFieldTable(const IniFile& database, const std::vector<uint32_t>& leaves);
