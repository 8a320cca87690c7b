#include "cpuid/dump_reader.hpp"

#include "common/bounded_file.hpp"
#include "common/plain_text.hpp"
#include "cpuid/dump_lines.hpp"

#include <algorithm>
#include <map>
#include <optional>
#include <utility>

namespace {

const char* const kCaptureRegisterNames[4] = {"EAX", "EBX", "ECX", "EDX"};

// Our own capture file spreads one leaf over five lines; this is the block
// being read, open after its " -> EAX : " line.
struct CaptureBlock {
    bool open = false;
    uint32_t leaf = 0;
    int filled = 0; // registers read so far, EAX first
    uint32_t regs[4] = {0, 0, 0, 0};
};

// Builds the snapshot line by line, following the processor and sub-leaf
// rules of the header.
class SnapshotBuilder {
  public:
    explicit SnapshotBuilder(size_t processorLimit) : processorLimit_(processorLimit) {}

    // A processor header: the next leaf line starts a processor.
    void Header(std::optional<uint32_t> osCpu) {
        pending_ = true;
        pendingOsCpu_ = osCpu;
        pendingXcr0_ = std::nullopt;
    }

    // A leaf line; its registers are read only when it is kept.
    void Leaf(const LeafLine& line) { Store(line.leaf, line.subleaf, &line, CpuidRegs{0, 0, 0, 0}); }

    // A completed block of our capture file (it names no sub-leaf).
    void Captured(uint32_t leaf, const CpuidRegs& regs) { Store(leaf, std::nullopt, nullptr, regs); }

    // XCR0 belongs to the processor it is written in; one written before
    // that processor's first leaf waits for it, so a line of XCR0 alone never
    // makes a processor without leaves.
    void Xcr0(uint64_t value) {
        if (pending_ || current_ == nullptr) {
            pendingXcr0_ = pendingXcr0_.value_or(value);
        } else if (!current_->xcr0) {
            current_->xcr0 = value;
        }
    }

    // True once a processor beyond the limit was refused: nothing more is kept.
    bool Full() const { return full_; }

    CpuidSnapshot Take() { return std::move(snapshot_); }

  private:
    using LeafMap = std::map<LeafKey, CpuidRegs>;

    // A leaf 0 line (sub-leaf 0, named or not) where the current processor
    // already holds one starts the next processor.
    bool StartsProcessor(uint32_t leaf, std::optional<uint32_t> named) const {
        return pending_ || current_ == nullptr ||
               (leaf == 0 && named.value_or(0) == 0 && current_->leaves.count(LeafKey{0, 0}) != 0);
    }

    // The current processor, opening the next one when it is due; false when
    // that would exceed the processor limit.
    bool Open() {
        if (!pending_ && current_ != nullptr) {
            return true;
        }
        if (snapshot_.cpus.size() == processorLimit_) {
            // A smaller limit asked for by the caller is no cut, but it does
            // not take back a cut the sub-leaf limit already made.
            snapshot_.cutAtCapacity |= processorLimit_ == kMaxSnapshotProcessors;
            full_ = true;
            return false;
        }
        ProcessorLeaves cpu;
        cpu.index = static_cast<uint32_t>(snapshot_.cpus.size());
        cpu.osCpu = pendingOsCpu_;
        cpu.xcr0 = pendingXcr0_;
        snapshot_.cpus.push_back(std::move(cpu));
        current_ = &snapshot_.cpus.back();
        pending_ = false;
        pendingOsCpu_ = std::nullopt;
        pendingXcr0_ = std::nullopt;
        return true;
    }

    // Where a line goes in leaves: its named sub-leaf, or, for a line that
    // names none, the first sub-leaf of its leaf not recorded yet (so repeats
    // are sub-leaves 0, 1, 2... in order). Gives the slot after it as a hint
    // for the insertion; false for a slot already taken.
    bool FreeSlot(LeafMap& leaves, uint32_t leaf, std::optional<uint32_t> named, uint32_t& subleaf,
                  LeafMap::iterator& hint) {
        subleaf = named.value_or(0);
        hint = leaves.lower_bound(LeafKey{leaf, subleaf});
        if (named) {
            return hint == leaves.end() || hint->first != LeafKey{leaf, subleaf};
        }
        while (hint != leaves.end() && hint->first == LeafKey{leaf, subleaf}) {
            ++hint;
            ++subleaf;
        }
        return true;
    }

    // Keeps a line: its registers come from line (read only now) or are
    // given.
    void Store(uint32_t leaf, std::optional<uint32_t> named, const LeafLine* line, CpuidRegs regs) {
        bool starts = StartsProcessor(leaf, named);
        uint32_t subleaf = 0;
        LeafMap::iterator hint;
        if (!starts && !FreeSlot(current_->leaves, leaf, named, subleaf, hint)) {
            return; // a repeat of a recorded sub-leaf: the first line counts
        }
        if (line != nullptr && !ParseLeafRegisters(*line, regs)) {
            return;
        }
        if (starts) {
            // A line beyond the sub-leaf limit must not open a processor it
            // cannot be stored in: an empty processor would not survive a
            // round trip through the dump writer.
            if (named.value_or(0) >= kMaxSubleaves) {
                snapshot_.cutAtCapacity = true;
                return;
            }
            pending_ = true;
            if (!Open()) {
                return;
            }
            FreeSlot(current_->leaves, leaf, named, subleaf, hint);
        }
        if (subleaf >= kMaxSubleaves) {
            snapshot_.cutAtCapacity = true;
            return;
        }
        current_->leaves.emplace_hint(hint, LeafKey{leaf, subleaf}, regs);
    }

    CpuidSnapshot snapshot_;
    ProcessorLeaves* current_ = nullptr;
    bool pending_ = true;
    std::optional<uint32_t> pendingOsCpu_;
    std::optional<uint64_t> pendingXcr0_;
    bool full_ = false;
    size_t processorLimit_;
};

// Feeds one line to the capture block: a " -> EAX : " line opens a block,
// the four register lines must follow in order (empty lines between them do
// not matter), and anything else closes the block unfinished.
void FeedCaptureLine(std::string_view line, CaptureBlock& block, SnapshotBuilder& builder) {
    if (line.empty()) {
        return;
    }
    uint32_t value = 0;
    if (block.open && ParseCaptureLine(line, "+-->", kCaptureRegisterNames[block.filled], value)) {
        block.regs[block.filled++] = value;
        if (block.filled == 4) {
            builder.Captured(block.leaf,
                             CpuidRegs{block.regs[0], block.regs[1], block.regs[2], block.regs[3]});
            block = CaptureBlock{};
        }
        return;
    }
    block = CaptureBlock{};
    if (ParseCaptureLine(line, "->", "EAX", value)) {
        block.open = true;
        block.leaf = value;
    }
}

// One line, trimmed, to the builder.
void FeedLine(std::string_view line, CaptureBlock& block, SnapshotBuilder& builder) {
    LeafLine leaf;
    std::optional<uint32_t> osCpu;
    uint64_t xcr0 = 0;
    if (ParseLeafKey(line, leaf)) {
        block = CaptureBlock{};
        builder.Leaf(leaf);
    } else if (ParseProcessorHeader(line, osCpu)) {
        block = CaptureBlock{};
        builder.Header(osCpu);
    } else if (ParseXcr0Line(line, xcr0)) {
        builder.Xcr0(xcr0);
    } else {
        FeedCaptureLine(line, block, builder);
    }
}

// The line starting at start, without its line end; next receives where the
// following line starts. LF, CR LF and a lone CR all end a line.
std::string_view NextLine(std::string_view text, size_t start, size_t& next) {
    size_t end = start;
    while (end < text.size() && text[end] != '\n' && text[end] != '\r') {
        ++end;
    }
    if (end == text.size()) {
        next = text.size() + 1;
        return text.substr(start);
    }
    next = end + 1;
    if (text[end] == '\r' && next < text.size() && text[next] == '\n') {
        ++next;
    }
    return text.substr(start, end - start);
}

// Cuts text after its last line end, dropping a line that the size limit
// broke off in the middle.
void DropPartialLine(std::string& text) {
    size_t last = text.find_last_of("\r\n");
    text.resize(last == std::string::npos ? 0 : last + 1);
}

} // namespace

CpuidSnapshot ReadDumpProcessors(std::string_view text, size_t processorLimit) {
    SnapshotBuilder builder(std::min(processorLimit, kMaxSnapshotProcessors));
    CaptureBlock block;
    size_t start = 0;
    while (start <= text.size() && !builder.Full()) {
        size_t next = 0;
        std::string_view raw = NextLine(text, start, next);
        start = next;
        if (IsLibcpuidEndLine(raw)) {
            break;
        }
        FeedLine(TrimmedView(raw), block, builder);
    }
    return builder.Take();
}

bool ReadDumpFile(const std::string& path, std::string& text, size_t limit, bool* cutAtLimit) {
    FileRead read = ReadFileUpTo(path, limit, text);
    if (read == FileRead::BeyondLimit) {
        DropPartialLine(text);
    }
    if (cutAtLimit != nullptr) {
        *cutAtLimit = read == FileRead::BeyondLimit;
    }
    return read != FileRead::Failed;
}
