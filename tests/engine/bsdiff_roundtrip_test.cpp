// A payload made by a differencing tool that is not ours: Debian's bsdiff,
// re-encoded into the container, must rebuild the new file byte for byte.
#include <cstdlib>
#include <string>

#include "tests/engine/patch_job_fixture.h"
#include "tests/support/bsdiff_patch.h"

namespace {

struct FontPair {
    const char* oldFont;
    const char* newFont;
};

const FontPair kFontPairs[] = {
    {"/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf",
     "/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf"},
};

TEST_F(PatchJobTest, RebuildsARealFontFromABsdiffPatch) {
    for (const FontPair& pair : kFontPairs) {
        SCOPED_TRACE(pair.newFont);
        ASSERT_TRUE(std::filesystem::exists(pair.oldFont)) << "scripts/bootstrap installs it";
        ASSERT_TRUE(std::filesystem::exists(pair.newFont)) << "scripts/bootstrap installs it";
        const std::string command =
            std::string("bsdiff '") + pair.oldFont + "' '" + pair.newFont + "' font.bsdiff";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;

        const Bytes oldFile = readFileBytes(pair.oldFont);
        const Bytes expected = readFileBytes(pair.newFont);
        const Bytes payload = payloadFromBsdiffPatch(readFileBytes("font.bsdiff"), oldFile);
        ASSERT_FALSE(payload.empty()) << "not a BSDIFF40 patch";
        std::filesystem::copy_file(pair.oldFont, "lumora.ttc");

        testing::internal::CaptureStdout();
        const JobStatus status = runJob(payload, "lumora.ttc", "TavrinGothic.ttc");
        testing::internal::GetCapturedStdout();
        EXPECT_EQ(status, kJobSucceeded);
        EXPECT_TRUE(dialogs.dialogs().empty());
        const Bytes rebuilt = readFileBytes("TavrinGothic.ttc");
        EXPECT_EQ(rebuilt.size(), expected.size());
        EXPECT_TRUE(rebuilt == expected) << "rebuilt font differs from " << pair.newFont;
    }
}

}  // namespace
