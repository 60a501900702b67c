#include "ui/ConfigFile.h"

#include <algorithm>

#include "platform/IniFile.h"
#include "ui/MainForm.h"

namespace mutaro {

namespace {

std::string Key(const char* stem, int position) { return stem + std::to_string(position); }

// A choice button set as read: on turns off the other choices of its group, off only itself.
void SetChoice(TRadioButton& button, bool on) {
    if (on) button.Choose();
    else button.checked = false;
}

struct SwitchKey {
    const char* key;
    bool fallback;
    TCheckBox TMainForm::*box;
};

const SwitchKey kSwitches[] = {
    {"Receiver1", true, &TMainForm::Receiver1},       {"Receiver2", false, &TMainForm::Receiver2},
    {"Receiver3", false, &TMainForm::Receiver3},      {"Receiver4", false, &TMainForm::Receiver4},
    {"FrequencyField", true, &TMainForm::FrequencyField}, {"ChannelField", false, &TMainForm::ChannelField},
    {"RSSIField", true, &TMainForm::RSSIField},       {"SATField", false, &TMainForm::SATField},
    {"VMACField", false, &TMainForm::VMACField},
};

} // namespace

bool SaveConfiguration(const TMainForm& form, const std::string& path) {
    IniFile ini;
    if (!ini.Load(path)) return false;
    ini.WriteInteger("InputFormat", "Product", form.InputFormatGroup.itemIndex);
    ini.WriteString("InputFile", "Filename", form.InputFilename.text);
    ini.WriteInteger("OutputFilter", "SarnelMode", form.SarnelMode.itemIndex);
    ini.WriteInteger("OutputFilter", "ScanType", form.ScanTypeGroup.itemIndex);
    for (const SwitchKey& s : kSwitches) ini.WriteBool("OutputFilter", s.key, (form.*s.box).checked);
    ini.WriteBool("OutputFilter", "NoAvg", form.NoAvg.checked);
    ini.WriteBool("OutputFilter", "LambdaAvg", form.LambdaAvg.checked);
    ini.WriteBool("OutputFilter", "BSAvg", form.BSAvg.checked);
    ini.WriteInteger("OutFormat", "Format", form.OutputFormatGroup.itemIndex);
    ini.WriteInteger("OutputFieldSelection", "Delimiter", form.DelimiterGroup.itemIndex);
    ini.WriteBool("OutputFieldSelection", "FieldTitles", form.FieldTitles.checked);

    ini.WriteInteger("AvailableFields", "Count", form.AvailableBox.Count());
    for (int i = 0; i < form.AvailableBox.Count(); ++i)
        ini.WriteString("AvailableFields", Key("Field", i), form.AvailableBox.items[i]);

    const int selected = std::min(form.SelectedBox.Count(), kMaxFieldTags);
    ini.WriteInteger("SelectedFields", "Count", selected);
    for (int i = 0; i < selected; ++i) {
        ini.WriteString("SelectedFields", Key("Field", i), form.SelectedBox.items[i]);
        ini.WriteInteger("SelectedTags", Key("Tag", i), form.CurrentReader().selectedTags[i]);
    }
    ini.WriteString("OutputFile", "Filename", form.OutputFilename.text);
    return ini.Save(path);
}

bool RestoreConfiguration(TMainForm& form, const std::string& path) {
    IniFile ini;
    if (!ini.Load(path)) return false;

    // 1 and 2: the product, then the input name. The name is put in place first, so that the
    // index pass a product change starts indexes the restored file rather than the previous one.
    const int product = ini.ReadInteger("InputFormat", "Product", 0);
    const std::string input = ini.ReadString("InputFile", "Filename", "Sample.in");
    const bool productChanges = product != form.InputFormatGroup.itemIndex;
    const bool inputChanges = input != form.InputFilename.text;
    form.InputFilename.SetText(input);
    if (productChanges) {
        form.InputFormatGroup.SetItemIndex(product);
    } else if (inputChanges && form.CurrentProduct() != nullptr && form.CurrentProduct()->Selectable()) {
        // Same product, another log: the tree is rebuilt for it, so its ticks never apply to the
        // data sets of a file they were not made for.
        form.InputFormatGroup.SetItemIndex(0);
        form.InputFormatGroup.SetItemIndex(product);
    }

    // 3 and 4: the hidden groups and the switches.
    form.SarnelMode.SetItemIndex(ini.ReadInteger("OutputFilter", "SarnelMode", 0));
    form.ScanTypeGroup.SetItemIndex(ini.ReadInteger("OutputFilter", "ScanType", 0));
    for (const SwitchKey& s : kSwitches) (form.*s.box).checked = ini.ReadBool("OutputFilter", s.key, s.fallback);

    // 5: in this order, each as read; BSAvg and LambdaAvg sit in different groups and may both be on.
    SetChoice(form.NoAvg, ini.ReadBool("OutputFilter", "NoAvg", true));
    SetChoice(form.LambdaAvg, ini.ReadBool("OutputFilter", "LambdaAvg", false));
    SetChoice(form.BSAvg, ini.ReadBool("OutputFilter", "BSAvg", false));

    // 6: the list shows the format; its preset is not applied.
    form.OutputFormatGroup.SetItemIndex(ini.ReadInteger("OutFormat", "Format", 0));

    // 7: above 4 chooses "Other"; a negative value chooses no item (the at sign).
    const int delimiter = ini.ReadInteger("OutputFieldSelection", "Delimiter", 0);
    form.DelimiterGroup.SetItemIndex(delimiter > 4 ? 4 : (delimiter < 0 ? -1 : delimiter));
    form.FieldTitles.checked = ini.ReadBool("OutputFieldSelection", "FieldTitles", false);

    // 8: names only; the positions keep meaning the current reader's tags. A count beyond the
    // 100 tags a reader can offer is cut there, so a damaged file cannot fill memory.
    const int available = std::clamp(ini.ReadInteger("AvailableFields", "Count", 0), 0, kMaxFieldTags);
    form.AvailableBox.Clear();
    for (int i = 0; i < available; ++i) form.AvailableBox.Add(ini.ReadString("AvailableFields", Key("Field", i), ""));

    // 9: at most the 100 positions of selectedTags.
    const int selected = std::clamp(ini.ReadInteger("SelectedFields", "Count", 0), 0, kMaxFieldTags);
    form.SelectedBox.Clear();
    for (int i = 0; i < selected; ++i) {
        form.CurrentReader().selectedTags[i] = static_cast<std::int16_t>(ini.ReadInteger("SelectedTags", Key("Tag", i), 0));
        form.SelectedBox.Add(ini.ReadString("SelectedFields", Key("Field", i), ""));
    }

    // 10.
    form.OutputFilename.SetText(ini.ReadString("OutputFile", "Filename", "Sample.out"));
    return true;
}

} // namespace mutaro
