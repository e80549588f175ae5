#include "core/stats_record.h"

#include <cstdio>
#include <cstring>

#include "core/atomic_file.h"

static_assert(sizeof(StatsRecord) == kStatsFileSize, "StatsRecord must match the 128-byte file");

uint32_t StatsRecord::*const kStatsFields[kStatsFieldCount] = {
    &StatsRecord::kills,           &StatsRecord::deaths,           &StatsRecord::suicides,
    &StatsRecord::maps,            &StatsRecord::in_a_row_kills,   &StatsRecord::in_a_row_deaths,
    &StatsRecord::double_kills,    &StatsRecord::multi_kills,      &StatsRecord::ultra_kills,
    &StatsRecord::monster_kills,   &StatsRecord::killingspree,     &StatsRecord::rampage,
    &StatsRecord::dominating,      &StatsRecord::unstoppable,      &StatsRecord::godlike,
    &StatsRecord::holyshit,        &StatsRecord::bashes_kills,     &StatsRecord::bashes_deaths,
    &StatsRecord::headshots_kills, &StatsRecord::headshots_deaths, &StatsRecord::torso_kills,
    &StatsRecord::torso_deaths,    &StatsRecord::pelvis_kills,     &StatsRecord::pelvis_deaths,
    &StatsRecord::right_arm_kills, &StatsRecord::right_arm_deaths, &StatsRecord::left_arm_kills,
    &StatsRecord::left_arm_deaths, &StatsRecord::right_leg_kills,  &StatsRecord::right_leg_deaths,
    &StatsRecord::left_leg_kills,  &StatsRecord::left_leg_deaths,
};

const char* const kStatsKeys[kStatsFieldCount] = {
    "kills",           "deaths",           "suicides",        "maps",
    "in_a_row_kills",  "in_a_row_deaths",  "double_kills",    "multi_kills",
    "ultra_kills",     "monster_kills",    "killingspree",    "rampage",
    "dominating",      "unstoppable",      "godlike",         "holyshit",
    "bashes_kills",    "bashes_deaths",    "headshots_kills", "headshots_deaths",
    "torso_kills",     "torso_deaths",     "pelvis_kills",    "pelvis_deaths",
    "right_arm_kills", "right_arm_deaths", "left_arm_kills",  "left_arm_deaths",
    "right_leg_kills", "right_leg_deaths", "left_leg_kills",  "left_leg_deaths",
};

void encodeStats(const StatsRecord& record, unsigned char out[kStatsFileSize]) {
    for (int i = 0; i < kStatsFieldCount; ++i) {
        uint32_t value = record.*kStatsFields[i];
        for (int b = 0; b < 4; ++b) out[4 * i + b] = static_cast<unsigned char>(value >> (8 * b));
    }
}

StatsRecord decodeStats(const unsigned char* bytes, size_t size) {
    unsigned char full[kStatsFileSize] = {};
    std::memcpy(full, bytes, size < kStatsFileSize ? size : kStatsFileSize);
    StatsRecord record{};
    for (int i = 0; i < kStatsFieldCount; ++i) {
        uint32_t value = 0;
        for (int b = 0; b < 4; ++b) value |= static_cast<uint32_t>(full[4 * i + b]) << (8 * b);
        record.*kStatsFields[i] = value;
    }
    return record;
}

bool readStatsFile(const char* path, StatsRecord& out) {
    out = StatsRecord{};
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return false;
    unsigned char bytes[kStatsFileSize];
    size_t got = std::fread(bytes, 1, sizeof bytes, file);
    std::fclose(file);
    out = decodeStats(bytes, got);
    return true;
}

bool writeStatsFile(const char* path, const StatsRecord& record) {
    unsigned char bytes[kStatsFileSize];
    encodeStats(record, bytes);
    return writeFileAtomically(path, bytes, sizeof bytes);
}

StatsRecord mergeStats(const StatsRecord& total, const StatsRecord& pending) {
    StatsRecord merged = total;
    for (auto field : kStatsFields) {
        if (field == &StatsRecord::in_a_row_kills || field == &StatsRecord::in_a_row_deaths) {
            if (pending.*field > merged.*field) merged.*field = pending.*field;
        } else {
            merged.*field += pending.*field;  // unsigned: wraps modulo 2^32
        }
    }
    return merged;
}
