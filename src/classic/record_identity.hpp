// Identity decoding: signature splits, type, brand and database names, serial.
#pragma once

#include "classic/record.hpp"
#include "names/ini_file.hpp"

#include <cstdint>
#include <string>

// Splits of leaf 1 and leaf 0x80000001 into the record, done as they are read.
void SplitStandardSignature(ProcessorRecord& record, const CpuidRegs& leaf1);
void SplitExtendedSignature(ProcessorRecord& record, uint32_t eax);

// typeName, vendorName, extVendorName and brandName.
void DecodeIdentityNames(ProcessorRecord& record, const IniFile& database);

// serialText: six groups of four hex digits joined by "-".
void FormatSerialNumber(ProcessorRecord& record);

std::string TypeNameOf(uint8_t procType);
std::string BrandNameOf(uint8_t brandId, const std::string& vendorId, uint8_t family, uint8_t model,
                        uint8_t stepping);
