#include "stats/history.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace {

constexpr int kTextColumns = 5;  // start, end, map, edition, player
constexpr size_t kTimestampLength = 19;

// The record's field of each counter column: every counter but "maps".
const std::vector<int>& historyCounterFields() {
    static const std::vector<int> fields = [] {
        std::vector<int> found;
        for (int i = 0; i < kStatsFieldCount; ++i)
            if (kStatsFields[i] != &StatsRecord::maps) found.push_back(i);
        return found;
    }();
    return fields;
}

// A field with a comma, a double quote, a CR or a LF goes in double quotes,
// its double quotes doubled; any other is written as it is.
void appendField(std::string& out, const std::string& value) {
    if (value.find_first_of(",\"\r\n") == std::string::npos) {
        out += value;
        return;
    }
    out += '"';
    for (char c : value) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

// Which of this version's columns stands at each place of `header`, or -1.
std::vector<int> columnsOf(const std::vector<std::string>& header) {
    std::vector<int> columns(header.size(), -1);
    for (size_t h = 0; h < header.size(); ++h)
        for (size_t c = 0; c < historyColumns().size(); ++c)
            if (header[h] == historyColumns()[c]) columns[h] = int(c);
    return columns;
}

// A row with `columns` as columnsOf gives them; unknown columns stay empty.
std::string rowFor(const MapRecord& record, const std::vector<int>& columns) {
    const std::string* text[kTextColumns] = {&record.start, &record.end, &record.map, &record.edition,
                                             &record.player};
    std::string out;
    for (size_t h = 0; h < columns.size(); ++h) {
        if (h > 0) out += ',';
        const int c = columns[h];
        if (c < 0) continue;
        if (c < kTextColumns) {
            appendField(out, *text[c]);
        } else {
            out += std::to_string(record.counts.*kStatsFields[historyCounterFields()[size_t(c - kTextColumns)]]);
        }
    }
    out += "\r\n";
    return out;
}

// Splits RFC 4180 records off the front of `bytes`. A record ends at CR LF or
// a lone LF outside quotes; one still open at the end of the bytes (no line
// end, a CR without its LF, an unclosed quote) is torn.
class RecordReader {
public:
    explicit RecordReader(const std::string& bytes) : bytes_(bytes) {}

    // The next complete record into `fields`; false at the end or at a torn tail.
    bool next(std::vector<std::string>& fields) {
        fields.clear();
        const size_t size = bytes_.size();
        size_t i = pos_;
        if (i >= size) return false;
        std::string field;
        bool quoted = false;       // inside quotes
        bool wasQuoted = false;    // this field started with a quote
        while (i < size) {
            const char c = bytes_[i];
            if (quoted) {
                if (c == '"') {
                    if (i + 1 < size && bytes_[i + 1] == '"') {
                        field += '"';
                        i += 2;
                        continue;
                    }
                    quoted = false;
                } else {
                    field += c;
                }
                ++i;
                continue;
            }
            if (c == '"' && field.empty() && !wasQuoted) {
                quoted = wasQuoted = true;
                ++i;
            } else if (c == ',') {
                fields.push_back(std::move(field));
                field.clear();
                wasQuoted = false;
                ++i;
            } else if (c == '\n' || (c == '\r' && i + 1 < size && bytes_[i + 1] == '\n')) {
                fields.push_back(std::move(field));
                pos_ = i + (c == '\r' ? 2 : 1);
                return true;
            } else {
                field += c;
                ++i;
            }
        }
        torn_ = true;  // the bytes ended inside this record
        fields.clear();
        return false;
    }

    // Where the last complete record ended.
    size_t completeEnd() const { return pos_; }
    bool torn() const { return torn_; }

private:
    const std::string& bytes_;
    size_t pos_ = 0;
    bool torn_ = false;
};

bool isBlank(const std::vector<std::string>& fields) { return fields.size() == 1 && fields[0].empty(); }

bool isTimestamp(const std::string& text) {
    static const char kPattern[] = "dddd-dd-ddTdd:dd:dd";
    if (text.size() != kTimestampLength) return false;
    for (size_t i = 0; i < kTimestampLength; ++i) {
        const bool digit = text[i] >= '0' && text[i] <= '9';
        if (kPattern[i] == 'd' ? !digit : text[i] != kPattern[i]) return false;
    }
    return true;
}

// An empty count is zero; anything but up to ten digits of a 32-bit value is not a count.
bool parseCount(const std::string& text, uint32_t& out) {
    if (text.size() > 10) return false;
    unsigned long long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + unsigned(c - '0');
    }
    if (value > 0xFFFFFFFFull) return false;
    out = static_cast<uint32_t>(value);
    return true;
}

bool readWholeFile(const char* path, std::string& out, bool& exists) {
    out.clear();
    exists = false;
    std::FILE* file = std::fopen(path, "rb");
    if (!file) {
        std::error_code ec;
        return !std::filesystem::exists(path, ec) && !ec;  // no file yet is an empty history
    }
    exists = true;
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) out.append(buffer, n);
    const bool ok = !std::ferror(file);
    std::fclose(file);
    return ok;
}

}  // namespace

bool hasMapCounts(const MapRecord& record) {
    for (int field : historyCounterFields())
        if (record.counts.*kStatsFields[field] != 0) return true;
    return false;
}

std::string localTimestamp(std::time_t when) {
    std::tm local{};
#ifdef _WIN32
    if (localtime_s(&local, &when) != 0) return "";
#else
    if (localtime_r(&when, &local) == nullptr) return "";
#endif
    char text[32];
    if (std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local) != kTimestampLength) return "";
    return text;
}

const std::vector<std::string>& historyColumns() {
    static const std::vector<std::string> columns = [] {
        std::vector<std::string> names = {"start", "end", "map", "edition", "player"};
        for (int field : historyCounterFields()) names.push_back(kStatsKeys[field]);
        return names;
    }();
    return columns;
}

std::string historyHeaderRow() {
    std::string out;
    for (const auto& name : historyColumns()) {
        if (!out.empty()) out += ',';
        out += name;
    }
    return out + "\r\n";
}

std::string historyRow(const MapRecord& record) {
    static const std::vector<int> columns = columnsOf(historyColumns());
    return rowFor(record, columns);
}

HistoryFile parseHistory(const std::string& bytes) {
    HistoryFile file;
    RecordReader reader(bytes);
    std::vector<std::string> fields;
    // Where each known column stands in this file's rows, or -1.
    std::vector<int> at(historyColumns().size(), -1);
    while (reader.next(fields)) {
        if (isBlank(fields)) continue;
        if (!file.header) {
            const std::vector<int> columns = columnsOf(fields);
            for (size_t f = 0; f < columns.size(); ++f)
                if (columns[f] >= 0 && at[size_t(columns[f])] < 0) at[size_t(columns[f])] = int(f);
            file.header = at[0] >= 0;
            if (!file.header) ++file.skipped;
            continue;
        }
        static const std::string kEmpty;
        auto column = [&](size_t c) -> const std::string& {
            return at[c] >= 0 && size_t(at[c]) < fields.size() ? fields[size_t(at[c])] : kEmpty;
        };
        MapRecord record;
        record.start = column(0);
        record.end = column(1);
        record.map = column(2);
        record.edition = column(3);
        record.player = column(4);
        bool good = isTimestamp(record.start) && isTimestamp(record.end);
        const auto& counters = historyCounterFields();
        for (size_t i = 0; good && i < counters.size(); ++i)
            good = parseCount(column(kTextColumns + i), record.counts.*kStatsFields[counters[i]]);
        if (good) {
            file.rows.push_back(std::move(record));
        } else {
            ++file.skipped;
        }
    }
    file.torn = reader.torn();
    return file;
}

bool readHistoryFile(const char* path, HistoryFile& out) {
    out = HistoryFile{};
    std::string bytes;
    bool exists = false;
    if (!readWholeFile(path, bytes, exists) || !exists) return false;
    out = parseHistory(bytes);
    return true;
}

bool appendHistoryRows(const char* path, const std::vector<MapRecord>& rows, HistoryFileState* known) {
    std::error_code ec;
    std::vector<std::string> header;
    uint64_t keep = 0;
    const uint64_t size = std::filesystem::file_size(path, ec);
    if (known && known->valid && !ec && size == known->size) {
        header = known->header;  // as this writer left it
        keep = size;
    } else {
        std::string bytes;
        bool exists = false;
        if (!readWholeFile(path, bytes, exists)) return false;
        // The first record is the header; the last complete one ends at `keep`.
        RecordReader reader(bytes);
        std::vector<std::string> fields;
        while (reader.next(fields))
            if (header.empty() && !isBlank(fields)) header = fields;
        // Blank lines alone count as an empty file.
        keep = header.empty() ? 0 : reader.completeEnd();
        if (exists && keep < bytes.size()) {
            std::filesystem::resize_file(path, keep, ec);
            if (ec) return false;
        }
    }
    if (known) known->valid = false;

    std::string out;
    if (header.empty()) {
        out = historyHeaderRow();
        header = historyColumns();
    } else {
        bool ours = false;
        for (const auto& name : header) ours = ours || name == historyColumns()[0];
        if (!ours) return false;
    }
    const std::vector<int> columns = columnsOf(header);
    for (const auto& record : rows) out += rowFor(record, columns);

    std::FILE* file = std::fopen(path, "ab");
    if (!file) return false;
    bool ok = std::fwrite(out.data(), 1, out.size(), file) == out.size();
    ok = std::fflush(file) == 0 && ok;
    ok = std::fclose(file) == 0 && ok;
    // A write that failed part way leaves a torn tail: take it back now, so a
    // retry of the same rows cannot write any of them twice.
    if (!ok) std::filesystem::resize_file(path, keep, ec);
    if (ok && known) *known = HistoryFileState{true, keep + out.size(), header};
    return ok;
}

bool mapNameFromLine(const char* line, std::string& name) {
    static const char kPrefix[] = "\"mapname\" is:\"";
    if (line == nullptr || std::strncmp(line, kPrefix, sizeof kPrefix - 1) != 0) return false;
    const char* begin = line + sizeof kPrefix - 1;
    const char* quote = std::strchr(begin, '"');
    if (quote == nullptr) return false;

    // What may follow the closing quote: nothing (a read-only variable), the
    // default in quotes, or ", the default"; then at most the line end.
    const char* rest = quote + 1;
    static const char kDefault[] = " default:\"";
    static const char kIsDefault[] = ", the default";
    if (std::strncmp(rest, kDefault, sizeof kDefault - 1) == 0) {
        const char* close = std::strchr(rest + sizeof kDefault - 1, '"');
        if (close == nullptr) return false;
        rest = close + 1;
    } else if (std::strncmp(rest, kIsDefault, sizeof kIsDefault - 1) == 0) {
        rest += sizeof kIsDefault - 1;
    }
    if (std::strcmp(rest, "") != 0 && std::strcmp(rest, "\n") != 0 && std::strcmp(rest, "\r") != 0 &&
        std::strcmp(rest, "\r\n") != 0)
        return false;

    std::string value(begin, quote);
    // Engines of the Quake III line that print colours end the value with "^7".
    if (value.size() >= 2 && value.compare(value.size() - 2, 2, "^7") == 0) value.resize(value.size() - 2);
    const size_t spawn = value.find('$');  // "m1l1$start": the map and its spawn point
    if (spawn != std::string::npos) value.resize(spawn);
    if (value.empty() || value == "nomap") return false;
    for (unsigned char c : value)
        if (c < 0x20 || c == 0x7F) return false;
    name = value;
    return true;
}
