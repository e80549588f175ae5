// The 32 lifetime counters, in the order of the stats file "vorbix.vbx".
#pragma once

#include <cstddef>
#include <cstdint>

struct StatsRecord {
    uint32_t kills;
    uint32_t deaths;
    uint32_t suicides;
    uint32_t maps;
    uint32_t in_a_row_kills;
    uint32_t in_a_row_deaths;
    uint32_t double_kills;
    uint32_t multi_kills;
    uint32_t ultra_kills;
    uint32_t monster_kills;
    uint32_t killingspree;
    uint32_t rampage;
    uint32_t dominating;
    uint32_t unstoppable;
    uint32_t godlike;
    uint32_t holyshit;
    uint32_t bashes_kills;
    uint32_t bashes_deaths;
    uint32_t headshots_kills;
    uint32_t headshots_deaths;
    uint32_t torso_kills;
    uint32_t torso_deaths;
    uint32_t pelvis_kills;
    uint32_t pelvis_deaths;
    uint32_t right_arm_kills;
    uint32_t right_arm_deaths;
    uint32_t left_arm_kills;
    uint32_t left_arm_deaths;
    uint32_t right_leg_kills;
    uint32_t right_leg_deaths;
    uint32_t left_leg_kills;
    uint32_t left_leg_deaths;
};

constexpr int kStatsFieldCount = 32;
constexpr size_t kStatsFileSize = 128;
constexpr const char* kStatsFileName = "vorbix.vbx";

// Field i of the file order, and its key ("kills", "in_a_row_kills", ...).
extern uint32_t StatsRecord::*const kStatsFields[kStatsFieldCount];
extern const char* const kStatsKeys[kStatsFieldCount];

// Little-endian encoding of the 128 file bytes.
void encodeStats(const StatsRecord& record, unsigned char out[kStatsFileSize]);
// Decodes up to 128 bytes; missing bytes read as zero.
StatsRecord decodeStats(const unsigned char* bytes, size_t size);

// Reads at most 128 bytes of `path` into a zeroed record. Returns false when
// the file cannot be opened (the record is then all zero).
bool readStatsFile(const char* path, StatsRecord& out);

// Writes the 128 bytes so that they replace the old file in one step; a
// failure leaves the old file as it was. Returns true on success.
bool writeStatsFile(const char* path, const StatsRecord& record);

// The lifetime merge: sums wrap modulo 2^32, the two best runs keep the maximum.
StatsRecord mergeStats(const StatsRecord& total, const StatsRecord& pending);
