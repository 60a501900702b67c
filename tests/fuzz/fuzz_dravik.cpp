#include "fuzz/ClassicReaderFuzz.h"
#include "readers/Dravik.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return mutaro::fuzzing::FuzzReader<mutaro::ZDravik>(data, size);
}
