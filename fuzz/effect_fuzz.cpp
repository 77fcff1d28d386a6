// The effect preprocessor and parser on arbitrary source: a description or a message, never a crash.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "formats/effect/effect_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string source(reinterpret_cast<const char*>(data), size);
    const Result<EffectDescription> parsed = ParseEffect(source, "tests/fuzz_corpus/effect/fuzz.fx");
    if (!parsed.ok && parsed.message.empty()) std::abort();
    return 0;
}
