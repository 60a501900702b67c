// Arbitrary POCSAG record bodies through TPOCSAG, a run of records handing their carried state on
// as the readers do. The input first gives a carried state for the first record (any values, as
// a damaged reader state would give) and the capacity of the output text; then per record a body
// length and the body. Traps when a record's messages do not end within its 16 code words, a text
// passes 1023 characters or its buffer, or the carried state leaves its ranges.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <vector>

#include "decoders/Pocsag.h"

namespace {

using namespace mutaro;

void Check(bool condition) {
    if (!condition) __builtin_trap();
}

void CheckCarry(const PocsagCarry& carry) {
    Check(carry.textLength <= PocsagCarry::kTextCapacity);
    Check(carry.bitCount >= 0 && carry.bitCount <= 6);
    Check(carry.bitValue < (1u << (7 - carry.bitCount)));
    Check(carry.functionCode >= 0 && carry.functionCode <= 3);
    Check(carry.pendingFunctionCode >= 0 && carry.pendingFunctionCode <= 3);
    Check(!(carry.textLength > 0 && carry.addressPending));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    PocsagCarry carry;
    carry.bitCount = input.ConsumeIntegral<std::int8_t>();
    carry.bitValue = input.ConsumeIntegral<std::uint32_t>();
    carry.functionCode = input.ConsumeIntegral<std::int8_t>();
    carry.addressPending = input.ConsumeBool();
    carry.pendingCapcode = input.ConsumeIntegral<std::uint32_t>();
    carry.pendingFunctionCode = input.ConsumeIntegral<std::int8_t>();
    const std::string text = input.ConsumeRandomLengthString(PocsagCarry::kTextCapacity);
    text.copy(carry.text.data(), text.size());
    // Any length, also past the text held: the decoder must keep within its buffer.
    carry.textLength = input.ConsumeBool() ? text.size() : input.ConsumeIntegral<std::uint16_t>();
    TextBuffer out(input.ConsumeBool() ? 3072 : input.ConsumeIntegralInRange<std::size_t>(0, 200));

    for (int record = 0; record < 16 && input.remaining_bytes() > 0; ++record) {
        const std::size_t length = input.ConsumeIntegralInRange<std::size_t>(0, 90);
        // An exact-size copy, so any read past the body is caught.
        const std::vector<std::uint8_t> body = input.ConsumeBytes<std::uint8_t>(length);
        TPOCSAG decoder(ByteView{body.data(), body.size()}, carry);
        if (!decoder.Valid()) {
            Check(decoder.NextMessage(out) && out.empty());
            continue;  // the reader keeps its carried state
        }
        for (int call = 0;; ++call) {
            Check(call <= 17);
            const bool done = decoder.NextMessage(out);
            Check(out.size() <= TPOCSAG::kMaxText && out.size() <= out.capacity());
            if (done) break;
        }
        Check(decoder.NextMessage(out) && out.empty());  // done stays done
        carry = decoder.Carry();
        CheckCarry(carry);
    }
    return 0;
}
