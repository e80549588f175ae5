// Shared set-up for the matching-engine tests: fresh fakes, a temporary
// current directory with a messages/ folder, and recording handlers.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/app_state.h"
#include "wiring/message_wiring.h"
#include "wiring/poll.h"
#include "fakes/platform_fake.h"
#include "temp_dir.h"

// What the recording handlers saw: "<tag>:<match>|<line>".
inline std::vector<std::string> handlerCalls;

template <char Tag>
void recordCall(const char* match, char* line) {
    handlerCalls.push_back(std::string(1, Tag) + ":" + match + "|" + line);
}

class EngineTest : public ::testing::Test {
protected:
    TempDir dir;

    void SetUp() override {
        resetFakes();
        handlerCalls.clear();
        dir.mkdir("messages");
        fake.cwd = dir.root();
    }

    void writeMessageFile(const std::string& name, const std::string& text) {
        dir.write("messages/" + name, text);
    }

    // Loads a message file and forgets what the load sent.
    void load(const std::string& name, const std::string& text) {
        writeMessageFile(name, text);
        loadMessageFile(name.c_str());
        fake.log.clear();
        fake.commands.clear();
    }

    // Finds the first edition's console and takes the first (non-reading) poll.
    void linkConsole() {
        fake.editionPresent[0] = true;
        poll();
        fake.log.clear();
        fake.commands.clear();
    }

    // One step of the console transport, then one poll step.
    void poll() { pollFakeConsole(lastSearchTime); }

    // Dispatches one line the way the poll does, from a mutable buffer of
    // exactly its size (so the sanitizer sees any read beyond it).
    void dispatch(const std::string& text) {
        std::unique_ptr<char[]> buffer(new char[text.size() + 1]);
        std::memcpy(buffer.get(), text.c_str(), text.size() + 1);
        dispatchLine(buffer.get());
    }

    int32_t lastSearchTime = 0;
};
