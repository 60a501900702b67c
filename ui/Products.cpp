#include "ui/Products.h"

#include "readers/Dravik.h"
#include "readers/Sarnel.h"
#include "readers/Talvor.h"
#include "readers/Talvor2.h"

namespace mutaro {

namespace {

template <class Reader>
std::unique_ptr<ZProduct> Make(ConversionSettings& settings) {
    return std::make_unique<Reader>(settings);
}

// Families whose reader is not built yet answer with the framework's base behaviour.
constexpr std::array<ReaderFamily, kFamilyCount> kFamilies = {{
    {"ZTalvor", Make<ZTalvor>},
    {"ZDravik", Make<ZDravik>},
    {"ZVek", Make<ZProduct>},
    {"ZVekDump", Make<ZProduct>},
    {"ZSarnel", Make<ZSarnel>},
    {"ZTalvor2", Make<ZTalvor2>},
    {"ZHurlan", Make<ZProduct>},
}};
enum Family { kTalvor, kDravik, kVek, kVekDump, kSarnel, kTalvor2, kHurlan };

constexpr IndexGroup kClassicGroups[] = {{1, "Scan Data"}, {0, "Fast Data"}};
constexpr IndexGroup kVekGroups[] = {
    {4, "C/I Ratio"},         {5, "Adjacent Channel"}, {6, "1 Channel"},           {7, "20 Channel"},
    {21, "80 Channel"},       {8, "Variable Sweep"},   {9, "1 MHz Sweep"},         {10, "POCSAG"},
    {11, "Fast Fade"},        {12, "Strongest AB"},    {13, "Co-Channel Control"}, {14, "Group"},
    {15, "Follow"},           {16, "BER"},             {17, "System"},             {18, "FLEX Paging"},
};
constexpr IndexGroup kSarnelGroups[] = {{1, "Scan Data"}, {2, "1 Channel Data"}, {3, "3 Channel Data"}};
// The Hurlan calls its scan data set a table.
constexpr IndexGroup kHurlanGroups[] = {{19, "Single Frequency"}, {20, "List Data"}, {1, "Table Data"}};

// index, item text, label, family, extensions, scan types, scan modes, receivers, SAT/DCC and
// VMAC, 40 Lambda, index groups.
constexpr std::array<ProductInfo, kProductCount> kProducts = {{
    {0, "(None)", "(None)", kNoReader, "", false, false, 1, false, false, {}},
    {1, "ZYT Talvor", "ZYT Talvor", kTalvor, "*.tlf", true, false, 4, false, true, kClassicGroups},
    {2, "ZYT Dravik", "ZYT Dravik", kDravik, "*.dlf", true, false, 2, false, true, kClassicGroups},
    {3, "ZYT Vek (PC CARD)", "ZYT Vek (PC CARD)", kVek, "*.bin", false, false, 1, true, false, kVekGroups},
    {4, "ZYT Vek (PC DUMP)", "ZYT Vek (PC DUMP)", kVekDump, "*.vek", false, false, 1, true, false, kVekGroups},
    {5, "ZYT Sarnel", "ZYT Sarnel", kSarnel, "*.slf", false, true, 1, false, false, kSarnelGroups},
    {6, "ZYT Pellix", "ZYT Pellix", kNoReader, "", false, false, 1, false, false, {}},
    {7, "ZYT Talvor (new)", "ZYT Talvor (>=fv1.27)", kTalvor2, "", true, false, 4, false, true, kClassicGroups},
    {8, "ZYT Hurlan", "ZYT Hurlan", kHurlan, "*.hlf", true, false, 2, false, false, kHurlanGroups},
    {9, "ZYT Hurlan (PC CARD)", "ZYT Hurlan", kHurlan, "", true, false, 2, false, false, kHurlanGroups},
}};

} // namespace

std::span<const ReaderFamily, kFamilyCount> ReaderFamilies() { return kFamilies; }

std::span<const ProductInfo, kProductCount> Products() { return kProducts; }

const ProductInfo* FindProduct(int index) {
    if (index < 0 || index >= kProductCount) return nullptr;
    return &kProducts[index];
}

ReaderSet::ReaderSet(ConversionSettings& settings) : settings_(&settings) {
    for (int f = 0; f < kFamilyCount; ++f) {
        readers_[f] = kFamilies[f].make(settings);
        all_[f] = readers_[f].get();
    }
}

ReaderSet::~ReaderSet() = default;

ZProduct* ReaderSet::ForProduct(int index) const {
    const ProductInfo* product = FindProduct(index);
    if (product == nullptr || !product->Selectable()) return nullptr;
    return all_[product->family];
}

ReaderSet& StaticReaders() {
    static ReaderSet readers;
    return readers;
}

} // namespace mutaro
