#include "console/quoted_command.h"

#include "core/platform.h"
#include "text/command_text.h"

void sendWithQuotedText(const char* prefix, const std::string& text) {
    std::string quoted;
    if (quoteArgument(text, quoted)) sendConsoleCommand(prefix + quoted);
}
