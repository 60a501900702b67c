#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "readers/FieldText.h"
#include "readers/Talvor.h"
#include "support/TalvorLogBuilder.h"
#include "tools/TalvorDrive.h"

namespace mutaro::testing {
namespace {

// The fast record most tests use, with the short header of firmware 1.24: RTC 09:30:15 on
// 05/14/24, a valid fix at 39 deg 57.672 min N, 82 deg 59.928 min W, GPS time 14:30:15, marker 7.
// Receiver 1: raw 334 at 869.0100 + 0.03 per channel, samples half 80 and half 91 (mean 85.5).
// Receiver 2: raw 10 in the +1000 MHz band 836.0000 + 0.025. Receiver 3: raw 0 and receiver 4:
// raw 34, both with the channel offset rule at raw 34 = 870.0000 MHz.
TalvorRecord ShortFast() {
    TalvorRecord r = TalvorRecord::Fast(false);
    r.Rtc(9, 30, 15, 14, 5, 24).GpsStatus(0x80);
    r.ShortPosition(39, 57, 672, 'N', 82, 59, 928, 'W').ShortGpsTime(14, 30, 15).MarkerAt(22, 7);
    r.FastReceiver(1, 334, Band869(), 80);
    for (int i = 256; i < 512; ++i) r.Sample(1, i, 91);
    r.FastReceiver(2, 10, Band1836(), 100);
    r.FastReceiver(3, 0, Band870Offset(), 70);
    r.FastReceiver(4, 34, Band870Offset(), 121);
    return r;
}

// The same drive with the long header: big-endian position, altitude -123.45 m, 13.41 m/s.
TalvorRecord LongFast() {
    TalvorRecord r = TalvorRecord::Fast(true);
    r.Rtc(9, 30, 15, 14, 5, 24).GpsStatus(0x80);
    r.LongPosition(143860320, -298795680).AltitudeCm(-12345).VelocityCmPerS(1341).LongGpsTime(14, 30, 15);
    r.MarkerAt(28, 2457);
    r.FastReceiver(1, 334, Band869(), 85);
    return r;
}

TalvorRecord Scan(bool longHeader, std::initializer_list<std::pair<std::uint16_t, std::uint8_t>> receiver1) {
    TalvorRecord r = TalvorRecord::Scan(longHeader);
    r.Rtc(9, 31, 0, 14, 5, 24).GpsStatus(0x80);
    if (longHeader) r.LongPosition(143860320, -298795680).LongGpsTime(14, 31, 0);
    else r.ShortPosition(39, 57, 672, 'N', 82, 59, 928, 'W').ShortGpsTime(14, 31, 0);
    r.ScanBand(1, Band869());
    int e = 0;
    for (auto [raw, level] : receiver1) r.ScanEntry(1, e++, raw, level);
    return r;
}

std::vector<std::uint8_t> Bytes(const TalvorRecord& r, std::size_t from, std::size_t count) {
    return {r.body.begin() + static_cast<std::ptrdiff_t>(from), r.body.begin() + static_cast<std::ptrdiff_t>(from + count)};
}

// The encoder is checked against records written out by hand, so a misreading of the layout that
// the encoder and the reader shared could not pass.
TEST(TalvorLogEncoder, WritesTheRecordLayoutsByteForByte) {
    TalvorRecord s = ShortFast();
    EXPECT_EQ(s.body.size(), 2860u);
    EXPECT_EQ(Bytes(s, 0, 32), (std::vector<std::uint8_t>{
                                   'F', 0, 15, 30, 9, 14, 5, 24, 0x80,  // type, unused, RTC s m h d m y, status
                                   0x03, 0x95, 0x76, 0x72, 'N',         // 039 57 672 N
                                   0x08, 0x25, 0x99, 0x28, 'W',         // 082 59 928 W
                                   0x14, 0x30, 0x15, 7, 0, 0, 0, 0, 0,  // GPS 14:30:15, marker 7, unused
                                   0x4E, 0x01, 0x00, 0x65}));           // block 1: raw 334, flags, 869...
    EXPECT_EQ(Bytes(s, 28 + 2, 9), (std::vector<std::uint8_t>{0x00, 0x65, 0x03, 0x64, 0x00, 0x2C, 0x01, 0x01, 0x00}));
    EXPECT_EQ(Bytes(s, 28 + 22, 1)[0], 80);
    EXPECT_EQ(Bytes(s, 28 + 22 + 511, 1)[0], 91);
    EXPECT_EQ(Bytes(s, 28 + 708, 11), (std::vector<std::uint8_t>{10, 0, 0x80, 0x44, 0x03, 0, 0, 0xFA, 0, 1, 0}));

    TalvorRecord l = LongFast();
    EXPECT_EQ(l.body.size(), 2868u);
    EXPECT_EQ(Bytes(l, 9, 27), (std::vector<std::uint8_t>{
                                   0x08, 0x93, 0x22, 0x60, 0xEE, 0x30, 0xBD, 0x60,  // latitude, longitude
                                   0xFF, 0xFF, 0xCF, 0xC7, 0x05, 0x3D, 0, 0,      // altitude, velocity, unused
                                   14, 30, 15, 0x99, 0x09, 0, 0, 0, 0, 0, 0}));    // GPS time, marker, unused

    TalvorRecord scan = Scan(false, {{2, 95}});
    EXPECT_EQ(scan.body.size(), 1372u);
    EXPECT_EQ(Bytes(scan, 28, 9), (std::vector<std::uint8_t>{0x00, 0x65, 0x03, 0x64, 0x00, 0x2C, 0x01, 0x01, 0x00}));
    EXPECT_EQ(Bytes(scan, 28 + 64, 4), (std::vector<std::uint8_t>{2, 0, 95, 0}));
    EXPECT_EQ(TalvorRecord::Information("AB", "1.2").body,
              (std::vector<std::uint8_t>{'I', 2, 0, 0, 0, 'A', 'B', 3, 0, 0, 0, '1', '.', '2'}));
}

// ---- framing ----

struct FramingCase {
    const char* what;
    TalvorLog log;
    std::vector<std::int32_t> counts;  // ReadRecord results up to and including the final 0
};

TEST_F(TalvorReaderTest, FramesRecordsAndResynchronisesOneByteAtATime) {
    const TalvorRecord info = TalvorRecord::Information("ZYT TALVOR", "1.26");  // 23-byte body
    TalvorRecord body32 = TalvorRecord::Other('X', 32);
    const std::vector<FramingCase> cases = {
        {"one record", TalvorLog().Add(info), {27, 0}},
        {"two records", TalvorLog().Add(info).Add(body32), {27, 36, 0}},
        {"four zero bytes before a scan record", TalvorLog().Raw({0, 0, 0, 0}).Add(Scan(true, {})), {1388, 0}},
        // 01 02 03 20, 02 03 20 00 and 03 20 00 00 are no lengths; 20 00 00 00 is.
        {"garbage before a record", TalvorLog().Raw({1, 2, 3}).Add(body32), {39, 0}},
        // The zero bytes and the first byte of length 16 read 4096 at offset 3, and the log ends
        // before 4096 bytes follow.
        {"false length from zero bytes", TalvorLog().Raw({0, 0, 0, 0}).Framed(16, std::vector<std::uint8_t>(16, 'X')), {0}},
        {"largest body", TalvorLog().Framed(4096, std::vector<std::uint8_t>(4096, 'X')), {4100, 0}},
        {"length 4097 is no length", TalvorLog().Framed(4097, {}).Add(body32), {4 + 36, 0}},
        {"length -1 is no length", TalvorLog().Framed(0xFFFFFFFFu, {}).Add(body32), {4 + 36, 0}},
        {"truncated length", TalvorLog().Add(body32).Raw({5, 0}), {36, 0}},
        {"truncated body", TalvorLog().Add(body32).Framed(10, {'X', 1, 2}), {36, 0}},
        {"empty log", TalvorLog(), {0}},
    };
    for (const FramingCase& c : cases) {
        SCOPED_TRACE(c.what);
        Open(c.log);
        std::vector<std::int32_t> counts;
        std::uint64_t total = 0;
        for (int i = 0; i < 10; ++i) {
            std::int32_t n = reader.ReadRecord(raw);
            counts.push_back(n);
            if (n == 0) break;
            total += static_cast<std::uint64_t>(n);
            EXPECT_EQ(reader.logStream.Position(), total) << "the count matches the bytes advanced";
        }
        EXPECT_EQ(counts, c.counts);
        reader.Close();
    }
}

TEST_F(TalvorReaderTest, PlacesTheBodyAtTheStartOfTheBuffer) {
    Open(TalvorLog().Raw({0, 0, 0, 0}).Add(Scan(true, {{2, 95}})));
    ASSERT_EQ(reader.ReadRecord(raw), 1388);
    EXPECT_EQ(raw[0], 'S');
    EXPECT_EQ(raw[36 + 64], 2);
    EXPECT_EQ(raw[36 + 64 + 2], 95);
}

// ---- information record ----

TEST(TalvorFirmwareVersion, IsTheDecimalVersionTimesOneHundredTruncated) {
    const std::vector<std::pair<const char*, int>> cases = {
        {"1.25", 125}, {"1.26", 126}, {"1.24", 124}, {"1.13", 113}, {"0.29", 29}, {"1.999", 199},
        {"2", 200},    {".5", 50},    {" 1.5x", 150}, {"-1", -100}, {"1e2", 10000}, {"1000", 32767},
        {"", 0},       {"abc", 0},    {"-", 0},       {".", 0},     {"1.2e", 120},
    };
    for (auto [text, expected] : cases) EXPECT_EQ(FirmwareVersionOf(text), expected) << '"' << text << '"';
}

TEST_F(TalvorReaderTest, InformationRecordSetsTheVersionAndTheTextLine) {
    Open(TalvorLog().Info("1.26", "ZYT TALVOR CW"));
    EXPECT_EQ(reader.firmwareVersion, -1);
    EXPECT_EQ(Step(), kRecordNothing);
    EXPECT_EQ(reader.firmwareVersion, 126);
    EXPECT_EQ(reader.textLine.str(), "ZYT TALVOR CW 1.26\n");
    EXPECT_EQ(reader.HeaderLength(), 36u);
}

TEST_F(TalvorReaderTest, OverLongInformationTextsChangeNothing) {
    auto info = [](std::int32_t productLength, std::int32_t versionLength) {
        // Product "ZYT TALVOR", version "1.26", with the length fields overwritten.
        TalvorRecord r = TalvorRecord::Information("ZYT TALVOR", "1.26");
        mklog::PutLe32(&r.body[1], static_cast<std::uint32_t>(productLength));
        if (productLength == 10) mklog::PutLe32(&r.body[15], static_cast<std::uint32_t>(versionLength));
        return r;
    };
    struct Case {
        const char* what;
        TalvorRecord record;
        int firmware;
        const char* textLine;
    };
    const std::vector<Case> cases = {
        {"product text of 512 bytes", info(512, 4), -1, ""},
        {"negative product length", info(-1, 4), -1, ""},
        // The product text runs on over the version length (4) to the zero bytes past the body,
        // where the version length reads 0.
        {"product text of 511 bytes, record too short for it", info(511, 4), 0, "ZYT TALVOR\x04 \n"},
        {"version text of 64 bytes", info(10, 64), -1, ""},
        {"negative version length", info(10, -5), -1, ""},
        {"version text of 63 bytes, record too short for it", info(10, 63), 126, "ZYT TALVOR 1.26\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Open(TalvorLog().Add(c.record).Add(ShortFast()));
        EXPECT_EQ(Step(), kRecordNothing);
        EXPECT_EQ(reader.firmwareVersion, c.firmware);
        EXPECT_EQ(reader.textLine.str(), c.textLine);
        reader.textLine.clear();
    }
}

// ---- data record headers ----

TEST_F(TalvorReaderTest, FirmwareVersionChoosesTheHeaderAndTheMarker) {
    // A long header whose velocity is 0x1234 and whose byte 23 is 1: the u16 at offset 22 is
    // 0x0134 = 308 (the velocity's low byte and the unused byte); the u16 at offset 28 is 2457.
    TalvorRecord markers = LongFast();
    markers.VelocityCmPerS(0x1234);
    markers.body[23] = 1;
    struct Case {
        const char* what;
        TalvorLog log;
        const char* marker;
        const char* velocity;
    };
    const std::vector<Case> cases = {
        {"no information record: short headers", TalvorLog().Add(ShortFast()), "7", "0"},
        {"1.24: short headers", TalvorLog().Info("1.24").Add(ShortFast()), "7", "0"},
        {"1.25: long header, marker at 22", TalvorLog().Info("1.25").Add(markers), "308", "104"},
        {"1.26: long header, marker at 28", TalvorLog().Info("1.26").Add(markers), "2457", "104"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Open(c.log);
        ASSERT_TRUE(NextData());
        EXPECT_EQ(Field(5), "39.9612");
        EXPECT_EQ(Field(11), "-82.9988");
        EXPECT_EQ(Field(18), "14:30:15");
        EXPECT_EQ(Field(29), c.marker);
        EXPECT_EQ(Field(27), c.velocity);
        // Receiver 1's block follows the header, 28 or 36 bytes in.
        EXPECT_EQ(Field(101), "879.0000");
        EXPECT_EQ(Field(102), "334");
    }
}

TEST_F(TalvorReaderTest, ShortHeaderFields) {
    TalvorRecord r = ShortFast();
    r.body[8] = 0x7F;  // bit 7 clear: no valid position
    Open(TalvorLog().Info("1.24").Add(r));
    ASSERT_TRUE(NextData());
    const std::vector<std::pair<std::int16_t, const char*>> fields = {
        {4, "\n"},       {5, "39.9612"},  {6, "39"},       {7, "57"},  {8, "57.672"},  {9, "40"},
        {10, "N"},       {11, "-82.9988"}, {12, "82"},      {13, "59"}, {14, "59.928"}, {15, "55"},
        {16, "W"},       {17, "NO"},      {18, "14:30:15"}, {19, "14"}, {20, "30"},     {21, "15"},
        {26, "0"},       {27, "0"},       {29, "7"},        {33, "05/14/24"}, {34, "05"}, {35, "14"},
        {36, "24"},      {37, "09:30:15"}, {38, "09"},      {39, "30"}, {40, "15"},
    };
    for (auto [tag, text] : fields) EXPECT_EQ(Field(tag), text) << "tag " << tag;
    reader.outputRowCount = 41;
    EXPECT_EQ(Field(32), "41");
}

TEST_F(TalvorReaderTest, LongHeaderPositions) {
    struct Case {
        std::int32_t units;
        const char* hemisphere;  // for a latitude; E and W for a longitude
        const char* decimal;
        const char* degrees;
        const char* minutes;
        const char* decimalMinutes;
        const char* seconds;
    };
    const std::vector<Case> cases = {
        {143860320, "N", "39.9612", "39", "57", "57.672", "40"},
        {0, "S", "-0.0000", "0", "0", "0.000", "0"},
        {-3600000, "S", "-1.0000", "1", "0", "0.000", "0"},
        {60, "N", "0.0000", "0", "0", "0.001", "0"},
        {59, "N", "0.0000", "0", "0", "0.000", "0"},
        {INT32_MIN, "S", "-596.5232", "596", "31", "31.394", "23"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.units);
        TalvorRecord r = LongFast();
        r.LongPosition(c.units, c.units);
        Open(TalvorLog().Info("1.26").Add(r));
        ASSERT_TRUE(NextData());
        const bool north = std::string(c.hemisphere) == "N";
        EXPECT_EQ(Field(10), c.hemisphere);
        EXPECT_EQ(Field(16), north ? "E" : "W");
        for (std::int16_t base : {5, 11}) {
            EXPECT_EQ(Field(base), c.decimal);
            EXPECT_EQ(Field(base + 1), c.degrees);
            EXPECT_EQ(Field(base + 2), c.minutes);
            EXPECT_EQ(Field(base + 3), c.decimalMinutes);
            EXPECT_EQ(Field(base + 4), c.seconds);
        }
    }
}

TEST_F(TalvorReaderTest, LongHeaderAltitudeAndVelocityStayThroughShortHeaders) {
    Open(TalvorLog().Info("1.26").Add(LongFast()).Info("1.24").Add(ShortFast()));
    ASSERT_TRUE(NextData());
    EXPECT_EQ(Field(26), "-123");  // -12345 cm, truncated toward zero
    EXPECT_EQ(Field(27), "29");    // 1341 cm/s x 22356 / 1000000
    ASSERT_TRUE(NextData());
    EXPECT_EQ(Field(5), "39.9612");
    EXPECT_EQ(Field(26), "-123");
    EXPECT_EQ(Field(27), "29");
}

TEST_F(TalvorReaderTest, HemisphereZeroBytesGiveEmptyTexts) {
    TalvorRecord r = ShortFast();
    r.body[13] = 0;
    r.body[18] = 0;
    Open(TalvorLog().Add(r));
    ASSERT_TRUE(NextData());
    EXPECT_EQ(Field(10), "");
    EXPECT_EQ(Field(16), "");
    EXPECT_EQ(Field(5), "-39.9612");  // any letter but N gives the negative form
    EXPECT_EQ(Field(11), "-82.9988");
}

TEST_F(TalvorReaderTest, UnsupportedTagsGiveEmptyText) {
    Open(TalvorLog().Add(ShortFast()));
    ASSERT_TRUE(NextData());
    TextBuffer out(kFieldTextCapacity);
    for (int tag : {0, 1, 2, 3, 22, 23, 24, 25, 28, 30, 31, 41, 55, 59, 100, 104, 199, 404, 500, -1, 32767}) {
        out.assignf("stale");
        reader.FormatField(static_cast<std::int16_t>(tag), out);
        EXPECT_EQ(out.str(), "") << "tag " << tag;
    }
}

// ---- receiver values ----

TEST_F(TalvorReaderTest, ReceiverFrequencyChannelAndMeanRssi) {
    Open(TalvorLog().Add(ShortFast()));
    ASSERT_TRUE(NextData());
    const std::vector<std::pair<std::int16_t, const char*>> fields = {
        {101, "879.0000"},  {102, "334"}, {103, "-85"},   // 869.0100 + 333 x 0.03; mean 85.5 truncated
        {201, "1836.2250"}, {202, "10"},  {203, "-100"},  // bit 7: +1000 MHz
        {301, "868.9800"},  {302, "989"}, {303, "-70"},   // bit 6: raw 0 is channel 989, 34 below base
        {401, "870.0000"},  {402, "0"},   {403, "-121"},  // bit 6: raw 34 is channel 0
    };
    for (auto [tag, text] : fields) EXPECT_EQ(Field(tag), text) << "tag " << tag;
}

TEST(TalvorBands, Conversions) {
    BandDescriptor offset = BandDescriptor::Read(ByteView{});
    offset.flags = 0x40;
    for (auto [raw, shown] : std::vector<std::pair<int, int>>{{0, 989}, {33, 1022}, {34, 0}, {35, 1}, {1057, 1023}, {40000, 40989}})
        EXPECT_EQ(DisplayChannel(offset, static_cast<std::uint16_t>(raw)), shown) << raw;
    BandDescriptor plain;
    EXPECT_EQ(DisplayChannel(plain, 0), 0);
    EXPECT_EQ(DisplayChannel(plain, 65535), 65535);

    // The Dravik adds 0.01 MHz with bit 6; the Talvor does not.
    BandDescriptor band{0x40, 870, 300, 300, 34};
    TextBuffer out(64);
    AppendFixed4(out, ChannelToFrequency(band, 35));
    out.append(' ');
    AppendFixed4(out, ChannelToFrequency(band, 35, FrequencyRule::Dravik));
    out.append(' ');
    // The channel difference is not cut to 16 bits: raw 0 below a base of 65535.
    AppendFixed4(out, ChannelToFrequency(BandDescriptor{0, 10000, 0, 1, 65535}, 0));
    EXPECT_EQ(out.str(), "870.0600 870.0700 9993.4465");

    std::vector<std::uint8_t> samples(512, 255);
    EXPECT_EQ(MeanRssi(ByteView{samples.data(), samples.size()}), 255);
    samples[0] = 254;
    EXPECT_EQ(MeanRssi(ByteView{samples.data(), samples.size()}), 254);
    EXPECT_EQ(MeanRssi(ByteView{samples.data(), 256}), 127);  // missing samples count as zero
}

TEST(TalvorFieldText, FixedFourDecimalsMatchPrintf) {
    std::vector<double> values = {0.0,      -0.0,       0.00005,  0.00015, 0.00025,   1e-17,  -1e-17,  868.98,
                                  1836.225, 9993.4465,  -596.5232, 39.9612, 82.9988,  0.99995, 12345.67895,
                                  1e9,      -1e12,      1e300,    5e-324};
    mklog::DriveRandom random(7);
    for (int i = 0; i < 20000; ++i) {
        values.push_back((random.Unit() - 0.5) * 2e6);
        values.push_back(static_cast<double>(random.Between(0, 99999999)) / 10000.0 + (random.Unit() - 0.5) * 1e-9);
        values.push_back(static_cast<double>(random.Between(0, 99999999)) / 100000.0);  // ties of the 5th decimal
    }
    TextBuffer out(512);
    char expected[512];
    for (double v : values) {
        out.clear();
        AppendFixed4(out, v);
        std::snprintf(expected, sizeof expected, "%.4f", v);
        ASSERT_EQ(out.str(), expected) << v;
    }
}

// ---- column groups ----

TEST_F(TalvorReaderTest, TitleGroupsFollowScanTypeAndAveraging) {
    const std::string r1 = "\"Rec#1 Frequency\",\"Rec#1 Channel\",\"Rec#1 RSSI\"";
    auto repeated = [](const std::string& group, int times, char delimiter = ',') {
        std::string text = group;
        for (int i = 1; i < times; ++i) text += delimiter + group;
        return text;
    };
    Open(TalvorLog());
    settings.receiverEnabled = {true, false, true, true};

    settings.scanType = 1;  // "Fast Data"
    reader.headerPending = 1;
    EXPECT_EQ(Titles(), (std::vector<std::string>{"0:" + r1, "1:", "0:\"Rec#3 Frequency\",\"Rec#3 Channel\",\"Rec#3 RSSI\"",
                                                  "0:\"Rec#4 Frequency\",\"Rec#4 Channel\",\"Rec#4 RSSI\""}));
    EXPECT_EQ(reader.headerPending, 0);
    EXPECT_TRUE(Titles().empty()) << "no titles once the header is written";

    settings.scanType = 0;  // "Scan Table"
    reader.headerPending = 1;
    std::vector<std::string> titles = Titles();
    ASSERT_EQ(titles.size(), 4u);
    EXPECT_EQ(titles[0], "0:" + repeated(r1, 80));

    reader.SetAverageMode(kAverageBestServer);
    reader.headerPending = 1;
    EXPECT_EQ(Titles()[0], "0:" + r1);

    reader.SetAverageMode(kAverageNone);
    settings.scanType = 7;  // no scan type: the group count stays
    settings.fieldData.frequency = false;
    reader.headerPending = 1;
    EXPECT_EQ(Titles('\t')[0], "0:" + repeated("\"Rec#1 Channel\"\t\"Rec#1 RSSI\"", 80, '\t'));
}

TEST_F(TalvorReaderTest, FastColumnsPerReceiver) {
    Open(TalvorLog().Add(ShortFast()));
    ASSERT_TRUE(NextData());
    EXPECT_EQ(Columns(), (std::vector<std::string>{"0:879.0000,334,-85", "0:1836.2250,10,-100", "0:868.9800,989,-70",
                                                   "0:870.0000,0,-121"}));
    settings.receiverEnabled = {false, true, true, false};
    settings.fieldData = {false, true, true, false, false};
    EXPECT_EQ(Columns(';'), (std::vector<std::string>{"1:", "0:10;-100", "0:989;-70", "1:"}));
    settings.fieldData = {false, false, false, false, false};
    EXPECT_EQ(Columns(), (std::vector<std::string>{"1:", "0:", "0:", "1:"}));
}

TEST_F(TalvorReaderTest, ScanTablesOfNoneSomeAndEightyEntries) {
    TalvorRecord full = Scan(true, {});
    std::string eighty;
    for (int e = 0; e < 80; ++e) {
        full.ScanEntry(2, e, static_cast<std::uint16_t>(35 + e), static_cast<std::uint8_t>(40 + e));
        char group[64];
        // Receiver 2 has the offset band: raw 35 + e at 870.0000 + 0.03 x (1 + e), channel 1 + e.
        std::snprintf(group, sizeof group, "%s%.4f,%d,-%d", e ? "," : "", 870.03 + 0.03 * e, 1 + e, 40 + e);
        eighty += group;
    }
    full.ScanBand(2, Band870Offset());
    full.ScanEntry(1, 0, 0, 50).ScanEntry(1, 1, 7, 60);  // receiver 1: the table ends at entry 0
    full.ScanEntry(3, 0, 2, 95).ScanEntry(3, 1, 3, 80).ScanEntry(3, 2, 1, 121);
    full.ScanBand(3, Band869());
    Open(TalvorLog().Info("1.26").Add(full));
    ASSERT_TRUE(NextData());
    EXPECT_EQ(Columns(), (std::vector<std::string>{"0:", "0:" + eighty, "0:869.0400,2,-95,869.0700,3,-80,869.0100,1,-121", "0:"}));
}

TEST_F(TalvorReaderTest, BestServerWritesTheStrongestEntryAlone) {
    using Table = std::vector<std::pair<std::uint16_t, std::uint8_t>>;
    Table eighty;  // raw 1 to 80 at level 100, except the last at 30
    for (int e = 0; e < 80; ++e) eighty.push_back({static_cast<std::uint16_t>(e + 1), e == 79 ? 30 : 100});
    struct Case {
        const char* what;
        Table table;
        const char* group;
    };
    const std::vector<Case> cases = {
        {"levels 95, 80, 80, 130: the first 80 wins", {{2, 95}, {3, 80}, {4, 80}, {5, 130}}, "869.0700,3,-80"},
        {"all 121 and above: entry 0", {{2, 121}, {3, 130}}, "869.0400,2,-121"},
        {"raw channel 0 never wins, and entries past it take part", {{2, 100}, {0, 20}, {4, 90}}, "869.1000,4,-90"},
        {"an empty table writes nothing", {}, ""},
        {"the last of 80 entries", eighty, "871.3800,80,-30"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TalvorRecord r = Scan(true, {});
        int e = 0;
        for (auto [raw, level] : c.table) r.ScanEntry(1, e++, raw, level);
        Open(TalvorLog().Info("1.26").Add(r));
        reader.SetAverageMode(kAverageBestServer);
        ASSERT_TRUE(NextData());
        EXPECT_EQ(Columns().at(0), std::string("0:") + c.group);
    }
}

// ---- data sets ----

class Unticked : public DataSetSelection {
public:
    explicit Unticked(std::vector<int> sets) : sets_(std::move(sets)) {}
    bool IsDataSetChecked(int dataSet) const override {
        return std::find(sets_.begin(), sets_.end(), dataSet) == sets_.end();
    }

private:
    std::vector<int> sets_;
};

TEST_F(TalvorReaderTest, IndexingPassFindsDataSetsAndYieldsNothing) {
    TalvorRecord later = ShortFast();
    later.ShortGpsTime(14, 45, 9);
    Open(TalvorLog().Add(ShortFast()).Info("1.24").Add(ShortFast()).Add(Scan(false, {{2, 90}})).Add(TalvorRecord::Other('Q', 40)).Add(Scan(false, {})).Add(later),
         /*converting=*/false);
    std::vector<std::string> labels;
    for (int kind; (kind = Step()) >= 0;) {
        EXPECT_EQ(kind, kRecordNothing);
        if (reader.newDataSet) labels.push_back(std::to_string(reader.dataSetKind) + " " + reader.dataSetLabel.str());
        reader.newDataSet = 0;
    }
    EXPECT_EQ(labels, (std::vector<std::string>{"0 14:30:15", "1 14:31:00", "0 14:45:09"}));
    EXPECT_EQ(reader.dataSetIndex, 3);
}

TEST_F(TalvorReaderTest, DeselectedDataSetsProduceNoRows) {
    // Data sets: 0 fast (two records), 1 scan, 2 fast, 3 scan, 4 fast; 1 and 2 are ticked out.
    auto fastAt = [](int second) { return ShortFast().ShortGpsTime(14, 30, second); };
    TalvorLog log;
    log.Add(fastAt(1)).Add(fastAt(2)).Add(Scan(false, {{2, 90}})).Add(fastAt(4)).Add(Scan(false, {{3, 91}})).Add(fastAt(6));
    Unticked unticked({1, 2});
    reader.SetDataSetSelection(&unticked);
    settings.headerRow = false;
    settings.fieldData = {false, true, false, false, false};
    settings.receiverEnabled = {true, false, false, false};
    EXPECT_EQ(Convert(log, {18, 0}), "14:30:01,334\r\n14:30:02,334\r\n14:31:00,3\r\n14:30:06,334\r\n");
    reader.SetDataSetSelection(nullptr);
}

// ---- short records and stale content ----

TEST_F(TalvorReaderTest, ShortRecordsReadMissingBytesAsZero) {
    TalvorRecord cut = ShortFast();
    cut.Truncate(28 + 2 + 3);  // header, receiver 1's raw channel, its flags and whole MHz
    TalvorRecord scanCut = Scan(false, {{2, 95}, {3, 80}});
    scanCut.Truncate(28 + 64 + 6);  // the table ends inside entry 1, after its raw channel
    Open(TalvorLog().Add(ShortFast()).Add(cut).Add(scanCut));
    ASSERT_TRUE(NextData());
    ASSERT_TRUE(NextData());
    EXPECT_EQ(lastCount, 4 + 33);
    // Raw 334 with flags 0 and 869 MHz; the fraction, spacing and samples are gone.
    EXPECT_EQ(Columns(), (std::vector<std::string>{"0:869.0000,334,-0", "0:0.0000,0,-0", "0:0.0000,0,-0", "0:0.0000,0,-0"}));
    EXPECT_EQ(Field(18), "14:30:15");
    ASSERT_TRUE(NextData());
    EXPECT_EQ(Columns().at(0), "0:869.0400,2,-95,869.0700,3,-0");
}

TEST_F(TalvorReaderTest, SwitchedOffReceiversKeepTheirOlderBlock) {
    TalvorRecord second = ShortFast();
    second.FastReceiver(2, 20, Band1836(), 60);
    second.FastReceiver(1, 400, Band869(), 50);
    Open(TalvorLog().Add(ShortFast()).Add(second));
    ASSERT_TRUE(NextData());
    settings.receiverEnabled = {true, false, true, true};
    ASSERT_TRUE(NextData());
    EXPECT_EQ(Field(102), "400");
    EXPECT_EQ(Field(202), "10");  // still the first record's block
    EXPECT_EQ(Field(203), "-100");
}

// ---- 40 lambda through the framework's operations ----

// Scripted averaging answers, to check how the reader calls the engine and uses its averages.
class ScriptedLambdaTalvor : public ZTalvor {
public:
    using ZTalvor::ZTalvor;
    std::int16_t LambdaWindow(std::int16_t receiver) override {
        windowCalls.push_back(receiver);
        return static_cast<std::int16_t>(12 + receiver);
    }
    std::int16_t AverageSamples(std::int16_t receiver) override {
        auto& block = averageWork.blocks[static_cast<std::size_t>(receiver)];
        block.produced = produce[static_cast<std::size_t>(receiver)];
        for (int i = 0; i < block.produced; ++i) block.averages[static_cast<std::size_t>(i)] = 70 + 10 * receiver + i;
        return static_cast<std::int16_t>(block.produced);
    }
    std::vector<int> windowCalls;
    std::array<int, 4> produce{3, 5, 0, 0};
};

TEST_F(TalvorReaderTest, FortyLambdaRowsTakeTheAveragesOfTheirRow) {
    ScriptedLambdaTalvor lambda(settings);
    TalvorRecord r = ShortFast();
    r.FastReceiver(3, 0, TalvorBand{}, 0);  // receiver 3 carries no data
    WriteFile(settings.inputFileName, TalvorLog().Add(r).Add(r).str());
    ASSERT_EQ(lambda.Open(settings.inputFileName), 0);
    lambda.converting = 1;
    settings.receiverEnabled = {true, true, true, false};
    settings.fieldData = {false, true, true, false, false};
    lambda.SetAverageMode(kAverageFortyLambda);
    TextBuffer out(kFieldTextCapacity);
    auto rowColumns = [&] {
        std::string row;
        for (std::int16_t step = 0, d; (d = lambda.DataColumns(step, out, ',')) >= 0; step = 1)
            row += std::to_string(d) + ":" + out.str() + " ";
        return row;
    };

    ASSERT_EQ(lambda.ReadRecord(raw), 2864);
    ASSERT_EQ(lambda.ParseRecord(raw), kRecordData);
    EXPECT_EQ(lambda.windowCalls, (std::vector<int>{0, 1})) << "windows once, for receivers with data";
    EXPECT_EQ(lambda.averageWork.blocks[0].window, 12);
    EXPECT_EQ(lambda.averageWork.blocks[1].window, 13);
    EXPECT_EQ(lambda.averageWork.blocks[2].window, 0);
    EXPECT_EQ(lambda.lambdaStart, 0);
    ASSERT_EQ(lambda.readyOutputs, 5);
    std::vector<std::string> rows;
    for (lambda.pendingOutputs = lambda.readyOutputs; lambda.pendingOutputs > 0; --lambda.pendingOutputs)
        rows.push_back(rowColumns());
    EXPECT_EQ(rows, (std::vector<std::string>{
                        "0:334,-70 0:10,-80 0:0, 1: ", "0:334,-71 0:10,-81 0:0, 1: ", "0:334,-72 0:10,-82 0:0, 1: ",
                        "0:334, 0:10,-83 0:0, 1: ", "0:334, 0:10,-84 0:0, 1: "}));

    lambda.produce = {0, 0, 0, 0};
    ASSERT_EQ(lambda.ReadRecord(raw), 2864);
    ASSERT_EQ(lambda.ParseRecord(raw), kRecordData);
    EXPECT_EQ(lambda.windowCalls.size(), 2u) << "no window after the first fast record";
    EXPECT_EQ(lambda.readyOutputs, 1);
    lambda.pendingOutputs = 1;
    EXPECT_EQ(rowColumns(), "0:334, 0:10, 0:0, 1: ");
}

TEST_F(TalvorReaderTest, FortyLambdaWithTheFrameworkAnswersGivesOneRowWithoutRssi) {
    settings.fortyLambda = true;
    settings.headerRow = false;
    settings.fieldData = {false, true, true, false, false};
    EXPECT_EQ(Convert(TalvorLog().Add(ShortFast()), {0}), "334,,10,,989,,0,\r\n");
}

// ---- whole conversions ----

TEST_F(TalvorReaderTest, ConvertsWithTheSpreadsheetPreset) {
    TalvorLog log;
    log.Info("1.26").Add(LongFast()).Add(Scan(true, {{2, 95}}));
    TalvorRecord south = LongFast();
    south.LongPosition(0, 3600000).LongGpsTime(14, 30, 17);
    log.Add(south);
    settings.headerRow = true;
    EXPECT_EQ(Convert(log, {11, 5, 18}, 2),
              "\"Longitude (Decimal Degrees)\"\t\"Latitude (Decimal Degrees)\"\t\"GPS Time (HH:MM:SS)\"\r\n"
              "-82.9988\t39.9612\t14:30:15\r\n"
              "-82.9988\t39.9612\t14:31:00\r\n"
              "1.0000\t-0.0000\t14:30:17\r\n");
}

TEST_F(TalvorReaderTest, ConvertsDataOfFourReceivers) {
    TalvorLog log;
    log.Add(ShortFast()).Add(Scan(false, {{2, 95}, {3, 80}}));
    settings.headerRow = true;
    settings.scanType = 1;
    settings.fieldData = {true, false, true, false, false};
    EXPECT_EQ(Convert(log, {29, 0, 10}),
              "\"Marker Value\",\"Rec#1 Frequency\",\"Rec#1 RSSI\",\"Rec#2 Frequency\",\"Rec#2 RSSI\","
              "\"Rec#3 Frequency\",\"Rec#3 RSSI\",\"Rec#4 Frequency\",\"Rec#4 RSSI\",\"Latitude Hemisphere\"\r\n"
              "7,879.0000,-85,1836.2250,-100,868.9800,-70,870.0000,-121,N\r\n"
              "0,869.0400,-95,869.0700,-80,,,,N\r\n");
}

TEST_F(TalvorReaderTest, ZeroHemisphereWritesNoZeroByte) {
    TalvorRecord noFix = ShortFast();
    noFix.ShortPosition(0, 0, 0, '\0', 0, 0, 0, '\0');
    settings.headerRow = false;
    EXPECT_EQ(Convert(TalvorLog().Add(noFix), {10, 16, 6}), ",,0\r\n");
}

TEST_F(TalvorReaderTest, OpenStartsEveryPassAfresh) {
    // A log that starts without an information record and switches to long headers: a second pass
    // must not show the altitude or the firmware of the end of the first.
    TalvorLog log;
    log.Add(ShortFast()).Info("1.26").Add(LongFast());
    settings.headerRow = false;
    const std::string first = Convert(log, {26, 6, 29});
    EXPECT_EQ(first, "0,39,7\r\n-123,39,2457\r\n");
    EXPECT_EQ(Convert(log, {26, 6, 29}), first);
}

// ---- the generator ----

TEST(TalvorDrive, IsDeterministicAndValidRecordByRecord) {
    for (bool longHeaders : {true, false}) {
        SCOPED_TRACE(longHeaders ? "talvor" : "talvor124");
        mklog::TalvorDriveOptions options;
        options.longHeaders = longHeaders;
        options.records = 400;
        options.seed = 5;
        std::vector<std::uint8_t> a, b;
        mklog::WriteTalvorDrive(options, [&](const std::uint8_t* p, std::size_t n) { a.insert(a.end(), p, p + n); });
        mklog::WriteTalvorDrive(options, [&](const std::uint8_t* p, std::size_t n) { b.insert(b.end(), p, p + n); });
        ASSERT_EQ(a, b);
        options.seed = 6;
        std::vector<std::uint8_t> c;
        mklog::WriteTalvorDrive(options, [&](const std::uint8_t* p, std::size_t n) { c.insert(c.end(), p, p + n); });
        EXPECT_NE(a, c);

        // Every record is complete and of a known type: the information record first, then data
        // records of the layout's exact length.
        const std::size_t fast = longHeaders ? 2868 : 2860, scan = longHeaders ? 1380 : 1372;
        std::size_t at = 0, records = 0, changes = 0;
        std::uint8_t lastType = 0;
        while (at + 4 <= a.size()) {
            std::uint32_t length = a[at] | a[at + 1] << 8 | a[at + 2] << 16 | static_cast<std::uint32_t>(a[at + 3]) << 24;
            std::uint8_t type = a[at + 4];
            if (records == 0) EXPECT_EQ(type, 'I');
            else EXPECT_EQ(length, type == 'F' ? fast : scan);
            if (records > 0 && type != lastType) ++changes;
            lastType = type;
            at += 4 + length;
            ++records;
        }
        EXPECT_EQ(at, a.size());
        EXPECT_EQ(records, 401u);
        EXPECT_GE(changes, 4u) << "several alternating data sets";
    }
}

TEST_F(TalvorReaderTest, SampleLogIsADriveOfSeveralDataSets) {
    const std::string sample = std::string(MUTARO_SOURCE_DIR) + "/samples/drive.tlf";
    ASSERT_EQ(reader.Open(sample), 0);
    reader.converting = 0;
    std::uint64_t total = 0;
    int dataSets = 0, records = 0;
    std::string firstLabel, lastLabel;
    std::set<std::string> markers;
    for (std::int32_t n; (n = reader.ReadRecord(raw)) > 0; ++records) {
        total += static_cast<std::uint64_t>(n);
        EXPECT_EQ(n, raw[0] == 'I' ? 4 + 5 + 17 + 4 + 4 : raw[0] == 'F' ? 2872 : 1384);
        reader.ParseRecord(raw);
        markers.insert(std::to_string(reader.markerValue));
        if (reader.newDataSet) {
            ++dataSets;
            reader.newDataSet = 0;
        }
    }
    EXPECT_EQ(total, FileSize(sample));
    EXPECT_LT(total, 1u << 20);
    EXPECT_EQ(reader.firmwareVersion, 126);
    EXPECT_EQ(records, 301);
    EXPECT_GE(dataSets, 5);
    EXPECT_GE(markers.size(), 3u);
    reader.Close();
}

} // namespace
} // namespace mutaro::testing
