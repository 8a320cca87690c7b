#!/usr/bin/env python3
"""Checks VELDRIX's numeric facts against Debian's cpuid tool.

For every dump in DUMPS_DIR, `veldrix -r DUMP --dump` is fed to `cpuid -f`, and
the numbers cpuid decodes for the first processor are compared with the
`veldrix -r DUMP --json` document: address sizes, TLB entries (0x18,
0x80000005, 0x80000006, 0x80000019), XSAVE sizes and offsets, frequencies
(0x15, 0x16), PMU counts (0xA, 0x80000022) and the geometry of each cache of
leaf 4 or 0x8000001D. A fact one tool states as 0 and the other as null (not
stated) agrees. Prints one row per dump (facts compared, facts agreeing) and
every disagreement; exit status 1 when any fact disagrees or a tool fails.

  cpuid-cross-check.py BUILD_DIR DUMPS_DIR
"""
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

HEADER = re.compile(r"^   \S.*\(((?:0x)?[0-9a-f]+)(?:/([0-9a-fx]+|[a-z]+))?\):\s*$")
NUMBER = re.compile(r"=\s*(?:0x[0-9a-f]+\s*)?\((\d+)\)|=\s*(\d+)\b")


def number_of(line):
    match = NUMBER.search(line)
    if not match:
        return None
    return int(match.group(1) or match.group(2))


def first_cpu_blocks(text):
    """(leaf, sub) -> list of lines for CPU 0; sub is the text after '/'."""
    blocks = {}
    current = None
    in_first = False
    for line in text.splitlines():
        if re.match(r"^CPU \d+:", line):
            if in_first:
                break
            in_first = True
            continue
        match = HEADER.match(line)
        if match:
            current = (int(match.group(1), 16), match.group(2) or "")
            blocks.setdefault(current, [])
            continue
        if current is not None:
            blocks[current].append(line)
    return blocks


def value(lines, label):
    for line in lines:
        if line.strip().startswith(label):
            return number_of(line)
    return None


def caches_of(lines):
    caches = []
    for line in lines:
        if "--- cache" in line:
            caches.append([])
        elif caches:
            caches[-1].append(line)
    return caches


class Tally:
    def __init__(self, dump):
        self.dump = dump
        self.compared = 0
        self.agreeing = 0
        self.disagreements = []

    def fact(self, name, theirs, ours):
        if theirs is None:
            return
        self.compared += 1
        if theirs == ours or (theirs == 0 and ours is None):
            self.agreeing += 1
        else:
            self.disagreements.append("%s: %s: cpuid %s, veldrix %s" % (self.dump, name, theirs, ours))


def compare_addresses(tally, blocks, facts):
    lines = blocks.get((0x80000008, "eax"), [])
    tally.fact("physical bits", value(lines, "maximum physical address bits"), facts["addresses"]["physical_bits"])
    tally.fact("linear bits", value(lines, "maximum linear"), facts["addresses"]["linear_bits"])


def compare_clock(tally, blocks, facts):
    clock = facts["clock"]
    lines = blocks.get((0x15, ""), [])
    crystal = [number_of(l.replace("Hz", "")) for l in lines if "nominal core crystal clock" in l]
    if crystal:
        tally.fact("crystal Hz", crystal[0], clock["crystal_hz"])
    lines = blocks.get((0x16, ""), [])
    for label, key in (("Core Base Frequency", "base_mhz"), ("Core Maximum Frequency", "max_mhz"),
                       ("Bus (Reference) Frequency", "bus_mhz")):
        tally.fact(key, value(lines, label), clock[key])


def compare_pmu(tally, blocks, facts):
    pmu = facts["pmu"] or {}
    intel = pmu.get("source") == "0x0000000A"
    lines = blocks.get((0xA, ""), [])
    if lines and (intel or not pmu):
        tally.fact("general counters", value(lines, "number of counters per logical processor"),
                   pmu.get("general_counters"))
        tally.fact("general bits", value(lines, "bit width of counter"), pmu.get("general_bits"))
        if (pmu.get("version") or 0) >= 2:
            tally.fact("fixed counters", value(lines, "number of contiguous fixed counters"),
                       pmu.get("fixed_counters"))
            tally.fact("fixed bits", value(lines, "bit width of fixed counters"), pmu.get("fixed_bits"))
    lines = blocks.get((0x80000022, ""), [])
    if lines and pmu.get("source") == "0x80000022":
        tally.fact("core counters", value(lines, "number of core perf ctrs"), pmu.get("general_counters"))
        tally.fact("northbridge counters", value(lines, "number of avail Northbridge perf ctrs"),
                   pmu.get("northbridge_counters"))


def compare_xsave(tally, blocks, facts):
    xsave = facts["xsave"]
    if xsave is None:
        return
    main = blocks.get((0xD, "0"), [])
    tally.fact("XSAVE size of XCR0", value(main, "bytes required by fields in XCR0"), xsave["enabled_size"])
    tally.fact("XSAVE largest size", value(main, "bytes required by XSAVE/XRSTOR area"), xsave["largest_size"])
    tally.fact("XSAVE compacted size", value(main, "SAVE area size in bytes"), xsave["compacted_size"])
    for component in xsave["components"]:
        if component["id"] < 2:
            continue
        sub = "%d" % component["id"] if component["id"] < 10 else "0x%x" % component["id"]
        lines = blocks.get((0xD, sub))
        if lines is None:
            continue
        sizes = [number_of(l) for l in lines if "save state byte size" in l]
        offsets = [number_of(l) for l in lines if "save state byte offset" in l]
        if sizes:
            tally.fact("XSAVE %d size" % component["id"], sizes[0], component["size"])
        if offsets:
            tally.fact("XSAVE %d offset" % component["id"], offsets[0], component["offset"])


def compare_amx(tally, blocks, facts):
    amx = facts["amx"]
    if amx is None:
        return
    palettes = caches_of([l.replace("--- palette", "--- cache") for l in blocks.get((0x1D, "0"), [])])
    for index, lines in enumerate(palettes):
        mine = amx["palettes"][index] if index < len(amx["palettes"]) else {}
        for label, key in (("total_tile_bytes", "total_bytes"), ("bytes_per_tile", "bytes_per_tile"),
                           ("bytes_per_row", "bytes_per_row"), ("max_names", "tiles"), ("max_rows", "rows")):
            tally.fact("AMX palette %d %s" % (index + 1, key), value(lines, label), mine.get(key))
    tmul = blocks.get((0x1E, "0"), [])
    tally.fact("TMUL maxk", value(tmul, "tmul_maxk"), amx["tmul_maxk"])
    tally.fact("TMUL maxn", value(tmul, "tmul_maxn"), amx["tmul_maxn"])


AMD_TLB_BLOCKS = [((0x80000005, "eax"), 1, "2M"), ((0x80000005, "ebx"), 1, "4K"),
                  ((0x80000006, "eax"), 2, "2M"), ((0x80000006, "ebx"), 2, "4K"),
                  ((0x80000019, "eax"), 1, "1G"), ((0x80000019, "ebx"), 2, "1G")]


def ours_tlb(tlbs, source, level, kind, page):
    for tlb in tlbs:
        if tlb["source"] == source and tlb["level"] == level and tlb["type"] == kind and page in tlb["pages"]:
            return tlb["entries"]
    return None


def compare_tlbs(tally, blocks, facts):
    first_kind = facts["tlbs"][0]["core_type"] if facts["tlbs"] else None
    tlbs = [t for t in facts["tlbs"] if t["core_type"] == first_kind]
    for key, level, page in AMD_TLB_BLOCKS:
        lines = blocks.get(key)
        if lines is None:
            continue
        source = "0x%08X" % key[0]
        for kind in ("instruction", "data"):
            tally.fact("TLB %s L%d %s %s entries" % (source, level, kind, page),
                       value(lines, "%s # entries" % kind), ours_tlb(tlbs, source, level, kind, page))
    deterministic = [t["entries"] for t in tlbs if t["source"] == "0x00000018"]
    theirs = []
    subleaves = sorted((int(sub, 0), lines) for (leaf, sub), lines in blocks.items() if leaf == 0x18 and sub)
    # 0x18/0 is the first TLB too; cpuid prints it like the others.
    for _, lines in subleaves:
        if any("translation cache type" in l and "(0)" not in l and "invalid" not in l
                                for l in lines):
            theirs.append(value(lines, "ways of associativity") * value(lines, "number of sets"))
    for index, entries in enumerate(theirs):
        tally.fact("TLB 0x18 #%d entries" % index, entries, deterministic[index] if index < len(deterministic) else None)


def compare_caches(tally, blocks, facts):
    first_kind = facts["caches"][0]["core_type"] if facts["caches"] else None
    ours = [c for c in facts["caches"] if c["core_type"] == first_kind]
    caches = caches_of(blocks.get((0x4, ""), [])) or caches_of(blocks.get((0x8000001D, ""), []))
    for index, cache in enumerate(caches):
        mine = ours[index] if index < len(ours) else {}
        ways = value(cache, "ways of associativity") or value(cache, "number of ways")
        fully = any("fully associative" in l and "true" in l for l in cache)
        tally.fact("cache %d ways" % index, None if fully else ways, mine.get("ways"))
        tally.fact("cache %d sets" % index, value(cache, "number of sets"), mine.get("sets"))
        tally.fact("cache %d line" % index,
                   value(cache, "system coherency line size") or value(cache, "line size in bytes"),
                   mine.get("line_bytes"))


def check_dump(build, path, scratch):
    veldrix = os.path.join(build, "veldrix")
    dump = os.path.join(scratch, "dump")
    with open(dump, "wb") as out:
        subprocess.run([veldrix, "-r", path, "--dump"], stdout=out, check=True)
    text = subprocess.run(["cpuid", "-f", dump], capture_output=True, text=True, check=True).stdout
    facts = json.loads(subprocess.run([veldrix, "-r", path, "--json"], capture_output=True, text=True,
                                      check=True).stdout)
    tally = Tally(os.path.basename(path))
    blocks = first_cpu_blocks(text)
    for compare in (compare_addresses, compare_clock, compare_pmu, compare_xsave, compare_amx, compare_tlbs,
                    compare_caches):
        compare(tally, blocks, facts)
    return tally


def main():
    build, dumps = sys.argv[1], sys.argv[2]
    if shutil.which("cpuid") is None:
        print("cpuid-cross-check: FAILED: Debian's cpuid is not installed (make test installs it)")
        return 1
    failed = False
    print("%-48s %8s %8s" % ("dump", "compared", "agree"))
    with tempfile.TemporaryDirectory() as scratch:
        for name in sorted(os.listdir(dumps)):
            try:
                tally = check_dump(build, os.path.join(dumps, name), scratch)
            except (subprocess.CalledProcessError, ValueError) as error:
                print("%-48s FAILED: %s" % (name, error))
                failed = True
                continue
            print("%-48s %8d %8d" % (name, tally.compared, tally.agreeing))
            for line in tally.disagreements:
                print("  " + line)
            failed = failed or tally.compared != tally.agreeing
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
