#pragma once

// The one registry of the receiver families: per product index its texts, its reader, what the
// window offers for it and the groups of its content index. The form, the command line and the
// tests all enumerate this table; nobody keeps a second list of products.

#include <array>
#include <memory>
#include <span>
#include <string_view>

#include "core/ConversionSettings.h"
#include "core/FieldCatalogue.h"
#include "core/Product.h"
#include "reduction/MakeIndex.h"

namespace mutaro {

constexpr int kProductCount = 10;  // indexes 0 ("(None)") to 9
constexpr int kFamilyCount = 7;    // reader classes
constexpr int kNoReader = -1;

// A reader class and how its one object is made.
struct ReaderFamily {
    std::string_view className;
    std::unique_ptr<ZProduct> (*make)(ConversionSettings& settings);
};

struct ProductInfo {
    int index;
    std::string_view itemText;    // item of the hidden Input Format group
    std::string_view label;       // shown in the window once the product is selected
    int family;                   // index into ReaderFamilies(), kNoReader for none; products may share one
    std::string_view extensions;  // the log files it writes, "*.tlf"
    bool scanTypes;               // the Scan Type group applies
    bool scanModes;               // the Sarnel Scan Mode group applies
    int receivers;                // receiver switches it offers, 1 to 4
    bool satDcc;                  // "SAT/DCC" and "VMAC" offered
    bool fortyLambda;             // "40 Lambda" offered
    std::span<const IndexGroup> indexGroups;  // groups of the content index, in tree order

    // A product the window can select (not "(None)" nor the unsupported Pellix).
    bool Selectable() const { return family != kNoReader; }
};

std::span<const ReaderFamily, kFamilyCount> ReaderFamilies();
// Every product index in order, 0 to 9.
std::span<const ProductInfo, kProductCount> Products();
// The row of a product index, or nullptr outside 0 to 9.
const ProductInfo* FindProduct(int index);

// One reader object per family, all bound to one settings record. Readers not built yet are the
// framework's base behaviour until their own class lands; their product still selects and
// configures the window.
class ReaderSet {
public:
    explicit ReaderSet(ConversionSettings& settings = SharedSettings());
    ~ReaderSet();
    ReaderSet(const ReaderSet&) = delete;
    ReaderSet& operator=(const ReaderSet&) = delete;

    // The reader of a selectable product, nullptr for any other index.
    ZProduct* ForProduct(int index) const;
    std::span<ZProduct* const, kFamilyCount> All() const { return all_; }
    ConversionSettings& settings() const { return *settings_; }

private:
    ConversionSettings* settings_;
    std::array<std::unique_ptr<ZProduct>, kFamilyCount> readers_;
    std::array<ZProduct*, kFamilyCount> all_{};
};

// The catalogue name of a field tag; empty for a tag outside the catalogue.
inline std::string_view FieldNameOf(int tag) {
    return tag >= 0 && tag < kFieldCount ? FieldCatalogue()[tag] : std::string_view();
}

// The readers of the whole run, built on first use and kept until exit.
ReaderSet& StaticReaders();

} // namespace mutaro
