// libFuzzer target: the parse trace that guards the import against
// TinyXML itself. Each input is prepared as a file's text is, traced, and
// parsed by TinyXML on a thread with a large stack; the run fails when the
// trace accepted more nesting or attributes than the bounds, refused a
// text TinyXML parses within them, put a refusal elsewhere than TinyXML's
// element, or foresaw TinyXML's error or stop otherwise than it happened.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "fuzz/ParseOracle.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    document::DocumentText text(std::string_view(reinterpret_cast<const char*>(data), size));
    document::ParseTrace trace = document::traceParse(text);
    oracle::ParseOutcome outcome = oracle::parseWithTinyXml(text);
    std::string why = oracle::disagreement(text, trace, outcome);
    if (!why.empty()) {
        std::fprintf(stderr, "bounds_fuzzer: %s\n", why.c_str());
        std::abort();
    }
    return 0;
}
