#include "reduction/MakeIndex.h"

#include "core/Convert.h"
#include "platform/FileSystem.h"
#include "platform/Messages.h"

namespace mutaro {

void DataSetTable::Clear() {
    for (auto& image : images_) image.store(kNoEntry);
}

bool DataSetTable::Add(int dataSet) {
    if (dataSet < 0 || dataSet >= kMaxDataSetNodes) return false;
    images_[dataSet].store(kTickedIn);
    return true;
}

int DataSetTable::Image(int dataSet) const {
    if (dataSet < 0 || dataSet >= kMaxDataSetNodes) return kNoEntry;
    return images_[dataSet].load();
}

void DataSetTable::SetImage(int dataSet, int image) {
    if (dataSet < 0 || dataSet >= kMaxDataSetNodes) return;
    images_[dataSet].store(static_cast<std::uint8_t>(image));
}

TMakeIndex::TMakeIndex(ZProduct& reader, int productIndex, std::span<const IndexGroup> groups,
                       std::string inputName, IndexView& view, DataSetTable& table, Dispatcher& dispatcher)
    : TThread(dispatcher), inputSizeOf(FileSize), reader_(reader), productIndex_(productIndex), groups_(groups),
      inputName_(std::move(inputName)), view_(view), table_(table) {}

TMakeIndex::~TMakeIndex() { TerminateAndWait(); }

bool TMakeIndex::HasGroup(std::int16_t kind) const {
    for (const IndexGroup& group : groups_)
        if (group.kind == kind) return true;
    return false;
}

void TMakeIndex::End(IndexOutcome outcome) {
    outcome_.store(outcome);
    Synchronize([&] { view_.IndexEnded(outcome); });
}

void TMakeIndex::Execute() {
    Synchronize([&] { view_.ShowWait(); });
    Synchronize([&] {
        view_.ClearIndex();
        table_.Clear();
        for (const IndexGroup& group : groups_) view_.AddGroup(group);
        view_.ExpandIndex();
    });
    reader_.SetDataSetSelection(&table_);
    reader_.dataSetKind = -1;
    if (reader_.Open(inputName_) != 0) {
        Synchronize([&] { view_.HideWait(); });
        ReportMessage(kError, "Input File Does Not Exist!");
        End(IndexOutcome::InputMissing);
        return;
    }

    const std::uint64_t inputSize = inputSizeOf(inputName_);
    std::uint64_t consumed = 0;
    int lastShown = 0;
    Synchronize([&] { view_.SetWaitProgress(0); });

    reader_.converting = 0;
    RawRecord raw{};
    std::int32_t n = reader_.ReadRecord(raw);
    reader_.outputRowCount = 0;
    // A negative byte count from a confused reader ends the pass like the end of the log.
    while (!Terminated() && n > 0) {
        consumed += static_cast<std::uint64_t>(n);
        const int percent = WholePercent(consumed, inputSize);
        if (percent > lastShown) {
            lastShown = percent;
            Synchronize([&] { view_.SetWaitProgress(percent); });
        }
        reader_.ParseRecord(raw);
        if (reader_.newDataSet) {
            // The reader has already counted the new data set. One without a label or without a
            // group of its kind gets no entry but keeps its number, and so counts as ticked in.
            const int dataSet = reader_.dataSetIndex - 1;
            const std::int16_t kind = reader_.dataSetKind;
            if (!reader_.dataSetLabel.empty() && HasGroup(kind) && dataSet >= 0 && dataSet < kMaxDataSetNodes) {
                const std::string_view label = reader_.dataSetLabel.view();
                Synchronize([&] {
                    table_.Add(dataSet);
                    view_.AddDataSet(kind, dataSet, label);
                });
            }
            reader_.newDataSet = 0;
        }
        n = reader_.ReadRecord(raw);
    }

    reader_.Close();
    Synchronize([&] {
        view_.SetWaitProgress(0);
        view_.HideWait();
        view_.ExpandIndex();
    });
    End(Terminated() ? IndexOutcome::Stopped : IndexOutcome::Completed);
}

} // namespace mutaro
