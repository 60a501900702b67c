#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace mutaro {

struct SelectedField {
    std::string name;
    std::int16_t tag = 0;
};

enum class SpeedUnit { Mph, Kmh };

// Every choice one conversion needs. The front end fills it when Convert is pressed; the job, the
// readers, the writers and the averaging engine read only this record, never the window.
struct ConversionSettings {
    std::string inputFileName;
    std::string outputFileName;
    int productIndex = 0;
    int outputFormatIndex = 0;
    bool fixedFormat = false;
    int delimiterChoice = 0;  // 0 comma, 1 semicolon, 2 tab, 3 space, 4 other; anything else: '@'
    std::string otherDelimiterText;
    bool headerRow = true;
    std::vector<SelectedField> selectedFields;  // at most 100, in list order
    std::array<bool, 4> receiverEnabled{true, true, true, true};
    struct FieldData {
        bool frequency = true;
        bool channel = true;
        bool rssi = true;
        bool satDcc = false;
        bool vmac = false;
    } fieldData;
    int scanType = 1;  // 0 "Scan Table", 1 "Fast Data"
    bool bestServer = false;   // "Best Server" of the Data Reduction group
    bool fortyLambda = false;  // "40 Lambda" of the Average Type group; wins when both are on
    std::string lambdaSpeed = "30";
    SpeedUnit lambdaUnit = SpeedUnit::Mph;
    bool splitOutput = false;
};

// The record the front end fills and every reader binds its receiver switches to.
ConversionSettings& SharedSettings();

} // namespace mutaro
