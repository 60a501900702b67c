// Arbitrary FLEX record bodies through TFLEX, in the readers' calling order, several records in a
// row so each passes its phase count to the next. The first byte is the previous phase count of
// the first record (any value, as a damaged reader state would give) and the capacity of the
// output text; then per record a 16-bit body length and the body. Traps when a phase does not end
// within its 88 words, a text passes 1023 characters or its buffer, or a page text is malformed.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <vector>

#include "decoders/Flex.h"

namespace {

using namespace mutaro;

void Check(bool condition) {
    if (!condition) __builtin_trap();
}

void DrainPhase(TFLEX& flex, int phase, TextBuffer& out) {
    flex.ResetPhase(phase);
    for (int call = 0;; ++call) {
        Check(call <= TFLEX::kPhaseWords);
        const bool done = flex.NextPage(phase, out);
        Check(out.size() <= TFLEX::kMaxText && out.size() <= out.capacity());
        if (done) {
            Check(out.empty());
            break;
        }
        if (!out.empty() && out.capacity() >= TFLEX::kMaxText) {
            Check(out.size() >= 21 && out.view().substr(0, 7) == "FLEX   ");
        }
    }
    Check(flex.NextPage(phase, out) && out.empty());  // done stays done
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    int previous = input.ConsumeIntegral<std::int8_t>();
    TextBuffer out(input.ConsumeBool() ? 3072 : input.ConsumeIntegralInRange<std::size_t>(0, 200));
    for (int record = 0; record < 8 && input.remaining_bytes() > 0; ++record) {
        const std::size_t length = input.ConsumeIntegralInRange<std::size_t>(0, 18 + TFLEX::kMaxData + 64);
        // An exact-size copy, so any read past the body is caught.
        const std::vector<std::uint8_t> body = input.ConsumeBytes<std::uint8_t>(length);
        TFLEX flex(ByteView{body.data(), body.size()}, previous);
        Check(flex.Phases() >= 1 && flex.Phases() <= TFLEX::kMaxPhases);
        previous = flex.Phases();
        if (flex.DataLength() == 0) continue;
        for (int p = 0; p < flex.Phases(); ++p) DrainPhase(flex, p, out);
        for (int p : {-1, flex.Phases(), TFLEX::kMaxPhases}) Check(flex.NextPage(p, out) && out.empty());
    }
    return 0;
}
