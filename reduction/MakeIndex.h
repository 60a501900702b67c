#pragma once

// The content index: one pass over a log with the current reader lists its data sets, grouped by
// kind, so the user can tick them in or out before converting.

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "core/Product.h"
#include "platform/Thread.h"

namespace mutaro {

// A group entry of the index: the data-set kind it collects and its text.
struct IndexGroup {
    std::int16_t kind;
    std::string_view text;
};

// State images of the index entries, by data-set number from 0.
enum StateImage : std::uint8_t { kNoEntry = 0, kTickedOut = 1, kTickedIn = 2 };

// The ticks of the data sets, as a conversion asks for them. The window thread writes them while a
// job thread may read them, so each is an atomic of its own; nothing else is shared.
class DataSetTable : public DataSetSelection {
public:
    void Clear();
    // Data sets beyond the first kMaxDataSetNodes get no entry.
    bool Add(int dataSet);
    int Image(int dataSet) const;
    void SetImage(int dataSet, int image);
    // A data set without an entry (beyond the table, or never given one) counts as ticked in.
    bool IsDataSetChecked(int dataSet) const override { return Image(dataSet) != kTickedOut; }

private:
    std::array<std::atomic<std::uint8_t>, kMaxDataSetNodes> images_{};
};

enum class IndexOutcome { NotRun, Completed, Stopped, InputMissing };

// What the pass reports to (the form). Every call runs on the window thread; the pass waits for it.
class IndexView {
public:
    virtual ~IndexView() = default;
    virtual void ShowWait() = 0;
    virtual void SetWaitProgress(int percent) = 0;
    virtual void HideWait() = 0;
    virtual void ClearIndex() = 0;
    virtual void AddGroup(const IndexGroup& group) = 0;
    // A data-set entry, ticked in, under the group of its kind.
    virtual void AddDataSet(std::int16_t kind, int dataSet, std::string_view label) = 0;
    virtual void ExpandIndex() = 0;
    // The last call of a pass: the reader is closed and free for a conversion.
    virtual void IndexEnded(IndexOutcome outcome) = 0;
};

// The index pass, on a worker thread of its own.
class TMakeIndex : public TThread {
public:
    TMakeIndex(ZProduct& reader, int productIndex, std::span<const IndexGroup> groups, std::string inputName,
               IndexView& view, DataSetTable& table, Dispatcher& dispatcher);
    ~TMakeIndex() override;

    // Runs the whole pass on the calling thread.
    void RunHere() { Execute(); }
    IndexOutcome outcome() const { return outcome_.load(); }
    int productIndex() const { return productIndex_; }

    // The input size the progress is measured against; replaceable so tests can pose as huge logs.
    std::function<std::uint64_t(const std::string&)> inputSizeOf;

protected:
    void Execute() override;

private:
    bool HasGroup(std::int16_t kind) const;
    void End(IndexOutcome outcome);

    ZProduct& reader_;
    int productIndex_;
    std::span<const IndexGroup> groups_;
    std::string inputName_;
    IndexView& view_;
    DataSetTable& table_;
    std::atomic<IndexOutcome> outcome_{IndexOutcome::NotRun};
};

} // namespace mutaro
