// The message-file list of the main window.
#pragma once

// Fills the list from messages\*, selects the saved, the English or the first
// file; returns the number of items.
int listMessageFiles();
