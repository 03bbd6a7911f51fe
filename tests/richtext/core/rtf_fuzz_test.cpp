// Seeded mutation fuzzing of the RTF reader, over memos as the editor writes them, RichEdit
// and LibreOffice documents and hand-made oddities. The test suite runs it for a few seconds
// with a fixed seed; for a longer hunt set ZORVEL_RTF_FUZZ_SECONDS (e.g. 300) and, to try
// other inputs, ZORVEL_RTF_FUZZ_SEED. A failing input is written to a file named in the
// failure. `make fuzz` runs the coverage-guided libFuzzer target over the same checks.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "richtext/core/rtf_reader.h"
#include "richtext/core/rtf_writer.h"
#include "support/rtf_checks.h"

namespace {

using namespace zorvel::rtf;

std::string Fixture(const char* name) {
    std::ifstream in(std::string(ZORVEL_SOURCE_DIR) + "/tests/richtext/data/" + name,
                     std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

long EnvNumber(const char* name, long fallback) {
    const char* value = std::getenv(name);
    return value && *value ? std::strtol(value, nullptr, 10) : fallback;
}

const char* const kTokens[] = {
    "{",
    "}",
    "\\",
    "\\'",
    "\\'d6",
    "\\'d6\\'d0",
    "\\'d",
    "\\u",
    "\\u-",
    "\\u20013?",
    "\\u-10179?",
    "\\uc0",
    "\\uc2",
    "\\uc16 ",
    "\\bin",
    "\\bin3 ",
    "\\bin-1 ",
    "\\*",
    "{\\*\\pn\\pnlvlblt}",
    "{\\*\\pn\\pnlvlcont}",
    "{\\pntext x}",
    "\\par",
    "\\pard",
    "\\plain",
    "\\f",
    "\\f1",
    "\\f-1",
    "\\fs",
    "\\fs-5",
    "\\fs0",
    "\\b",
    "\\b0",
    "\\i",
    "\\ul",
    "\\ulnone",
    "\\uldb",
    "\\cf",
    "\\cf99",
    "\\fonttbl",
    "{\\fonttbl{\\f0\\fcharset134 \\'cb\\'ce;}{\\f1\\cpg950 B;}}",
    "\\colortbl",
    "{\\colortbl;\\red255;}",
    ";",
    "\\red300",
    "\\li-999999",
    "\\li31680",
    "\\ri",
    "\\fi-720",
    "\\qc",
    "\\qr",
    "\\qj",
    "\\ls1",
    "\\ls0",
    "\\pict",
    "{\\field{\\*\\fldinst x}{\\fldrslt y}}",
    "\\ansicpg",
    "\\ansicpg65001",
    "\\ansicpg99999",
    "\\ansicpg932",
    "\\cpg",
    "\\fcharset",
    "\\fcharset128",
    "\\fcharset2",
    "\\line",
    "\\tab",
    "\\cell",
    "\\row",
    "\\~",
    "\\-",
    "\\_",
    "\\\r\n",
    "99999999999",
    "-",
    " ",
    "\r\n",
    "\xd6\xd0",
    "\xff",
    "\xc0\x80",
    "\xed\xa0\x80",
    "" /* a NUL byte */,
    "\\rtf1",
    "{\\rtf1 ",
    "\\deff7",
    "\\mac",
    "\\pc",
    "\\emdash",
};

std::string Mutate(std::string input, const std::vector<std::string>& corpus,
                   std::mt19937_64& rng) {
    auto pick = [&rng](size_t n) { return n == 0 ? size_t(0) : size_t(rng() % n); };
    const int steps = 1 + static_cast<int>(rng() % 8);
    for (int i = 0; i < steps; ++i) {
        const size_t at = pick(input.size() + 1);
        switch (rng() % 7) {
            case 0:
                if (!input.empty())
                    input[pick(input.size())] = static_cast<char>(rng());
                break;
            case 1:
            case 2: {
                const char* token = kTokens[pick(std::size(kTokens))];
                input.insert(at, token[0] ? std::string(token) : std::string(1, '\0'));
                break;
            }
            case 3:
                input.erase(at, 1 + pick(16));
                break;
            case 4:
                if (!input.empty()) {
                    const size_t from = pick(input.size());
                    const std::string part = input.substr(from, 1 + pick(64));
                    input.insert(pick(input.size() + 1), part);
                }
                break;
            case 5: {
                const std::string& other = corpus[pick(corpus.size())];
                const size_t from = pick(other.size());
                input.insert(at, other.substr(from, 1 + pick(256)));
                break;
            }
            case 6:
                input.resize(at);
                break;
        }
        if (input.size() > 65536)
            input.resize(65536);
    }
    return input;
}

TEST(RtfFuzz, MutatedDocumentsReadSafelyAndWriteBackTheSame) {
    const long seconds = EnvNumber("ZORVEL_RTF_FUZZ_SECONDS", 3);
    const auto seed = static_cast<std::uint64_t>(EnvNumber("ZORVEL_RTF_FUZZ_SEED", 20110918));
    std::mt19937_64 rng(seed);

    Document rich;
    for (int i = 0; i < 3; ++i) {
        Paragraph p;
        p.format = {Align(i), 640 * i, 0, 0, i == 1};
        p.runs = {{u"会议 Heading\t\u2028😀", {u"宋体", 32, true, false, true, 0xFF0000}},
                  {u"{plain} \\", {}}};
        rich.paragraphs.push_back(p);
    }
    std::vector<std::string> corpus = {
        WriteRtf(rich),
        Fixture("richedit_cp936.rtf"),
        Fixture("libreoffice_memo.rtf"),
        "{\\rtf1\\ansi\\ansicpg936\\uc2\\u20013\\'d6\\'d0{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}}x\\par}",
        "{\\rtf1{\\fonttbl\\f0\\fswiss Arial;\\f1 Times{\\*\\falt T};}{\\colortbl;\\red1;;}"
        "\\trowd\\intbl a\\cell b\\cell\\row\\bin2 {}\\~\\_\\-}",
        "plain text\r\nsecond line",
    };
    ASSERT_GT(corpus[1].size(), 100u);
    ASSERT_GT(corpus[2].size(), 1000u);

    const auto start = std::chrono::steady_clock::now();
    const auto end = start + std::chrono::seconds(seconds);
    long runs = 0;
    while (std::chrono::steady_clock::now() < end) {
        const std::string input = Mutate(corpus[rng() % corpus.size()], corpus, rng);
        const auto before = std::chrono::steady_clock::now();
        const Document d = ReadRtf(input);
        const auto took = std::chrono::steady_clock::now() - before;
        std::string problem = Broken(d);
        if (problem.empty() && took > std::chrono::seconds(1))
            problem = "slow";
        if (problem.empty()) {
            // What the reader made, the writer keeps: reading the written memo gives it back.
            const std::string written = WriteRtf(d);
            for (unsigned char c : written)
                if (c >= 0x80)
                    problem = "non-ASCII output";
            if (problem.empty() && ReadRtf(written) != d)
                problem = "changed by writing and reading back";
        }
        if (!problem.empty()) {
            const auto path = std::filesystem::temp_directory_path() /
                              ("rtf_fuzz_failure_" + std::to_string(seed) + ".rtf");
            std::ofstream(path, std::ios::binary) << input;
            FAIL() << problem << " after " << runs << " inputs, seed " << seed << "; input in "
                   << path;
        }
        // Keep a few mutants as new starting points.
        if (rng() % 64 == 0 && corpus.size() < 256)
            corpus.push_back(input);
        ++runs;
    }
    std::printf("[ fuzz     ] %ld inputs in %ld s, seed %llu\n", runs, seconds,
                static_cast<unsigned long long>(seed));
}

}  // namespace
