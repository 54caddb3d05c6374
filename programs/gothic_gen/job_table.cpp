// The job table and summary of gothic_gen.
#include <iterator>

#include "frontend/summary.h"
#include "programs/gothic_gen/job_table.h"

namespace {

constexpr PatchJob kJobs[] = {
    {101, "lumora.ttc", "TavrinGothic.ttc"},
    {102, "lumorab.ttc", "TavrinGothicB.ttc"},
};

// Code page 932; reads as:
//   lumora.ttc  ver5.00
//     サイズ: %dバイト
//     MD5: %02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x
//
//   lumorab.ttc ver5.00
//     サイズ: %dバイト
//     MD5: %02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x
//
//   から TavrinGothic 5.00+ rev1 を生成します.
constexpr char kSummaryTemplate[] =
    "lumora.ttc  ver5.00\n"
    "  \x83T\x83"
    "C\x83Y: %d\x83o\x83"
    "C\x83g\n"
    "  MD5: %02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x\n"
    "\n"
    "lumorab.ttc ver5.00\n"
    "  \x83T\x83"
    "C\x83Y: %d\x83o\x83"
    "C\x83g\n"
    "  MD5: %02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x\n"
    "\n"
    "\x82\xa9\x82\xe7 TavrinGothic 5.00+ rev1 \x82\xf0\x90\xb6\x90\xac\x82\xb5\x82\xdc\x82\xb7.";

static_assert(summaryTemplateFits(kSummaryTemplate, std::size(kJobs)),
              "the summary must have one row of fields per job and always fit its buffer");

constexpr GeneratorProgram kProgram{kJobs, kSummaryTemplate};

}  // namespace

const GeneratorProgram& gothicGenProgram() {
    return kProgram;
}
