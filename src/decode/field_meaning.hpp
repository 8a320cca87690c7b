// A decoded field in words: its value as written (decimal, or hexadecimal
// for masks, ids and texts) and what the value means where it is coded.
#pragma once

#include "decode/cache_descriptors.hpp"
#include "decode/leaf_fields.hpp"

#include <string>

// "12", "0x0000003F"; a raw register always in hexadecimal.
std::string FieldValueText(const DecodedField& field);

// "data", "12 ways", "64 bytes", "\"Genu\""; empty where the value says
// nothing more than its number. A value a field cannot hold (a reserved
// code, a size beyond counting) is named as such.
std::string FieldMeaning(const DecodedField& field, const DescriptorNames& descriptorNames);

// "eax[4:0]", "edx[31]"; "eax" for a raw register.
std::string FieldBitsText(const DecodedField& field);

// "0x00000004.0"
std::string LeafPlaceText(uint32_t leaf, uint32_t subleaf);

// "eax", "ebx", "ecx", "edx"
const char* RegisterName(int reg);
