#include "console/message_file.h"

#include "core/frontend.h"
#include "core/platform.h"

namespace {

#ifdef _WIN32
const char kMessagesFolder[] = "\\messages\\";
#else
const char kMessagesFolder[] = "/messages/";
#endif
// The message-file path is held in a buffer of this size on Windows.
constexpr size_t kMaxPathSize = 260;

template <typename Handler>
void addSection(BasicKeywordTable<Handler>& table, const char* section, Handler handler, const CSimpleIniA& ini) {
    CSimpleIniA::TNamesDepend keys;
    ini.GetAllKeys(section, keys);
    for (const auto& key : keys) {
        const char* value = ini.GetValue(section, key.pItem, nullptr);
        if (value == nullptr) continue;
        if (table.count >= MAX_KEYWORDS - 1) {
            showWarning("MAX_KEYWORDS met", "Error");
            exitProcess(1);
        }
        appendKeyword(table, value, handler);
    }
}

}  // namespace

std::string messageFilePath(const std::string& name) {
    std::string path = currentDirectory() + kMessagesFolder + name;
    return path.size() < kMaxPathSize ? path : std::string();
}

void addKeywords(KeywordTable& table, const char* section, KeywordHandler handler, const CSimpleIniA& ini) {
    addSection(table, section, handler, ini);
}

void addKeywords(HitLocationTable& table, const char* section, HitHandler handler, const CSimpleIniA& ini) {
    addSection(table, section, handler, ini);
}
