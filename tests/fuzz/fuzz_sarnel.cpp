#include "fuzz/ClassicReaderFuzz.h"
#include "readers/Sarnel.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return mutaro::fuzzing::FuzzReader<mutaro::ZSarnel>(data, size);
}
