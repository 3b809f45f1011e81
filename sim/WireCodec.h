#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

// The adapter's side of the wire: the 72-byte frame, its checksum and the
// HID reports that carry it. Kept apart from the tool's own codec on
// purpose: the simulator must catch the tool's mistakes, not share them.
namespace tbsim::wire {

constexpr int kFrameSize = 72;
constexpr int kStatusOffset = 1;
constexpr int kCodeOffset = 3;
constexpr int kParam1Offset = 4;
constexpr int kParam2Offset = 5;
constexpr int kDataOffset = 6;
constexpr int kDataSize = 64;
constexpr int kChecksumOffset = 70;

constexpr int kReportSize = 64;                  // input reports, as hidraw hands them over
constexpr int kOutputReportSize = kReportSize + 1; // report id + payload
constexpr int kFirstPartSize = 62;               // frame bytes in the first report
constexpr int kSecondPartSize = 10;              // frame bytes in the second report
constexpr int kPartOffset = 2;                   // frame bytes start after marker and length

constexpr uint8_t kFrameMarker = 0x01;
constexpr uint8_t kAddress = 0xFE;
constexpr uint8_t kFirstMarker = 0xEC;
constexpr uint8_t kSecondMarker = 0xEE;
constexpr uint8_t kErrorMarker = 0x1E;

using Frame = std::array<uint8_t, kFrameSize>;
using Report = std::array<uint8_t, kReportSize>;

// CRC-16/MODBUS register over bytes (not byte-swapped).
uint16_t crc16(const uint8_t *bytes, size_t length);

// Stores the checksum of offsets 0..69, most significant byte at offset 70.
void seal(Frame &frame);
bool hasValidChecksum(const Frame &frame);

// One output report as written by the tool (report id included), checked
// byte by byte. The error text says what is wrong; empty when the report is
// well formed.
struct OutputReport {
    enum Part { First, Second };
    Part part = First;
    std::string error;
};
OutputReport checkOutputReport(const uint8_t *data, size_t length);

// Checks a joined request frame: marker, status and address bytes, checksum.
std::string checkRequestFrame(const Frame &frame);

// The two input reports carrying a reply, and the one-report error answer.
Report firstReplyReport(const Frame &reply);
Report secondReplyReport(const Frame &reply);
Report errorReport(const Frame &request);

} // namespace tbsim::wire
