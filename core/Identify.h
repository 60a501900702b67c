#pragma once

#include <string>

namespace mutaro {

// Product index: the number every part of the program tells the receiver families apart by.
enum ProductIndex : int {
    kProductNone = 0,
    kProductTalvor = 1,
    kProductDravik = 2,
    kProductVekCard = 3,
    kProductVekDump = 4,
    kProductSarnel = 5,
    kProductPellix = 6,  // never identified, not supported
    kProductTalvor2 = 7,
    kProductHurlan = 8,
    kProductHurlanCard = 9,
};

// Which receiver wrote a log, by its leading bytes: a product index, 0 when the file cannot be
// read or is not recognised. Opens the file for reading only and closes it again.
int IdentifyLog(const std::string& fileName);

// The output name proposed for a chosen log: the extension of its file-name part replaced by
// ".out", or ".out" appended when it has none ("run.tlf" gives "run.out", "C:\logs\a" "C:\logs\a.out").
std::string DefaultOutputName(const std::string& chosenName);

} // namespace mutaro
