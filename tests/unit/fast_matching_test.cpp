// The faster matching must find exactly what strstr and freshly formatted
// table B patterns would: the same first occurrence, and patterns that follow
// a new name or a reloaded message file at once.
#include <random>

#include "text/find_phrase.h"
#include "engine_fixture.h"
#include "player/name_detection.h"

namespace {

TEST(FindPhrase, FindsWhatStrstrFinds) {
    std::mt19937 random(3);
    std::uniform_int_distribution<int> letter('a', 'c'), length(0, 12);
    auto text = [&](int size) {
        std::string out;
        for (int i = 0; i < size; ++i) out += char(letter(random));
        return out;
    };
    for (int i = 0; i < 20000; ++i) {
        const std::string haystack = text(length(random)), needle = text(length(random) / 3);
        const char* expected = std::strstr(haystack.c_str(), needle.c_str());
        EXPECT_EQ(findPhrase(haystack.c_str(), haystack.size(), needle.c_str(), needle.size()), expected)
            << '"' << needle << "\" in \"" << haystack << '"';
    }
}

class FastMatchingTest : public EngineTest {};

TEST_F(FastMatchingTest, TableBFollowsANewNameAndAReloadedFile) {
    const std::string first = "[detect name]\n1=name\" is:\"\n[gotkill messages]\n1=was shot by %s\n";
    load("english.ini", first);
    app.tableB.entries[app.tableB.count].handler = recordCall<'k'>;
    registerPlayerName("Bob");
    dispatch("\x04" "Carl was shot by Bob");
    registerPlayerName("Alice");
    dispatch("\x04" "Carl was shot by Bob");
    dispatch("\x04" "Carl was shot by Alice");

    load("english.ini", "[detect name]\n1=name\" is:\"\n[gotkill messages]\n1=was sniped by %s\n");
    app.tableB.entries[app.tableB.count].handler = recordCall<'r'>;
    registerPlayerName("Alice");
    dispatch("\x04" "Carl was shot by Alice");
    dispatch("\x04" "Carl was sniped by Alice");

    EXPECT_EQ(handlerCalls, (std::vector<std::string>{
                                "k:was shot by Bob|\x04" "Carl was shot by Bob",
                                "k:was shot by Alice|\x04" "Carl was shot by Alice",
                                "r:was sniped by Alice|\x04" "Carl was sniped by Alice",
                            }));
}

}  // namespace
