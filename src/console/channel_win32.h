// Win32-only extras of the console channel.
#pragma once

// Waits until every queued console command has been delivered to the game,
// or until `timeoutMs` has passed. Returns true when the queue is empty.
// The exit path calls it so its last command reaches the game before the
// process ends.
bool flushConsoleCommands(unsigned timeoutMs);

// Milliseconds since a read last found text in the output box.
unsigned msSinceConsoleText();
