#include "fuzz/ClassicReaderFuzz.h"
#include "readers/Talvor2.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return mutaro::fuzzing::FuzzReader<mutaro::ZTalvor2>(data, size);
}
