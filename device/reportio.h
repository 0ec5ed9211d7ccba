// Report framing on an open hidapi handle: the 9-byte command and answer
// feature reports and the data phases that follow bulk commands. Shared by
// gearpanel's device link and romwriter's.
#pragma once

#include <cstdint>

struct hid_device_;
typedef struct hid_device_ hid_device;

namespace reportio {

// Pause after every data-phase output report and after starting a write.
constexpr int kReportPauseMs = 8;

// Sends report[0..8] (report id 0x00, then the packet) as a feature report.
bool sendFeature(hid_device *dev, const uint8_t *report);
// Reads a 9-byte feature report with the report id in report[0] into report.
bool readFeature(hid_device *dev, uint8_t *report);

// Sends n bytes of data as output reports of reportLength + 1 bytes: report
// id 0x00, then min(n, reportLength) data bytes, zero-padded; pauses 8 ms
// after each report. Fails at once for reportLength 0.
bool writeDataPhase(hid_device *dev, const uint8_t *data, int n, unsigned reportLength);

// Reads n bytes into data from input reports of up to reportLength + 1 bytes,
// copying the first min(n, reportLength) bytes each read places in its
// buffer (bytes a shorter report leaves out count as zero). Each report is
// awaited at most timeoutMs. On failure the chunks already read stay in data.
bool readDataPhase(hid_device *dev, uint8_t *data, int n, unsigned reportLength, int timeoutMs);

} // namespace reportio
