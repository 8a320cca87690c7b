#include "reports/html_fixtures.hpp"

#include "reports/report_support.hpp"

namespace {

// Vendor texts as leaf 0 returns them in EBX, EDX, ECX.
constexpr uint32_t kGenu = 0x756E6547; // "Genu"
constexpr uint32_t kIneI = 0x49656E69; // "ineI"
constexpr uint32_t kNtel = 0x6C65746E; // "ntel"
constexpr uint32_t kIneT = 0x54656E69; // "ineT"
constexpr uint32_t kMx86 = 0x3638784D; // "Mx86"
constexpr uint32_t kAuth = 0x68747541; // "Auth"
constexpr uint32_t kEnti = 0x69746E65; // "enti"
constexpr uint32_t kCAMD = 0x444D4163; // "cAMD"

} // namespace

const char kReportTestDatabase[] = "[DATInfo]\r\n"
                                   "Version=report test\r\n"
                                   "[Vendor]\r\n"
                                   "GenuineIntel=Intel\r\n"
                                   "GenuineTMx86=Transmeta\r\n"
                                   "[VendorIntel]\r\n"
                                   "????????????????????????????????=Test P5 Processor\r\n"
                                   "[VendorTransmeta]\r\n"
                                   "????????????????????????????????=Test Crusoe\r\n"
                                   "[ExtVendorTransmeta]\r\n"
                                   "????????????????????????????????=Test Crusoe Extended\r\n"
                                   "[StandardFeatures]\r\n"
                                   "0=FPU\r\n"
                                   "4=TSC\r\n"
                                   "8=CX8\r\n"
                                   "9=APIC\r\n"
                                   "18=PSN\r\n"
                                   "19=CLFSH\r\n"
                                   "23=MMX\r\n"
                                   "28=HTT\r\n"
                                   "[ExtendedFeatures]\r\n"
                                   "11=SYSCALL\r\n"
                                   "31=3DNow!\r\n"
                                   "[EnhancedPowerManagement]\r\n"
                                   "0=TS\r\n"
                                   "1=FID\r\n"
                                   "3=TTP\r\n"
                                   "[TransmetaFeatures]\r\n"
                                   "0=Recovery\r\n"
                                   "1=LongRun\r\n"
                                   "[CacheSizeTLB]\r\n"
                                   "01=Instruction TLB: 4 KB pages, 4-way, 32 entries\r\n"
                                   "43=2nd-level cache: 512 KB, 4-way, 32 byte lines\r\n";

CpuidTable OnlyLeavesZeroAndOne() {
    // Leaf 1 EDX: FPU (bit 0), TSC (bit 4), MMX (bit 23); CX8 (bit 8) clear.
    return CpuidTable{
        {0x00000000, {1, kGenu, kNtel, kIneI}},
        {0x00000001, {0x00000543, 0, 0, 0x00800011}},
    };
}

CpuidTable EverySectionTransmeta() {
    CpuidTable table{
        {0x00000000, {3, kGenu, kMx86, kIneT}},
        // EBX: APIC ID 3, 2 logical processors, CLFLUSH 8 quadwords, brand 1.
        // EDX: FPU, TSC, APIC, PSN, CLFSH, HTT set; MMX clear.
        {0x00000001, {0x00000543, 0x03020801, 0, 0x100C0211}},
        // Descriptor 0x43 in EAX, 0x01 in EDX.
        {0x00000002, {0x00004301, 0, 0, 0x00000001}},
        {0x00000003, {0, 0, 0x9ABCDEF0, 0x12345678}},
        {0x80000000, {0x80000008, 0, 0, 0}},
        // EDX: SYSCALL (bit 11) set, 3DNow! (bit 31) clear.
        {0x80000001, {0x00000543, 0, 0, 0x00000800}},
        {0x80000005, {0xFF08FF10, 0x04200220, 0x40020140, 0x40FF0140}},
        {0x80000006, {0x62003400, 0x0000FFFF, 0x01008140, 0}},
        // EDX: TS (bit 0) set, FID (bit 1) clear, TTP (bit 3) set.
        {0x80000007, {0, 0, 0, 0x00000009}},
        // 36 physical, 48 linear address bits.
        {0x80000008, {0x00003024, 0, 0, 0}},
        {0x80860000, {0x80860007, 0x6E617254, 0x55504361, 0x74656D73}},
        // Hardware revision 1.2-3.4, 933 MHz, Recovery set, LongRun clear.
        {0x80860001, {0x00000543, 0x01020304, 933, 0x00000001}},
        {0x80860002, {0, 0x0A0B0C0D, 0x12345678, 0}},
        {0x80860007, {600, 1350, 85, 0}},
    };
    AddBrandLeaves(table, "  Test Processor TM5800");
    AddTransmetaInfoLeaves(table, "Test firmware 4.2.4");
    return table;
}

CpuidTable AmdUpToPowerLeaf() {
    CpuidTable table{
        {0x00000000, {1, kAuth, kCAMD, kEnti}},
        // EDX: bits 0, 15, 23; no time-stamp counter, so no measured speed.
        {0x00000001, {0x00000662, 0, 0, 0x00808001}},
        {0x80000000, {0x80000007, 0, 0, 0}},
        // EDX: bits 11, 22, 30, 31.
        {0x80000001, {0x00000762, 0, 0, 0xC0400800}},
        // No 4M/2M TLBs (EAX 0) and no code cache (EDX 0).
        {0x80000005, {0, 0x04200410, 0x40020140, 0}},
        // No 4M/2M TLBs (EAX 0).
        {0x80000006, {0, 0x41002100, 0x01004140, 0}},
        // EDX: bits 0 and 2 set, bit 1 clear, bit 3 set (never reported).
        {0x80000007, {0, 0, 0, 0x0000000D}},
    };
    AddBrandLeaves(table, "AMD Test Processor");
    return table;
}

std::string ExpectedReportHead() {
    return Crlf(R"(<html>
 <head>
  <meta http-equiv="Content-Type" content="text/html; charset=iso-8859-1">
  <meta name=author content="VELDRIX developers">
  <meta name=generator content="VELDRIX v1.23">
  <title>VELDRIX System Report</title>
  <style>
    TD.header { font: bold 125% Tahoma, Verdana, Arial; color: #000090}
    TD.title  { font: bold 110% Tahoma, Verdana, Arial; color: #0066FF}
    TD.field  { font: bold  80% Tahoma, Verdana, Arial; color: #000000}
    TD.value  { font: bold  80% Tahoma, Verdana, Arial; color: #808080}
    TD.valyes { font: bold  80% Tahoma, Verdana, Arial; color: #008000}
    TD.valno  { font: bold  80% Tahoma, Verdana, Arial; color: #800000}
    TD.copyright { font: bold  70% Tahoma, Verdana, Arial; color: #000080}
  </style>
 </head>
 <body text="#000000" bgcolor="#FFFFFF" background="">
   <table width=95% border=0 align=center>
     <tr>
       <td align=center colspan=3 class=header>
          VELDRIX SYSTEM REPORT<br><hr size=1 color=808080>
       </td>
     </tr>
     <tr>
       <td width=15><br></td>
       <td colspan=2><br></td>
     </tr>
)");
}

std::string ExpectedReportFoot() {
    return Crlf(R"(     <tr>
       <td colspan=3><br></td>
     </tr>
     <tr>
       <td align=center colspan=3 class=copyright>
          <hr size=1 color=808080>
          Generated by VELDRIX v1.30<br>
          Written by the VELDRIX developers<br>
       </td>
     </tr>
   </table>
 </body>
</html>
)");
}
