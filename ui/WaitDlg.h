#pragma once

#include "ui/components/Components.h"

namespace mutaro {

// The Wait dialog the index pass shows, drives and hides; the window draws it without blocking.
struct TWaitDlg {
    std::string caption = "Wait";
    bool visible = false;
    TLabel Label1{"Label1", "Please Wait While the File is Indexed!"};
    TGauge Gauge{"Gauge"};
};

} // namespace mutaro
