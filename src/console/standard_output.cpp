#include "console/standard_output.hpp"

#include "platform/platform.hpp"

#include <cstring>
#include <iostream>
#include <streambuf>
#include <vector>

namespace {

constexpr size_t kBufferSize = 64 * 1024;

// After the first failure nothing more is written: what follows a lost piece
// would arrive out of place.
class CheckedOutputBuffer : public std::streambuf {
  public:
    explicit CheckedOutputBuffer(bool lineBuffered) : buffer_(kBufferSize), lineBuffered_(lineBuffered) {
        setp(buffer_.data(), buffer_.data() + buffer_.size());
    }
    const std::string& Failure() const { return failure_; }

  protected:
    int_type overflow(int_type c) override {
        if (!WritePending()) {
            return traits_type::eof();
        }
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }

    std::streamsize xsputn(const char* text, std::streamsize count) override {
        std::streamsize taken = std::streambuf::xsputn(text, count);
        bool lineEnded =
            lineBuffered_ && count > 0 && std::memchr(text, '\n', static_cast<size_t>(count)) != nullptr;
        if (lineEnded && !WritePending()) {
            return 0;
        }
        return taken;
    }

    int sync() override { return WritePending() ? 0 : -1; }

  private:
    bool WritePending() {
        size_t pending = static_cast<size_t>(pptr() - pbase());
        setp(buffer_.data(), buffer_.data() + buffer_.size());
        if (!failure_.empty()) {
            return false;
        }
        return PlatformWriteStandardOutput(buffer_.data(), pending, failure_);
    }

    std::vector<char> buffer_;
    bool lineBuffered_;
    std::string failure_;
};

// Lives until the process ends: the library flushes std::cout after main returns.
CheckedOutputBuffer* gChecked = nullptr;

} // namespace

void UseCheckedStandardOutput() {
    if (gChecked == nullptr) {
        gChecked = new CheckedOutputBuffer(StandardOutputIsTerminal());
        std::cout.rdbuf(gChecked);
    }
}

std::string StandardOutputFailure() {
    return gChecked != nullptr ? gChecked->Failure() : std::string();
}
