#include "common/text_format.hpp"
#include "decode/cache_domains.hpp"
#include "decode/coded_values.hpp"
#include "outputs/html_page.hpp"

#include <algorithm>
#include <map>
#include <set>

namespace {

// The drawing's grid, in pixels. Text is monospaced, so a label's width is
// its length times kCharWidth (a little more than the fonts' advance).
constexpr int kCharWidth = 7;
constexpr int kCoreWidth = 140;
constexpr int kGap = 8;
constexpr int kCoresPerRow = 8;
constexpr int kCoreHeight = 48;
constexpr int kBarHeight = 18;
constexpr int kPad = 10;
constexpr int kHeading = 22;
constexpr int kRowWidth = kCoresPerRow * (kCoreWidth + kGap) - kGap;
constexpr int kWidth = kRowWidth + 4 * kPad;
constexpr uint64_t kPrivateKey = uint64_t(1) << 32; // plus the core's ordinal
constexpr uint64_t kSharedKey = uint64_t(1) << 33;

enum class CoreKind { Plain, Performance, Efficiency, LowPower };

struct KindStyle {
    CoreKind kind;
    const char* cssClass;
    const char* tag;    // beside the core number, so colour is never needed
    const char* legend; // the legend's words
};

const KindStyle kKindStyles[] = {
    {CoreKind::Plain, "kind-plain", "", "core"},
    {CoreKind::Performance, "kind-p", "P", "P: performance core"},
    {CoreKind::Efficiency, "kind-e", "E", "E: efficiency core"},
    {CoreKind::LowPower, "kind-lp", "LP E", "LP E: low-power efficiency core, outside the L3"},
};

const KindStyle& StyleOf(CoreKind kind) {
    return kKindStyles[static_cast<size_t>(kind)];
}

struct CacheCell {
    uint32_t level = 0;
    CacheType type = CacheType::Unified;
    uint64_t key = 0;       // equal on neighbours that share the cache
    std::string label;      // "L2 2 MB 16-way 64 B line"
    std::string shortLabel; // "L2 2 MB"
    std::string name;       // "L2"
};

struct DrawnCore {
    CoreKind kind = CoreKind::Plain;
    uint32_t firstId = 0;
    std::string label;
    uint64_t cores = 1;
    uint64_t threads = 1;
    std::vector<std::string> threadLabels; // empty for a group of cores
    std::string groupHeading;              // "cores 8-63 alike:" for a group
    std::string groupText;                 // "56 x P, 2 threads"
    std::vector<CacheCell> caches;
    std::optional<uint64_t> lastLevelKey; // the L3 (or deeper) the core shares
};

struct Domain {
    std::optional<uint64_t> key;
    std::vector<DrawnCore> cores;
};

struct Package {
    uint32_t number = 0;
    std::vector<Domain> domains;
};

CoreKind KindOf(const CpuPlace& place) {
    if (!place.coreType) {
        return CoreKind::Plain;
    }
    if (*place.coreType == CoreType::Performance) {
        return CoreKind::Performance;
    }
    return place.lowPower ? CoreKind::LowPower : CoreKind::Efficiency;
}

bool CacheOfKind(const CacheFacts& cache, CoreKind kind) {
    switch (kind) {
    case CoreKind::Plain:
        return !cache.coreType;
    case CoreKind::Performance:
        return cache.coreType == CoreType::Performance;
    case CoreKind::Efficiency:
        return cache.coreType == CoreType::Efficiency && !cache.lowPower;
    case CoreKind::LowPower:
        return cache.coreType == CoreType::Efficiency && cache.lowPower;
    }
    return false;
}

std::string CacheName(const CacheFacts& cache) {
    std::string name = "L" + Decimal(cache.level);
    if (cache.type == CacheType::Data) {
        return name + "d";
    }
    return cache.type == CacheType::Instruction ? name + "i" : name;
}

std::string SizeText(uint64_t kb) {
    if (kb >= 1024 && kb % 1024 == 0) {
        return Decimal(kb / 1024) + " MB";
    }
    return Decimal(kb) + " KB";
}

CacheCell CellOf(const CacheFacts& cache, uint64_t key) {
    CacheCell cell{cache.level, cache.type, key, CacheName(cache), CacheName(cache), CacheName(cache)};
    if (cache.sizeKb) {
        cell.label += " " + SizeText(*cache.sizeKb);
        cell.shortLabel = cell.label;
    }
    if (cache.fullyAssociative) {
        cell.label += " full";
    } else if (cache.ways) {
        cell.label += " " + Decimal(*cache.ways) + "-way";
    }
    if (cache.lineBytes) {
        cell.label += " " + Decimal(*cache.lineBytes) + " B line";
    }
    return cell;
}

// The caches of a core, keyed by the processors sharing each: from the
// deterministic leaves of its first thread where they describe the cache,
// else private up to L2 and shared by the package beyond.
std::vector<CacheCell> CoreCaches(const CapabilityFacts& facts, const std::vector<CacheDomain>& domains,
                                  CoreKind kind, uint64_t ordinal) {
    std::vector<CacheCell> cells;
    for (const CacheFacts& cache : facts.caches) {
        if (!CacheOfKind(cache, kind)) {
            continue;
        }
        uint64_t key = cache.level <= 2 ? kPrivateKey + ordinal : kSharedKey;
        for (const CacheDomain& domain : domains) {
            if (domain.level == cache.level && domain.type == cache.type) {
                key = domain.key;
            }
        }
        cells.push_back(CellOf(cache, key));
    }
    return cells;
}

std::optional<uint64_t> LastLevelKey(const std::vector<CacheCell>& cells) {
    std::optional<uint64_t> key;
    for (const CacheCell& cell : cells) {
        if (cell.level >= 3 && cell.type == CacheType::Unified) {
            key = cell.key;
        }
    }
    return key;
}

std::string ThreadLabel(const CpuPlace& place, bool hardware) {
    return Decimal(hardware && place.osCpu ? *place.osCpu : place.index);
}

std::string CoreLabel(uint64_t number, CoreKind kind) {
    std::string tag = StyleOf(kind).tag;
    return "Core " + Decimal(number) + (tag.empty() ? "" : " " + tag);
}

// Every core the processors were placed in, by package, in id order.
std::map<uint32_t, std::vector<DrawnCore>> PlacedCores(const HtmlPageInput& input) {
    const TopologyFacts& topology = input.facts.topology;
    std::vector<const CpuPlace*> places;
    for (const CpuPlace& place : topology.cpus) {
        places.push_back(&place);
    }
    std::stable_sort(places.begin(), places.end(), [](const CpuPlace* a, const CpuPlace* b) {
        return SplitId(*a).value_or(a->index) < SplitId(*b).value_or(b->index);
    });
    std::map<uint32_t, std::vector<DrawnCore>> packages;
    std::map<std::pair<uint32_t, uint32_t>, size_t> coreAt;
    for (const CpuPlace* place : places) {
        uint32_t package = place->package.value_or(0);
        uint32_t core = place->core.value_or(place->index);
        std::vector<DrawnCore>& cores = packages[package];
        auto found = coreAt.find({package, core});
        if (found != coreAt.end()) {
            DrawnCore& drawn = cores[found->second];
            drawn.threads += 1;
            drawn.threadLabels.push_back(ThreadLabel(*place, input.source.hardware));
            continue;
        }
        coreAt[{package, core}] = cores.size();
        DrawnCore drawn;
        drawn.kind = KindOf(*place);
        drawn.firstId = SplitId(*place).value_or(place->index);
        drawn.label = CoreLabel(core, drawn.kind);
        drawn.threadLabels.push_back(ThreadLabel(*place, input.source.hardware));
        drawn.caches =
            CoreCaches(input.facts, DecodeCacheDomains(input.snapshot, *place), drawn.kind, coreAt.size());
        drawn.lastLevelKey = LastLevelKey(drawn.caches);
        cores.push_back(drawn);
    }
    return packages;
}

std::string CountText(uint64_t count, const char* one, const char* many) {
    return Decimal(count) + " " + (count == 1 ? one : many);
}

// One processor's leaves state the counts of a package: its core drawn with
// the threads each core has, the others as one group.
std::map<uint32_t, std::vector<DrawnCore>> StatedCores(const HtmlPageInput& input) {
    const TopologyFacts& topology = input.facts.topology;
    uint64_t cores = std::max<uint64_t>(topology.cores.value_or(1), 1);
    uint64_t threads =
        topology.threadsPerCore.value_or(std::max<uint64_t>(topology.logicalProcessors / cores, 1));
    std::map<uint32_t, std::vector<DrawnCore>> packages;
    if (topology.cpus.empty()) {
        return packages;
    }
    const CpuPlace& place = topology.cpus.front();
    DrawnCore first;
    first.kind = KindOf(place);
    first.label = CoreLabel(0, first.kind);
    first.threads = threads;
    first.threadLabels.assign(threads, "");
    first.threadLabels[0] = ThreadLabel(place, input.source.hardware);
    first.caches = CoreCaches(input.facts, DecodeCacheDomains(input.snapshot, place), first.kind, 0);
    first.lastLevelKey = LastLevelKey(first.caches);
    packages[0].push_back(first);
    if (cores > 1) {
        DrawnCore rest = first;
        rest.cores = cores - 1;
        rest.threads = topology.logicalProcessors > threads ? topology.logicalProcessors - threads : 0;
        rest.threadLabels.clear();
        rest.groupHeading = cores == 2 ? "core 1 alike:" : "cores 1-" + Decimal(cores - 1) + " alike:";
        rest.groupText =
            Decimal(rest.cores) + " x " + CountText(threads, "thread", "threads") + ", as stated";
        for (CacheCell& cell : rest.caches) {
            cell.key = cell.key >= kPrivateKey && cell.key < kSharedKey ? kPrivateKey + 1 : cell.key;
            cell.label += cell.key == kPrivateKey + 1 ? " each" : "";
        }
        packages[0].push_back(rest);
    }
    return packages;
}

std::vector<Domain> SplitIntoDomains(const std::vector<DrawnCore>& cores) {
    std::vector<Domain> domains;
    for (const DrawnCore& core : cores) {
        auto same = std::find_if(domains.begin(), domains.end(),
                                 [&](const Domain& domain) { return domain.key == core.lastLevelKey; });
        if (same == domains.end()) {
            domains.push_back(Domain{core.lastLevelKey, {}});
            same = domains.end() - 1;
        }
        same->cores.push_back(core);
    }
    return domains;
}

std::vector<Package> LayOutPackages(const HtmlPageInput& input) {
    bool stated = input.facts.topology.statedByLeaves;
    std::vector<Package> packages;
    for (const auto& [number, cores] : stated ? StatedCores(input) : PlacedCores(input)) {
        packages.push_back(Package{number, SplitIntoDomains(cores)});
    }
    return packages;
}

// The first text that fits width pixels; the last one cut to fit otherwise.
std::string Fitting(const std::vector<std::string>& texts, int width) {
    size_t room = static_cast<size_t>(std::max(width - 6, 0) / kCharWidth);
    for (const std::string& text : texts) {
        if (text.size() <= room) {
            return text;
        }
    }
    return texts.back().substr(0, room);
}

struct Canvas {
    std::string svg;
    int y = 0;

    void Text(int x, int baseline, const std::string& text, const char* cssClass = "label") {
        if (text.empty()) {
            return;
        }
        svg += "<text class=\"" + std::string(cssClass) + "\" x=\"" + std::to_string(x) + "\" y=\"" +
               std::to_string(baseline) + "\">" + HtmlText(text) + "</text>\n";
    }
    void Box(int x, int top, int width, int height, const std::string& cssClass, const std::string& title) {
        svg += "<rect class=\"" + cssClass + "\" x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(top) +
               "\" width=\"" + std::to_string(width) + "\" height=\"" + std::to_string(height) +
               "\"><title>" + HtmlText(title) + "</title></rect>\n";
    }
};

int SlotsOf(const DrawnCore& core) {
    return core.cores > 1 ? 2 : 1;
}

int CoreX(int left, int slot) {
    return left + slot * (kCoreWidth + kGap);
}

void DrawCore(Canvas& canvas, const DrawnCore& core, int x, int width) {
    canvas.svg += "<g class=\"core\" data-cores=\"" + Decimal(core.cores) + "\" data-threads=\"" +
                  Decimal(core.threads) + "\">\n";
    canvas.Box(x, canvas.y, width, kCoreHeight, std::string("core-box ") + StyleOf(core.kind).cssClass,
               core.groupHeading.empty() ? core.label : core.groupHeading + " " + core.groupText);
    if (!core.groupHeading.empty()) {
        canvas.Text(x + 4, canvas.y + 15, Fitting({core.groupHeading}, width));
        canvas.Text(x + 4, canvas.y + 33, Fitting({core.groupText}, width));
        canvas.svg += "</g>\n";
        return;
    }
    canvas.Text(x + 4, canvas.y + 14, Fitting({core.label}, width));
    int count = static_cast<int>(core.threadLabels.size());
    int threadWidth = (width - 8 - 2 * (count - 1)) / std::max(count, 1);
    for (int i = 0; i < count; ++i) {
        int tx = x + 4 + i * (threadWidth + 2);
        const std::string& label = core.threadLabels[static_cast<size_t>(i)];
        canvas.Box(tx, canvas.y + 20, threadWidth, 22, "thread",
                   label.empty() ? "a thread not recorded" : "logical processor " + label);
        canvas.Text(tx + 3, canvas.y + 35, Fitting({label, ""}, threadWidth + 6), "label small");
    }
    canvas.svg += "</g>\n";
}

// The caches of one row of cores, one line per level and type, each bar
// spanning the neighbouring cores that share it.
void DrawCacheBars(Canvas& canvas, const std::vector<const DrawnCore*>& row, int left) {
    std::set<std::pair<uint32_t, int>> slots;
    for (const DrawnCore* core : row) {
        for (const CacheCell& cell : core->caches) {
            slots.insert({cell.level, static_cast<int>(cell.type)});
        }
    }
    for (const auto& [level, type] : slots) {
        int slot = 0;
        const CacheCell* open = nullptr;
        int openX = 0;
        int openEnd = 0;
        auto close = [&]() {
            if (open != nullptr) {
                canvas.Box(openX, canvas.y, openEnd - openX, kBarHeight, "cache", open->label);
                canvas.Text(openX + 4, canvas.y + 13,
                            Fitting({open->label, open->shortLabel, open->name}, openEnd - openX));
            }
            open = nullptr;
        };
        for (const DrawnCore* core : row) {
            const CacheCell* cell = nullptr;
            for (const CacheCell& candidate : core->caches) {
                if (candidate.level == level && static_cast<int>(candidate.type) == type) {
                    cell = &candidate;
                }
            }
            int x = CoreX(left, slot);
            int end = CoreX(left, slot + SlotsOf(*core)) - kGap;
            if (cell == nullptr || open == nullptr || open->key != cell->key || open->label != cell->label) {
                close();
                if (cell != nullptr) {
                    open = cell;
                    openX = x;
                }
            }
            openEnd = end;
            slot += SlotsOf(*core);
        }
        close();
        canvas.y += kBarHeight + 3;
    }
}

void DrawCores(Canvas& canvas, const std::vector<DrawnCore>& cores, int left) {
    std::vector<const DrawnCore*> row;
    int used = 0;
    auto flush = [&]() {
        int slot = 0;
        for (const DrawnCore* core : row) {
            DrawCore(canvas, *core, CoreX(left, slot),
                     CoreX(left, slot + SlotsOf(*core)) - kGap - CoreX(left, slot));
            slot += SlotsOf(*core);
        }
        canvas.y += kCoreHeight + 4;
        DrawCacheBars(canvas, row, left);
        canvas.y += kGap;
        row.clear();
        used = 0;
    };
    for (const DrawnCore& core : cores) {
        if (used + SlotsOf(core) > kCoresPerRow) {
            flush();
        }
        row.push_back(&core);
        used += SlotsOf(core);
    }
    if (!row.empty()) {
        flush();
    }
}

std::string DomainHeading(const Domain& domain, size_t ordinal) {
    if (!domain.key) {
        return "Cores outside the L3";
    }
    return "Die or L3 domain " + Decimal(ordinal);
}

void DrawPackage(Canvas& canvas, const Package& package, bool hypervisor) {
    int top = canvas.y;
    std::string border = hypervisor ? "package virtual" : "package";
    canvas.svg += "<g class=\"package-group\">\n";
    size_t marker = canvas.svg.size();
    canvas.Text(2 * kPad - 4, top + 16, "Package " + Decimal(package.number), "label heading");
    canvas.y += kHeading;
    bool boxes = package.domains.size() > 1;
    for (size_t i = 0; i < package.domains.size(); ++i) {
        const Domain& domain = package.domains[i];
        int domainTop = canvas.y;
        size_t domainMarker = canvas.svg.size();
        if (boxes) {
            canvas.Text(2 * kPad, domainTop + 15, DomainHeading(domain, i), "label heading");
            canvas.y += kHeading;
        }
        DrawCores(canvas, domain.cores, 2 * kPad);
        if (boxes) {
            Canvas frame;
            frame.Box(2 * kPad - 6, domainTop, kRowWidth + 12, canvas.y - domainTop, "domain",
                      DomainHeading(domain, i));
            canvas.svg.insert(domainMarker, frame.svg);
            canvas.y += kGap;
        }
    }
    Canvas frame;
    frame.Box(kPad, top, kWidth - 2 * kPad, canvas.y - top, border, "Package " + Decimal(package.number));
    canvas.svg.insert(marker, frame.svg);
    canvas.svg += "</g>\n";
    canvas.y += kGap;
}

void DrawLegend(Canvas& canvas, const std::vector<Package>& packages, const HtmlPageInput& input) {
    std::set<CoreKind> kinds;
    for (const Package& package : packages) {
        for (const Domain& domain : package.domains) {
            for (const DrawnCore& core : domain.cores) {
                kinds.insert(core.kind);
            }
        }
    }
    std::string numbers = input.source.hardware ? "small boxes: threads, by the system's processor number"
                                                : "small boxes: threads, by their position in the dump";
    canvas.Text(kPad, canvas.y + 14, numbers);
    canvas.y += 20;
    for (CoreKind kind : kinds) {
        if (kind == CoreKind::Plain) {
            continue;
        }
        canvas.Box(kPad, canvas.y + 2, 30, 14, std::string("core-box ") + StyleOf(kind).cssClass,
                   StyleOf(kind).legend);
        canvas.Text(kPad + 38, canvas.y + 14, StyleOf(kind).legend);
        canvas.y += 20;
    }
    if (input.facts.hypervisor.present) {
        canvas.Box(kPad, canvas.y + 2, 30, 14, "package virtual", "dashed frame");
        canvas.Text(kPad + 38, canvas.y + 14,
                    "dashed frame: topology as the hypervisor presents it, not the host's");
        canvas.y += 20;
    }
    canvas.y += 4;
}

std::string Description(const HtmlPageInput& input) {
    const TopologyFacts& topology = input.facts.topology;
    std::string text = CountText(topology.logicalProcessors, "logical processor", "logical processors");
    if (topology.packages) {
        text += ", " + CountText(*topology.packages, "package", "packages");
    }
    if (topology.cores) {
        text += ", " + CountText(*topology.cores, "core", "cores");
    }
    if (topology.coreTypes) {
        text += " (" + Decimal(topology.coreTypes->performance) + " performance, " +
                Decimal(topology.coreTypes->efficiency) + " efficiency, of which " +
                Decimal(topology.coreTypes->efficiencyLowPower) + " low-power)";
    }
    if (topology.statedByLeaves) {
        text += "; counts per package as one processor's leaves state them";
    }
    if (input.facts.hypervisor.present) {
        text += "; the topology a hypervisor presents";
    }
    return text + ".";
}

} // namespace

std::string TopologySvg(const HtmlPageInput& input) {
    std::vector<Package> packages = LayOutPackages(input);
    Canvas canvas;
    canvas.y = kPad;
    DrawLegend(canvas, packages, input);
    for (const Package& package : packages) {
        DrawPackage(canvas, package, input.facts.hypervisor.present);
    }
    std::string head =
        "<svg xmlns=\"http://www.w3.org/2000/svg\" role=\"img\" aria-labelledby=\"topology-title "
        "topology-desc\" viewBox=\"0 0 " +
        std::to_string(kWidth) + " " + std::to_string(canvas.y) + "\" width=\"" + std::to_string(kWidth) +
        "\" height=\"" + std::to_string(canvas.y) + "\">\n" +
        "<title id=\"topology-title\">Topology of the processor</title>\n" + "<desc id=\"topology-desc\">" +
        HtmlText(Description(input)) + "</desc>\n";
    return head + canvas.svg + "</svg>\n";
}
