// Dialogs on a terminal: messages are printed, the one question is answered
// by a line on standard input.
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <string>

#include "platform/dialog_seam.h"
#include "platform/native/terminal_text.h"

namespace {

// Reads one line from standard input; false at end of input with nothing read.
bool readAnswerLine(std::string& line) {
    line.clear();
    int character = 0;
    bool readAny = false;
    while ((character = std::fgetc(stdin)) != EOF) {
        readAny = true;
        if (character == '\n') {
            break;
        }
        line.push_back(static_cast<char>(character));
    }
    return readAny;
}

std::string trimmedLowerCase(const std::string& text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && std::isspace(static_cast<unsigned char>(text[first]))) {
        ++first;
    }
    while (last > first && std::isspace(static_cast<unsigned char>(text[last - 1]))) {
        --last;
    }
    std::string word = text.substr(first, last - first);
    for (char& character : word) {
        character = static_cast<char>(std::tolower(static_cast<unsigned char>(character)));
    }
    return word;
}

bool meansOk(const std::string& line) {
    const std::string word = trimmedLowerCase(line);
    return word.empty() || word == "ok" || word == "y" || word == "yes";
}

}  // namespace

MessageAnswer presentDialog(const DialogRequest& request) {
    const std::string title = terminalTextFromCp932(request.title);
    const std::string text = terminalTextFromCp932(request.text);
    if (request.asksOkCancel) {
        std::printf("[%s]\n%s\n\nOK? [Y/n] ", title.c_str(), text.c_str());
        std::fflush(stdout);
        std::string line;
        const bool answered = readAnswerLine(line);
        if (!answered || !isatty(fileno(stdin))) {
            std::printf("\n");  // no echoed answer ended the prompt line
        }
        std::fflush(stdout);
        return answered && meansOk(line) ? MessageAnswer::ok : MessageAnswer::cancel;
    }
    std::FILE* stream = request.icon == MessageIcon::error ? stderr : stdout;
    std::fprintf(stream, "[%s] %s\n", title.c_str(), text.c_str());
    std::fflush(stream);
    return MessageAnswer::ok;
}
