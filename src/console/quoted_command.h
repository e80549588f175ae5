// Sending a command whose last argument is text from outside.
#pragma once

#include <string>

// Sends `prefix` followed by `text` in double quotes (text/command_text.h);
// sends nothing when the text cannot be quoted safely.
void sendWithQuotedText(const char* prefix, const std::string& text);
