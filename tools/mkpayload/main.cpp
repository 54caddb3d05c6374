// mkpayload OLD NEW PAYLOAD: writes the payload that rebuilds NEW from OLD.

#include <cstdio>
#include <cstring>

#include "tools/mkpayload/make_payload.h"

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

constexpr char kUsage[] =
    "usage: mkpayload [--stats] OLD NEW PAYLOAD\n"
    "Writes PAYLOAD, which rebuilds the file NEW from the file OLD.\n"
    "  --stats   print records, stream sizes, input sizes and time taken\n";

struct Arguments {
    bool stats = false;
    const char* files[3] = {};
};

// Returns false (after saying why) when the command line is not usable.
bool parseArguments(int argc, char** argv, Arguments& arguments) {
    int fileCount = 0;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (!optionsEnded && argument[0] == '-' && argument[1] != '\0') {
            if (std::strcmp(argument, "--") == 0) {
                optionsEnded = true;
            } else if (std::strcmp(argument, "--stats") == 0) {
                arguments.stats = true;
            } else {
                std::fprintf(stderr, "mkpayload: unknown option '%s'\n%s", argument, kUsage);
                return false;
            }
            continue;
        }
        if (fileCount == 3) {
            std::fprintf(stderr, "mkpayload: too many arguments\n%s", kUsage);
            return false;
        }
        if (argument[0] == '\0') {
            std::fprintf(stderr, "mkpayload: empty file name\n%s", kUsage);
            return false;
        }
        arguments.files[fileCount++] = argument;
    }
    if (fileCount < 3) {
        std::fprintf(stderr, "mkpayload: expected OLD, NEW and PAYLOAD\n%s", kUsage);
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    Arguments arguments;
    if (!parseArguments(argc, argv, arguments)) {
        return kExitUsage;
    }
    mkpayload::PayloadStats stats;
    if (mkpayload::makePayload(arguments.files[0], arguments.files[1], arguments.files[2], stats) !=
        mkpayload::kMakeSucceeded) {
        return kExitFailure;
    }
    if (arguments.stats) {
        mkpayload::printPayloadStats(stats, stdout);
    }
    return 0;
}
