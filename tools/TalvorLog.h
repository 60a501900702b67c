#pragma once

// Encoder of classic Talvor log records, shared by the synthetic log generator, the tests and the
// benchmark. It writes fields at their offsets and nothing else; a test checks its bytes against
// hand-written records so that a misreading of the layout cannot hide in both encoder and reader.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace mutaro::mklog {

inline void PutLe16(std::uint8_t* at, std::uint16_t v) {
    at[0] = static_cast<std::uint8_t>(v);
    at[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void PutLe32(std::uint8_t* at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
inline void PutBe16(std::uint8_t* at, std::uint16_t v) {
    at[0] = static_cast<std::uint8_t>(v >> 8);
    at[1] = static_cast<std::uint8_t>(v);
}
inline void PutBe32(std::uint8_t* at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
}
// Two packed BCD digits of 0 to 99.
inline std::uint8_t Bcd2(int v) { return static_cast<std::uint8_t>(((v / 10) % 10) << 4 | (v % 10)); }

// A receiver's frequency plan (9 bytes).
struct TalvorBand {
    std::uint8_t flags = 0;  // bit 7: +1000 MHz; bit 6: channel offset rule
    std::uint16_t wholeMHz = 0;
    std::uint16_t fraction = 0;  // 0.0001 MHz
    std::uint16_t spacing = 0;   // 0.0001 MHz
    std::uint16_t rawAtBase = 0;

    void WriteTo(std::uint8_t* at) const {
        at[0] = flags;
        PutLe16(at + 1, wholeMHz);
        PutLe16(at + 3, fraction);
        PutLe16(at + 5, spacing);
        PutLe16(at + 7, rawAtBase);
    }
};

// One record body. Data records start zero-filled at their complete length.
class TalvorRecord {
public:
    static constexpr std::size_t kShortHeader = 28;
    static constexpr std::size_t kLongHeader = 36;
    static constexpr std::size_t kBlock = 708;
    static constexpr std::size_t kSamples = 22;  // offset of the 512 samples in a block
    static constexpr std::size_t kScanBlock = 1344;

    // "I", product text length and text, version text length and text.
    static TalvorRecord Information(std::string_view product, std::string_view version) {
        TalvorRecord r;
        r.body.assign(1 + 4 + product.size() + 4 + version.size(), 0);
        r.body[0] = 'I';
        PutLe32(&r.body[1], static_cast<std::uint32_t>(product.size()));
        std::copy(product.begin(), product.end(), r.body.begin() + 5);
        PutLe32(&r.body[5 + product.size()], static_cast<std::uint32_t>(version.size()));
        std::copy(version.begin(), version.end(), r.body.begin() + 9 + static_cast<std::ptrdiff_t>(product.size()));
        return r;
    }
    static TalvorRecord Fast(bool longHeader) { return Data('F', longHeader, 4 * kBlock); }
    static TalvorRecord Scan(bool longHeader) { return Data('S', longHeader, kScanBlock); }
    static TalvorRecord Other(std::uint8_t type, std::size_t length) {
        TalvorRecord r;
        r.body.assign(std::max<std::size_t>(length, 1), 0);
        r.body[0] = type;
        return r;
    }

    std::size_t headerLength() const { return longHeader_ ? kLongHeader : kShortHeader; }

    TalvorRecord& Rtc(int hour, int minute, int second, int day, int month, int year) {
        body[2] = static_cast<std::uint8_t>(second);
        body[3] = static_cast<std::uint8_t>(minute);
        body[4] = static_cast<std::uint8_t>(hour);
        body[5] = static_cast<std::uint8_t>(day);
        body[6] = static_cast<std::uint8_t>(month);
        body[7] = static_cast<std::uint8_t>(year);
        return *this;
    }
    TalvorRecord& GpsStatus(std::uint8_t status) {
        body[8] = status;
        return *this;
    }
    // Short header: packed BCD DDDMMmmm and hemisphere letters (offsets 9 to 18).
    TalvorRecord& ShortPosition(int latDeg, int latMin, int latThou, char latHem, int lonDeg, int lonMin,
                                int lonThou, char lonHem) {
        PutBcdCoordinate(&body[9], latDeg, latMin, latThou);
        body[13] = static_cast<std::uint8_t>(latHem);
        PutBcdCoordinate(&body[14], lonDeg, lonMin, lonThou);
        body[18] = static_cast<std::uint8_t>(lonHem);
        return *this;
    }
    // Short header GPS time, two BCD digits each (offsets 19 to 21).
    TalvorRecord& ShortGpsTime(int hour, int minute, int second) {
        body[19] = Bcd2(hour);
        body[20] = Bcd2(minute);
        body[21] = Bcd2(second);
        return *this;
    }
    // Long header: big-endian positions in 1/3,600,000 degree (offsets 9 and 13).
    TalvorRecord& LongPosition(std::int32_t latitude, std::int32_t longitude) {
        PutBe32(&body[9], static_cast<std::uint32_t>(latitude));
        PutBe32(&body[13], static_cast<std::uint32_t>(longitude));
        return *this;
    }
    TalvorRecord& AltitudeCm(std::int32_t cm) {
        PutBe32(&body[17], static_cast<std::uint32_t>(cm));
        return *this;
    }
    TalvorRecord& VelocityCmPerS(std::uint16_t cms) {
        PutBe16(&body[21], cms);
        return *this;
    }
    TalvorRecord& LongGpsTime(int hour, int minute, int second) {
        body[25] = static_cast<std::uint8_t>(hour);
        body[26] = static_cast<std::uint8_t>(minute);
        body[27] = static_cast<std::uint8_t>(second);
        return *this;
    }
    // The marker is at offset 22 up to firmware 1.25 and at 28 after it.
    TalvorRecord& MarkerAt(std::size_t offset, std::uint16_t marker) {
        PutLe16(&body[offset], marker);
        return *this;
    }
    TalvorRecord& Marker(std::uint16_t marker, int firmwareVersion) {
        return MarkerAt(firmwareVersion <= 125 ? 22 : 28, marker);
    }

    std::uint8_t* FastBlock(int receiver) { return &body[headerLength() + kBlock * static_cast<std::size_t>(receiver - 1)]; }
    // Receiver n (1 to 4) parked on a raw channel; all 512 samples set to `level` (magnitude).
    TalvorRecord& FastReceiver(int receiver, std::uint16_t raw, const TalvorBand& band, std::uint8_t level) {
        std::uint8_t* block = FastBlock(receiver);
        PutLe16(block, raw);
        band.WriteTo(block + 2);
        std::fill(block + kSamples, block + kSamples + 512, level);
        return *this;
    }
    TalvorRecord& Sample(int receiver, int index, std::uint8_t level) {
        FastBlock(receiver)[kSamples + static_cast<std::size_t>(index)] = level;
        return *this;
    }

    std::uint8_t* ScanBlock() { return &body[headerLength()]; }
    TalvorRecord& ScanBand(int receiver, const TalvorBand& band) {
        band.WriteTo(ScanBlock() + 16 * static_cast<std::size_t>(receiver - 1));
        return *this;
    }
    TalvorRecord& ScanEntry(int receiver, int entry, std::uint16_t raw, std::uint8_t level) {
        std::uint8_t* at = ScanBlock() + 64 + 320 * static_cast<std::size_t>(receiver - 1) + 4 * static_cast<std::size_t>(entry);
        PutLe16(at, raw);
        at[2] = level;
        return *this;
    }

    TalvorRecord& Truncate(std::size_t length) {
        body.resize(std::min(body.size(), length));
        return *this;
    }

    // The framed record: u32 body length, then the body.
    void AppendFramed(std::vector<std::uint8_t>& log) const {
        std::uint8_t prefix[4];
        PutLe32(prefix, static_cast<std::uint32_t>(body.size()));
        log.insert(log.end(), prefix, prefix + 4);
        log.insert(log.end(), body.begin(), body.end());
    }

    std::vector<std::uint8_t> body;

private:
    static TalvorRecord Data(char type, bool longHeader, std::size_t payload) {
        TalvorRecord r;
        r.longHeader_ = longHeader;
        r.body.assign(r.headerLength() + payload, 0);
        r.body[0] = static_cast<std::uint8_t>(type);
        return r;
    }
    static void PutBcdCoordinate(std::uint8_t* at, int degrees, int minutes, int thousandths) {
        int d[8] = {degrees / 100 % 10, degrees / 10 % 10, degrees % 10, minutes / 10 % 10,
                    minutes % 10,       thousandths / 100 % 10, thousandths / 10 % 10, thousandths % 10};
        for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(d[2 * i] << 4 | d[2 * i + 1]);
    }

    bool longHeader_ = false;
};

} // namespace mutaro::mklog
