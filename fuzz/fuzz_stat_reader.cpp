// libFuzzer target: see CheckStatReader in checks.cpp for what each input must satisfy.
#include "checks.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return korvanta::fuzz::Run(korvanta::fuzz::CheckStatReader, data, size);
}
