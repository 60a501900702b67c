#pragma once

// A reader that replays a script of records with their kinds and texts, so the job and the row
// rules can be tested without any log format.

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/Product.h"

namespace mutaro::testing {

struct ScriptedRecord {
    std::int32_t bytes = 10;              // what ReadRecord reports as consumed
    std::int16_t kind = kRecordData;      // what ParseRecord answers
    std::int16_t ready = 1;               // readyOutputs for kinds 1 and 4
    // DataColumns groups of this record: a text answers 0, nullopt answers 1 (receiver skipped).
    std::vector<std::optional<std::string>> columns;
    std::map<std::int16_t, std::string> fields;  // FormatField texts by tag
    // Texts of one receiver's row (products that ask ReceiverHasData), in place of `fields`.
    std::map<int, std::map<std::int16_t, std::string>> fieldsByReceiver;
    std::string textLine;                        // for kind 2
    bool raiseHeader = false;                    // ParseRecord raises headerPending
    std::string fixedRecord;                     // WriteRecord text
    std::vector<int> receiversWithData{1};       // ReceiverHasData answers
    std::function<void()> onParse;               // runs inside ParseRecord (cancel, ...)
};

class ScriptedReader : public ZProduct {
public:
    explicit ScriptedReader(ConversionSettings& settings) : ZProduct(settings) {}

    std::vector<ScriptedRecord> script;
    std::vector<std::optional<std::string>> titles;  // DataTitles groups, as columns above
    std::string fixedHeader, fixedTrailer;
    int headerWrites = 0, trailerWrites = 0, closes = 0;
    bool openFails = false;

    std::int32_t Open(const std::string& name) override {
        next_ = 0;
        current_ = nullptr;
        if (openFails) return -1;
        return ZProduct::Open(name);
    }
    std::int32_t Close() override {
        ++closes;
        return ZProduct::Close();
    }
    std::int32_t ReadRecord(RawRecord&) override {
        if (next_ >= script.size()) return 0;
        current_ = &script[next_++];
        return current_->bytes;
    }
    std::int16_t ParseRecord(RawRecord&) override {
        if (current_ == nullptr) return kRecordNothing;
        if (current_->onParse) current_->onParse();
        readyOutputs = current_->ready;
        if (current_->raiseHeader) headerPending = 1;
        textLine.clear();
        textLine.append(current_->textLine);
        return current_->kind;
    }
    std::int16_t DataTitles(std::int16_t step, TextBuffer& out, char) override {
        return Group(titles, titleCursor_, step, out);
    }
    std::int16_t DataColumns(std::int16_t step, TextBuffer& out, char) override {
        static const std::vector<std::optional<std::string>> none;
        return Group(current_ ? current_->columns : none, columnCursor_, step, out);
    }
    void FormatField(std::int16_t tag, TextBuffer& out) override {
        out.clear();
        if (tag == tag::kRecordNumber) {
            out.appendf("%u", outputRowCount);
            return;
        }
        if (current_ == nullptr) return;
        const auto& texts = current_->fieldsByReceiver.count(receiver_) ? current_->fieldsByReceiver.at(receiver_)
                                                                          : current_->fields;
        auto found = texts.find(tag);
        if (found != texts.end()) out.append(found->second);
    }
    bool ReceiverHasData(std::int16_t receiver) override {
        if (current_ == nullptr) return false;
        receiver_ = receiver;
        for (int r : current_->receiversWithData)
            if (r == receiver) return true;
        return false;
    }
    std::int32_t WriteHeader(TextBuffer& out) override {
        ++headerWrites;
        out.clear();
        out.append(fixedHeader);
        return static_cast<std::int32_t>(out.size());
    }
    std::int32_t WriteRecord(TextBuffer& out) override {
        out.clear();
        if (current_) out.append(current_->fixedRecord);
        return static_cast<std::int32_t>(out.size());
    }
    std::int32_t WriteTrailer(TextBuffer& out) override {
        ++trailerWrites;
        out.clear();
        out.append(fixedTrailer);
        return static_cast<std::int32_t>(out.size());
    }

private:
    static std::int16_t Group(const std::vector<std::optional<std::string>>& groups, std::size_t& cursor,
                              std::int16_t step, TextBuffer& out) {
        out.clear();
        if (step == 0) cursor = 0;
        if (cursor >= groups.size()) return -1;
        const auto& group = groups[cursor++];
        if (!group) return 1;
        out.append(*group);
        return 0;
    }

    std::size_t next_ = 0;
    ScriptedRecord* current_ = nullptr;
    std::size_t titleCursor_ = 0, columnCursor_ = 0;
    int receiver_ = 1;
};

} // namespace mutaro::testing
