// Arbitrary bytes through the classic Talvor reader: the indexing pass, then the conversion pass
// twice, with every column operation and every field tag 0 to 500. The first 4 bytes choose the
// settings (receivers, field data, scan type, averaging, ticked data sets); the rest is the log.
// Traps when a byte count does not match the bytes advanced, a column sequence does not end, a
// text exceeds its capacity, or a second conversion pass over the same log differs from the first.

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "core/Product.h"
#include "platform/Dispatcher.h"
#include "platform/Messages.h"
#include "readers/Talvor.h"

namespace {

using namespace mutaro;

class QuietPresenter : public MessagePresenter {
public:
    void Present(int, const std::string&, const std::string&) override {}
};

class MaskSelection : public DataSetSelection {
public:
    explicit MaskSelection(std::uint16_t mask) : mask_(mask) {}
    bool IsDataSetChecked(int dataSet) const override { return ((mask_ >> (dataSet % 16)) & 1) == 0; }

private:
    std::uint16_t mask_;
};

void Check(bool condition) {
    if (!condition) __builtin_trap();
}

// FNV-1a over every text a pass produces, to compare two passes.
struct Digest {
    std::uint64_t value = 1469598103934665603ull;
    void Add(const TextBuffer& text) {
        Check(text.size() <= text.capacity());
        for (char c : text.view()) value = (value ^ static_cast<std::uint8_t>(c)) * 1099511628211ull;
        value = (value ^ 0xFF) * 1099511628211ull;
    }
};

struct Buffers {
    TextBuffer titles{kTitleTextCapacity};
    TextBuffer field{kFieldTextCapacity};
    RawRecord raw{};
};

// One pass over the log; `converting` selects the pass. Returns the digest of its texts.
std::uint64_t Pass(ZTalvor& reader, const std::string& path, std::uint64_t size, bool converting,
                   std::int16_t averageMode, Buffers& b) {
    Digest digest;
    Check(reader.Open(path) == 0);
    reader.converting = converting ? 1 : 0;
    if (converting) reader.SetAverageMode(averageMode);
    std::uint64_t total = 0;
    int fullTagRecords = 0;
    for (;;) {
        std::int32_t n = reader.ReadRecord(b.raw);
        if (n == 0) break;
        Check(n > 0);
        total += static_cast<std::uint64_t>(n);
        Check(reader.logStream.Position() == total && total <= size);
        std::int16_t kind = reader.ParseRecord(b.raw);
        Check(kind == kRecordNothing || kind == kRecordData);
        if (!converting) Check(kind == kRecordNothing);
        const std::uint8_t type = b.raw[0];
        // Every tag for the first records of a known type; a few for the rest keep long inputs fast.
        const bool everyTag = (type == 'I' || type == 'F' || type == 'S') && fullTagRecords++ < 48;
        for (int tag = 0; tag <= 500; tag += everyTag ? 1 : 37) {
            reader.FormatField(static_cast<std::int16_t>(tag), b.field);
            digest.Add(b.field);
        }
        if (kind != kRecordData) continue;
        Check(reader.readyOutputs >= 1);
        reader.headerPending = 1;
        int calls = 0;
        for (std::int16_t step = 0, g; (g = reader.DataTitles(step, b.titles, ',')) >= 0; step = 1) {
            Check(++calls <= 4);
            digest.Add(b.titles);
        }
        Check(b.titles.empty());
        // Rows of the record as the job asks for them; past 64 rows only the last is written.
        for (reader.pendingOutputs = reader.readyOutputs; reader.pendingOutputs > 0; --reader.pendingOutputs) {
            if (reader.pendingOutputs > 1 && reader.readyOutputs - reader.pendingOutputs >= 64) continue;
            calls = 0;
            for (std::int16_t step = 0, d; (d = reader.DataColumns(step, b.field, '\t')) >= 0; step = 1) {
                Check(++calls <= 4);
                Check(d == 0 || (d == 1 && b.field.empty()));
                digest.Add(b.field);
            }
            Check(calls == 4 && b.field.empty());
            ++reader.outputRowCount;
        }
    }
    reader.Close();
    return digest.value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static QuietPresenter presenter;
    static ImmediateDispatcher dispatcher;
    static const int fd = [] {
        InstallMessageRoute(&dispatcher, &presenter);
        return memfd_create("fuzz_talvor", 0);
    }();
    static const std::string path = "/proc/self/fd/" + std::to_string(fd);
    static Buffers buffers;
    if (fd < 0) return 0;

    std::uint8_t options[4] = {};
    const std::size_t optionBytes = size < 4 ? size : 4;
    for (std::size_t i = 0; i < optionBytes; ++i) options[i] = data[i];
    const std::uint8_t* log = data + optionBytes;
    const std::size_t logSize = size - optionBytes;
    if (ftruncate(fd, 0) != 0) return 0;
    if (logSize > 0 && pwrite(fd, log, logSize, 0) != static_cast<ssize_t>(logSize)) return 0;

    ConversionSettings settings;
    for (int i = 0; i < 4; ++i) settings.receiverEnabled[static_cast<std::size_t>(i)] = (options[0] >> i) & 1;
    settings.fieldData.frequency = options[0] & 0x10;
    settings.fieldData.channel = options[0] & 0x20;
    settings.fieldData.rssi = options[0] & 0x40;
    settings.scanType = (options[0] & 0x80) ? 0 : 1;
    if ((options[1] & 0x0C) == 0x0C) settings.scanType = 5;  // no scan type chosen
    static const std::int16_t kModes[4] = {kAverageNone, kAverageFortyLambda, kAverageBestServer, 2};
    const std::int16_t mode = kModes[options[1] & 3];
    MaskSelection selection(static_cast<std::uint16_t>(options[2] | options[3] << 8));

    ZTalvor reader(settings);
    reader.SetDataSetSelection(&selection);
    Pass(reader, path, logSize, false, mode, buffers);
    std::uint64_t first = Pass(reader, path, logSize, true, mode, buffers);
    std::uint64_t second = Pass(reader, path, logSize, true, mode, buffers);
    Check(first == second);
    return 0;
}
