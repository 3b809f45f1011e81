#include "WireCodec.h"

#include <algorithm>
#include <cstdio>

namespace tbsim::wire {

namespace {
constexpr uint16_t kPolynomial = 0xA001; // 0x8005 reflected

std::string hexByte(uint8_t value)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value);
    return text;
}
} // namespace

uint16_t crc16(const uint8_t *bytes, size_t length)
{
    uint16_t crc = 0xFFFF;
    for (size_t i = 0; i < length; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? uint16_t((crc >> 1) ^ kPolynomial) : uint16_t(crc >> 1);
    }
    return crc;
}

void seal(Frame &frame)
{
    const uint16_t crc = crc16(frame.data(), kChecksumOffset);
    frame[kChecksumOffset] = uint8_t(crc >> 8);
    frame[kChecksumOffset + 1] = uint8_t(crc & 0xFF);
}

bool hasValidChecksum(const Frame &frame)
{
    const uint16_t crc = crc16(frame.data(), kChecksumOffset);
    return frame[kChecksumOffset] == uint8_t(crc >> 8) && frame[kChecksumOffset + 1] == uint8_t(crc & 0xFF);
}

OutputReport checkOutputReport(const uint8_t *data, size_t length)
{
    OutputReport report;
    if (length != size_t(kOutputReportSize)) {
        report.error = "output report of " + std::to_string(length) + " bytes, expected "
            + std::to_string(kOutputReportSize) + " (report id 0 and 64 bytes)";
        return report;
    }
    if (data[0] != 0x00) {
        report.error = "report id " + hexByte(data[0]) + ", expected 0x00";
        return report;
    }
    const uint8_t *payload = data + 1;
    if (payload[0] == kFirstMarker) {
        report.part = OutputReport::First;
        if (payload[1] != kFirstPartSize)
            report.error = "first report length byte " + hexByte(payload[1]) + ", expected 0x3E";
        return report;
    }
    if (payload[0] == kSecondMarker) {
        report.part = OutputReport::Second;
        if (payload[1] != kSecondPartSize) {
            report.error = "second report length byte " + hexByte(payload[1]) + ", expected 0x0A";
            return report;
        }
        const uint8_t *padding = payload + kPartOffset + kSecondPartSize;
        const uint8_t *end = payload + kReportSize;
        const uint8_t *dirty = std::find_if(padding, end, [](uint8_t b) { return b != 0; });
        if (dirty != end)
            report.error = "second report padding byte " + std::to_string(dirty - payload) + " is "
                + hexByte(*dirty) + ", expected zero";
        return report;
    }
    report.error = "report marker " + hexByte(payload[0]) + ", expected 0xEC or 0xEE";
    return report;
}

std::string checkRequestFrame(const Frame &frame)
{
    if (frame[0] != kFrameMarker)
        return "frame marker " + hexByte(frame[0]) + ", expected 0x01";
    if (frame[kStatusOffset] != 0x00)
        return "request status byte " + hexByte(frame[kStatusOffset]) + ", expected 0x00";
    if (frame[2] != kAddress)
        return "address byte " + hexByte(frame[2]) + ", expected 0xFE";
    if (!hasValidChecksum(frame)) {
        const uint16_t crc = crc16(frame.data(), kChecksumOffset);
        return "checksum " + hexByte(frame[kChecksumOffset]) + " " + hexByte(frame[kChecksumOffset + 1])
            + " at offsets 70, 71, expected " + hexByte(uint8_t(crc >> 8)) + " " + hexByte(uint8_t(crc & 0xFF));
    }
    return std::string();
}

Report firstReplyReport(const Frame &reply)
{
    Report report{};
    report[0] = kFirstMarker;
    report[1] = kFirstPartSize;
    std::copy_n(reply.begin(), kFirstPartSize, report.begin() + kPartOffset);
    return report;
}

Report secondReplyReport(const Frame &reply)
{
    Report report{};
    report[0] = kSecondMarker;
    report[1] = kSecondPartSize;
    std::copy_n(reply.begin() + kFirstPartSize, kSecondPartSize, report.begin() + kPartOffset);
    return report;
}

Report errorReport(const Frame &request)
{
    // The header of the refused request follows the marker, which helps
    // whoever reads a capture.
    Report report{};
    report[0] = kErrorMarker;
    std::copy_n(request.begin(), kDataOffset, report.begin() + 1);
    return report;
}

} // namespace tbsim::wire
