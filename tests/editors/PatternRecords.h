#pragma once

#include <algorithm>
#include <compare>
#include <cstdint>
#include <ostream>
#include <vector>

#include "sequencer/Pattern.h"
#include "sequencer/PatternEvent.h"

// An event's contents, to compare patterns by value.
struct cEventRecord
{
    int32_t time = 0;
    int32_t length = 0;
    int32_t flags = 0;
    int32_t data1 = 0;
    int32_t data2 = 0;
    int32_t data3 = 0;

    static cEventRecord Of(const cPatternEvent& e) { return {e.time, e.length, e.flags, e.data1, e.data2, e.data3}; }
    static cEventRecord Note(int32_t time, int32_t note, int32_t length, int32_t velocity = 100)
    {
        return {time, length, 0, note, velocity, 0};
    }
    static cEventRecord Controller(int32_t time, int32_t id, int32_t value, int32_t length = 16)
    {
        return {time, length, cPatternEvent::kFlagController, (value >> 8) & 0xff, value & 0xff, id};
    }

    auto operator<=>(const cEventRecord&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const cEventRecord& r)
{
    return out << "{t " << r.time << " len " << r.length << (r.flags & 1 ? " ctrl " : " note ") << r.data1 << ' '
               << r.data2 << ' ' << r.data3 << '}';
}

// In list order.
inline std::vector<cEventRecord> Records(const cPattern& pattern)
{
    std::vector<cEventRecord> records;
    for (const cPatternEvent* e = pattern.head; e; e = e->next)
        records.push_back(cEventRecord::Of(*e));
    return records;
}

// Events at one tick as a set: an undo puts an event back after the others
// of its tick.
inline std::vector<cEventRecord> SortedRecords(const cPattern& pattern)
{
    std::vector<cEventRecord> records = Records(pattern);
    std::sort(records.begin(), records.end());
    return records;
}
