// Text from outside (a player's name, a file name, an announcement text) in a
// console command, so that it can never end the command and start another.
// The engine splits its command buffer at line breaks and at ';' outside
// double quotes, takes "/*" outside quotes as a comment that runs on over
// later commands, and knows no escape inside quotes.
#pragma once

#include <string>

// Sets `quoted` to `text` in double quotes, as one argument of a command.
// False when the text holds a double quote or a line break: no quoting
// keeps it whole, and the command must not be sent.
bool quoteArgument(const std::string& text, std::string& quoted);
// True when `command` is exactly one console command: no line break, no ';'
// and no "/*" outside double quotes.
bool isSingleCommand(const std::string& command);
