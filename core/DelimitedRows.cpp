#include "core/DelimitedRows.h"

namespace mutaro {

int RowReceiverCount(int productIndex) {
    if (productIndex == 7) return 4;
    if (productIndex == 8 || productIndex == 9) return 2;
    return 1;
}

DelimitedRows::DelimitedRows(ZProduct& reader, const ConversionSettings& settings, OutputFile& out,
                             char delimiter)
    : reader_(reader), settings_(settings), out_(out), delimiter_(delimiter) {}

void DelimitedRows::WriteTitleRow() {
    if (!reader_.headerPending) return;
    if (settings_.headerRow) {
        const auto& fields = settings_.selectedFields;
        for (std::size_t j = 0; j < fields.size(); ++j) {
            if (fields[j].tag == tag::kData) {
                std::int16_t g = reader_.DataTitles(0, titleText_, delimiter_);
                if (j > 0 && !titleText_.empty()) Separator();
                // A reader that keeps answering groups ends with the 100 000th: no real reader has
                // more than 80 groups per receiver, and the job must never loop.
                for (int guard = 0; g >= 0 && guard < 100000; ++guard) {
                    if (!titleText_.empty()) out_.Write(titleText_.view());
                    g = reader_.DataTitles(1, titleText_, delimiter_);
                    if (!titleText_.empty()) Separator();
                }
            } else {
                if (j > 0) Separator();
                titleText_.assignf("\"%s\"", fields[j].name.c_str());
                out_.Write(titleText_.view());
            }
        }
        out_.Put('\n');
    }
    reader_.headerPending = 0;
}

void DelimitedRows::WriteDelimitedRows() {
    bool rowHasText = false;
    const int receivers = RowReceiverCount(settings_.productIndex);
    const bool asksReceivers = receivers > 1;
    const auto& fields = settings_.selectedFields;
    for (int r = 1; r <= receivers; ++r) {
        if (asksReceivers && !reader_.ReceiverHasData(static_cast<std::int16_t>(r))) continue;
        ++reader_.outputRowCount;
        for (std::size_t j = 0; j < fields.size(); ++j) {
            if (fields[j].tag == tag::kData) {
                std::int16_t d = reader_.DataColumns(0, pieceText_, delimiter_);
                if (j > 0 && d == 0) Separator();
                for (int guard = 0; d >= 0 && guard < 100000; ++guard) {
                    if (!pieceText_.empty()) {
                        out_.Write(pieceText_.view());
                        rowHasText = true;
                    }
                    d = reader_.DataColumns(1, pieceText_, delimiter_);
                    if (d == 0) Separator();
                }
            } else {
                if (j > 0) Separator();
                reader_.FormatField(fields[j].tag, pieceText_);
                out_.Write(pieceText_.view());
                if (!pieceText_.empty()) rowHasText = true;
            }
        }
        if (rowHasText) out_.Put('\n');
    }
}

} // namespace mutaro
