// Memo bodies: any bytes the event table may hold, read as RTF (or as plain text when they are
// not RTF), and written back.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "richtext/core/rtf_reader.h"
#include "richtext/core/rtf_writer.h"
#include "support/rtf_checks.h"

using namespace zorvel::rtf;
using zorvel::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const Document d = ReadRtf(bytes);
    const std::string problem = Broken(d);
    Check(problem.empty(), problem.c_str());
    // Memory in proportion to the input: each paragraph and run holds a copy of its font's
    // name, which must stay short whatever the font table says.
    size_t held = 0;
    for (const Paragraph& p : d.paragraphs) {
        held += p.markFormat.font.size() + 16;
        for (const Run& r : p.runs)
            held += r.text.size() + r.format.font.size() + 16;
    }
    Check(held <= 160 * size + 1024, "document far larger than its RTF");
    // What the reader made the writer keeps: reading the written memo gives it back.
    const std::string written = WriteRtf(d);
    for (unsigned char c : written)
        Check(c < 0x80, "non-ASCII byte in written RTF");
    Check(ReadRtf(written) == d, "memo changed by writing and reading back", written);
    return 0;
}
