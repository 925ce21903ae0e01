// What playing one metafile did: counts for the caller's log and summary.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace quillkit {

struct PlayResult {
    uint32_t recordsRead = 0;       // records found in the data
    uint32_t recordsPlayed = 0;     // records that were understood and applied
    // Records skipped because they are not supported, by EMF record type.
    std::map<uint32_t, uint32_t> unsupported;
    // Problems met: damaged records, absurd sizes, missing objects. The page
    // is drawn as far as the data was valid.
    std::vector<std::string> errors;
    bool truncated = false;         // playback stopped before the EOF record

    uint32_t unsupportedTotal() const {
        uint32_t n = 0;
        for (const auto& kv : unsupported) n += kv.second;
        return n;
    }
};

// The EMF name of a record type, e.g. "EMR_POLYGON16"; "EMR_<n>" when unknown.
std::string emfRecordName(uint32_t type);

}  // namespace quillkit
