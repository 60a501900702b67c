#pragma once

#include "core/ConversionSettings.h"
#include "core/Product.h"
#include "core/TextBuffer.h"
#include "platform/OutputFile.h"

namespace mutaro {

// Receivers a delimited record runs over for a product: 4 for the firmware 1.27 Talvor, 2 for the
// Hurlan logs, 1 for the others (their readers walk their receiver groups themselves).
int RowReceiverCount(int productIndex);

// The title row and the data rows of delimited output. Each piece (a title group, a data group or
// one field) is written as soon as it is produced; nothing is held across pieces.
class DelimitedRows {
public:
    DelimitedRows(ZProduct& reader, const ConversionSettings& settings, OutputFile& out, char delimiter);

    // Writes the title row if the reader's headerPending is set, then clears headerPending.
    void WriteTitleRow();
    // Writes the rows of the reader's current output record, one per receiver.
    void WriteDelimitedRows();

private:
    void Separator() { out_.Put(delimiter_); }

    ZProduct& reader_;
    const ConversionSettings& settings_;
    OutputFile& out_;
    char delimiter_;
    TextBuffer titleText_{kTitleTextCapacity};
    TextBuffer pieceText_{kFieldTextCapacity};
};

} // namespace mutaro
