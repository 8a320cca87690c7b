// The Dhrystone 2.1 kernel: the published types, globals, procedures and
// main loop. Enumerations, subranges and the main loop's integer locals are
// single unsigned bytes whose arithmetic wraps at 8 bits; Int_Glob and the
// arrays are signed 32-bit; strings are 30 characters without a length and
// compare byte by byte. Names follow the published program so that it can be
// checked statement by statement.
#include "bench/bench.hpp"
#include "bench/procedure.hpp"

#include <cstring>

namespace dhrystone {

enum class Enumeration : uint8_t { Ident_1, Ident_2, Ident_3, Ident_4, Ident_5 };

using OneToThirty = uint8_t;
using OneToFifty = uint8_t;
using CapitalLetter = char;

// Characters indexed 1 to 30.
struct Str30 {
    char text[30];
    char operator[](int index) const { return text[index - 1]; }
};

// Arrays indexed 1 to 50, the second one stored row by row.
struct Arr1Dim {
    int32_t element[50];
    int32_t& operator[](int index) { return element[index - 1]; }
};

struct Arr2Dim {
    Arr1Dim row[50];
    Arr1Dim& operator[](int index) { return row[index - 1]; }
};

struct Record {
    Record* Ptr_Comp;
    Enumeration Discr;
    Enumeration Enum_Comp;
    OneToFifty Int_Comp;
    Str30 Str_Comp;
};

// 40 bytes with the 32-bit pointers of the original target; a wider pointer
// makes the record wider by the same amount.
static_assert(sizeof(void*) != 4 || sizeof(Record) == 40, "Record is 40 bytes on a 32-bit target");

// Locals of the main program, kept once the loop has ended.
struct MainLocals {
    OneToFifty Int_1_Loc;
    OneToFifty Int_2_Loc;
    OneToFifty Int_3_Loc;
    Enumeration Enum_Loc;
    Str30 Str_1_Loc;
    Str30 Str_2_Loc;
};

const Str30 kSomeString = {{'D', 'H', 'R', 'Y', 'S', 'T', 'O', 'N', 'E', ' ', 'P', 'R', 'O', 'G', 'R',
                            'A', 'M', ',', ' ', 'S', 'O', 'M', 'E', ' ', 'S', 'T', 'R', 'I', 'N', 'G'}};
const Str30 kFirstString = {{'D', 'H', 'R', 'Y', 'S', 'T',  'O', 'N', 'E', ' ', 'P', 'R', 'O', 'G', 'R',
                             'A', 'M', ',', ' ', '1', '\'', 'S', 'T', ' ', 'S', 'T', 'R', 'I', 'N', 'G'}};
const Str30 kSecondString = {{'D', 'H', 'R', 'Y', 'S', 'T',  'O', 'N', 'E', ' ', 'P', 'R', 'O', 'G', 'R',
                              'A', 'M', ',', ' ', '2', '\'', 'N', 'D', ' ', 'S', 'T', 'R', 'I', 'N', 'G'}};
const Str30 kThirdString = {{'D', 'H', 'R', 'Y', 'S', 'T',  'O', 'N', 'E', ' ', 'P', 'R', 'O', 'G', 'R',
                             'A', 'M', ',', ' ', '3', '\'', 'R', 'D', ' ', 'S', 'T', 'R', 'I', 'N', 'G'}};

// Program-wide state of the benchmark.
Record* Ptr_Glob = nullptr;
Record* Next_Ptr_Glob = nullptr;
int32_t Int_Glob = 0;
bool Bool_Glob = false;
char Ch_1_Glob = 0;
char Ch_2_Glob = 0;
Arr1Dim Arr_1_Glob;
Arr2Dim Arr_2_Glob;
int32_t Run_Index = 0;
MainLocals Last_Locals;
// A string assignment copies all 30 characters.
void StrAssign(Str30& target, const Str30& source) {
    std::memcpy(target.text, source.text, sizeof target.text);
}

// Byte by byte over all 30 characters, unsigned: >0 when left is greater.
int StrCompare(const Str30& left, const Str30& right) {
    return std::memcmp(left.text, right.text, sizeof left.text);
}

BENCH_PROCEDURE bool Func_3(Enumeration Enum_Par_Val) {
    Enumeration Enum_Loc = Enum_Par_Val;
    if (Enum_Loc == Enumeration::Ident_3) {
        return true;
    }
    return false;
}

BENCH_PROCEDURE Enumeration Func_1(CapitalLetter Ch_1_Par_Val, CapitalLetter Ch_2_Par_Val) {
    CapitalLetter Ch_1_Loc = Ch_1_Par_Val;
    CapitalLetter Ch_2_Loc = Ch_1_Loc;
    if (Ch_2_Loc != Ch_2_Par_Val) {
        return Enumeration::Ident_1;
    }
    Ch_1_Glob = Ch_1_Loc;
    return Enumeration::Ident_2;
}

BENCH_PROCEDURE bool Func_2(const Str30& Str_1_Par_Ref, const Str30& Str_2_Par_Ref) {
    OneToThirty Int_Loc = 2;
    CapitalLetter Ch_Loc = 0;
    while (Int_Loc <= 2) {
        if (Func_1(Str_1_Par_Ref[Int_Loc], Str_2_Par_Ref[Int_Loc + 1]) == Enumeration::Ident_1) {
            Ch_Loc = 'A';
            Int_Loc = static_cast<OneToThirty>(Int_Loc + 1);
        }
    }
    if (Ch_Loc >= 'W' && Ch_Loc < 'Z') {
        Int_Loc = 7;
    }
    if (Ch_Loc == 'R') {
        return true;
    }
    if (StrCompare(Str_1_Par_Ref, Str_2_Par_Ref) > 0) {
        Int_Loc = static_cast<OneToThirty>(Int_Loc + 7);
        Int_Glob = Int_Loc;
        return true;
    }
    return false;
}

BENCH_PROCEDURE void Proc_7(OneToFifty Int_1_Par_Val, OneToFifty Int_2_Par_Val, OneToFifty* Int_Par_Ref) {
    OneToFifty Int_Loc = static_cast<OneToFifty>(Int_1_Par_Val + 2);
    *Int_Par_Ref = static_cast<OneToFifty>(Int_2_Par_Val + Int_Loc);
}

BENCH_PROCEDURE void Proc_6(Enumeration Enum_Val_Par, Enumeration* Enum_Ref_Par) {
    *Enum_Ref_Par = Enum_Val_Par;
    if (!Func_3(Enum_Val_Par)) {
        *Enum_Ref_Par = Enumeration::Ident_4;
    }
    switch (Enum_Val_Par) {
    case Enumeration::Ident_1:
        *Enum_Ref_Par = Enumeration::Ident_1;
        break;
    case Enumeration::Ident_2:
        if (Int_Glob > 100) {
            *Enum_Ref_Par = Enumeration::Ident_1;
        } else {
            *Enum_Ref_Par = Enumeration::Ident_4;
        }
        break;
    case Enumeration::Ident_3:
        *Enum_Ref_Par = Enumeration::Ident_2;
        break;
    case Enumeration::Ident_4:
        break;
    case Enumeration::Ident_5:
        *Enum_Ref_Par = Enumeration::Ident_3;
        break;
    }
}

BENCH_PROCEDURE void Proc_8(Arr1Dim& Arr_1_Par_Ref, Arr2Dim& Arr_2_Par_Ref, OneToFifty Int_1_Par_Val,
                            OneToFifty Int_2_Par_Val) {
    OneToFifty Int_Loc = static_cast<OneToFifty>(Int_1_Par_Val + 5);
    Arr_1_Par_Ref[Int_Loc] = Int_2_Par_Val;
    Arr_1_Par_Ref[Int_Loc + 1] = Arr_1_Par_Ref[Int_Loc];
    Arr_1_Par_Ref[Int_Loc + 30] = Int_Loc;
    for (OneToFifty Int_Index = Int_Loc; Int_Index <= Int_Loc + 1;
         Int_Index = static_cast<OneToFifty>(Int_Index + 1)) {
        Arr_2_Par_Ref[Int_Loc][Int_Index] = Int_Loc;
    }
    Arr_2_Par_Ref[Int_Loc][Int_Loc - 1] += 1;
    Arr_2_Par_Ref[Int_Loc + 20][Int_Loc] = Arr_1_Par_Ref[Int_Loc];
    Int_Glob = 5;
}

BENCH_PROCEDURE void Proc_3(Record** Ptr_Ref_Par) {
    if (Ptr_Glob != nullptr) {
        *Ptr_Ref_Par = Ptr_Glob->Ptr_Comp;
    }
    Proc_7(10, static_cast<OneToFifty>(Int_Glob), &Ptr_Glob->Int_Comp);
}

BENCH_PROCEDURE void Proc_1(Record* Ptr_Val_Par) {
    Record* Next_Record = Ptr_Val_Par->Ptr_Comp;
    *Ptr_Val_Par->Ptr_Comp = *Ptr_Glob;
    Ptr_Val_Par->Int_Comp = 5;
    Next_Record->Int_Comp = Ptr_Val_Par->Int_Comp;
    Next_Record->Ptr_Comp = Ptr_Val_Par->Ptr_Comp;
    Proc_3(&Next_Record->Ptr_Comp);
    if (Next_Record->Discr == Enumeration::Ident_1) {
        Next_Record->Int_Comp = 6;
        Proc_6(Ptr_Val_Par->Enum_Comp, &Next_Record->Enum_Comp);
        Next_Record->Ptr_Comp = Ptr_Glob->Ptr_Comp;
        Proc_7(Next_Record->Int_Comp, 10, &Next_Record->Int_Comp);
    } else {
        *Ptr_Val_Par = *Ptr_Val_Par->Ptr_Comp;
    }
}

BENCH_PROCEDURE void Proc_2(OneToFifty* Int_Par_Ref) {
    OneToFifty Int_Loc = static_cast<OneToFifty>(*Int_Par_Ref + 10);
    Enumeration Enum_Loc = Enumeration::Ident_2;
    do {
        if (Ch_1_Glob == 'A') {
            Int_Loc = static_cast<OneToFifty>(Int_Loc - 1);
            *Int_Par_Ref = static_cast<OneToFifty>(Int_Loc - Int_Glob);
            Enum_Loc = Enumeration::Ident_1;
        }
    } while (Enum_Loc != Enumeration::Ident_1);
}

BENCH_PROCEDURE void Proc_4() {
    bool Bool_Loc = Ch_1_Glob == 'A';
    Bool_Glob = Bool_Loc | Bool_Glob;
    Ch_2_Glob = 'B';
}

BENCH_PROCEDURE void Proc_5() {
    Ch_1_Glob = 'A';
    Bool_Glob = false;
}

DhrystoneRecordState RecordState(const Record& record) {
    return DhrystoneRecordState{record.Ptr_Comp == Next_Ptr_Glob, static_cast<uint8_t>(record.Discr),
                                static_cast<uint8_t>(record.Enum_Comp), record.Int_Comp,
                                std::string(record.Str_Comp.text, sizeof record.Str_Comp.text)};
}

} // namespace dhrystone

using namespace dhrystone;

void PrepareDhrystone() {
    Next_Ptr_Glob = new Record();
    Ptr_Glob = new Record();
    Ptr_Glob->Ptr_Comp = Next_Ptr_Glob;
    Ptr_Glob->Discr = Enumeration::Ident_1;
    Ptr_Glob->Enum_Comp = Enumeration::Ident_3;
    Ptr_Glob->Int_Comp = 40;
    StrAssign(Ptr_Glob->Str_Comp, kSomeString);
    Arr_2_Glob[8][7] = 10;
}

// The published main loop. Its locals are kept in Last_Locals at the end so
// that the work of every pass stays observable.
BENCH_PROCEDURE void RunDhrystoneLoop(int32_t runs) {
    OneToFifty Int_1_Loc = 0;
    OneToFifty Int_2_Loc = 0;
    OneToFifty Int_3_Loc = 0;
    CapitalLetter Ch_Index = 0;
    Enumeration Enum_Loc = Enumeration::Ident_1;
    Str30 Str_1_Loc;
    Str30 Str_2_Loc;
    StrAssign(Str_1_Loc, kFirstString);
    StrAssign(Str_2_Loc, kSecondString);

    for (Run_Index = 1; Run_Index <= runs; ++Run_Index) {
        Proc_5();
        Proc_4();
        Int_1_Loc = 2;
        Int_2_Loc = 3;
        StrAssign(Str_2_Loc, kSecondString);
        Enum_Loc = Enumeration::Ident_2;
        Bool_Glob = !Func_2(Str_1_Loc, Str_2_Loc);
        while (Int_1_Loc < Int_2_Loc) {
            Int_3_Loc = static_cast<OneToFifty>(5 * Int_1_Loc - Int_2_Loc);
            Proc_7(Int_1_Loc, Int_2_Loc, &Int_3_Loc);
            Int_1_Loc = static_cast<OneToFifty>(Int_1_Loc + 1);
        }
        Proc_8(Arr_1_Glob, Arr_2_Glob, Int_1_Loc, Int_3_Loc);
        Proc_1(Ptr_Glob);
        for (Ch_Index = 'A'; Ch_Index <= Ch_2_Glob; ++Ch_Index) {
            if (Enum_Loc == Func_1(Ch_Index, 'C')) {
                Proc_6(Enumeration::Ident_1, &Enum_Loc);
                StrAssign(Str_2_Loc, kThirdString);
                Int_2_Loc = static_cast<OneToFifty>(Run_Index);
                Int_Glob = Run_Index;
            }
        }
        Int_2_Loc = static_cast<OneToFifty>(Int_2_Loc * Int_1_Loc);
        Int_1_Loc = static_cast<OneToFifty>(Int_2_Loc / Int_3_Loc);
        Int_2_Loc = static_cast<OneToFifty>(7 * (Int_2_Loc - Int_3_Loc) - Int_1_Loc);
        Proc_2(&Int_1_Loc);
    }
    Last_Locals = MainLocals{Int_1_Loc, Int_2_Loc, Int_3_Loc, Enum_Loc, Str_1_Loc, Str_2_Loc};
}

DhrystoneState FinishDhrystone() {
    const MainLocals& locals = Last_Locals;
    DhrystoneState state{Int_Glob,
                         Bool_Glob,
                         Ch_1_Glob,
                         Ch_2_Glob,
                         Arr_1_Glob[8],
                         Arr_2_Glob[8][7],
                         RecordState(*Ptr_Glob),
                         RecordState(*Next_Ptr_Glob),
                         locals.Int_1_Loc,
                         locals.Int_2_Loc,
                         locals.Int_3_Loc,
                         static_cast<uint8_t>(locals.Enum_Loc),
                         std::string(locals.Str_1_Loc.text, sizeof locals.Str_1_Loc.text),
                         std::string(locals.Str_2_Loc.text, sizeof locals.Str_2_Loc.text)};
    delete Ptr_Glob;
    delete Next_Ptr_Glob;
    Ptr_Glob = nullptr;
    Next_Ptr_Glob = nullptr;
    return state;
}
