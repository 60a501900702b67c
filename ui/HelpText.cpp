#include "ui/HelpText.h"

namespace mutaro {

const std::array<std::string_view, 9>& HelpHeadings() {
    static const std::array<std::string_view, 9> headings = {
        "ZYT Mutaro User Manual",
        "Introduction",
        "Installation",
        "Running the Application",
        "Main Menu",
        "Step 1 - Select Input / Output",
        "Step 2 - Choose Formatting Options",
        "Step 3 - Select Data and Fields Which Are To Be In The Output File",
        "Step 4 - Convert The Input File",
    };
    return headings;
}

std::string_view HelpManualHtml() {
    return R"(<h1>ZYT Mutaro User Manual</h1>

<h2>Introduction</h2>
<p>Mutaro converts the log files that ZYT CW scanning receivers record during a drive test into
text files for spreadsheets, GIS tools and RF planning tools. A log holds, record by record, the
channel, frequency and signal level (RSSI) of up to four receivers together with the GPS position
and time, the receiver clock and marker values. Mutaro reads the log once from start to end, lets
you choose the data sets, receivers, data reduction and output fields, and writes either a
delimited text file whose columns you choose, or the fixed import format of a planning tool.</p>

<h2>Installation</h2>
<p>Build Mutaro from its source folder with <code>make deps build</code>; this installs the
packages the build needs and places the programs <code>mutaro-gui</code> (this window),
<code>mutaro</code> (the command line) and <code>mutaro-mklog</code> (a generator of sample logs) in
the folder <code>build/app</code> and <code>build/tools</code>. The window needs a graphical
display; the command line does not.</p>

<h2>Running the Application</h2>
<p>Start <code>mutaro-gui</code>, or <code>mutaro-gui run.tlf</code> to open a log at once. The
window leads you through four numbered steps from top to bottom. Work through them in order: choose
the log, choose the formatting options, choose the output fields, and convert. The status bar at the
bottom shows the progress of a conversion on the left and the time of day on the right.</p>
<p>For batch work the command line drives the very same steps:
<code>mutaro convert run.tlf --format "Microsoft Excel"</code> converts a log with a preset, and
<code>mutaro --help</code> lists the commands (<code>identify</code>, <code>fields</code>,
<code>index</code> and <code>convert</code>) and their options.</p>

<h2>Main Menu</h2>
<p><b>Application | Open Configuration</b> restores the choices of all four steps from a
configuration file (*.cfg) saved earlier; <b>Application | Save Configuration</b> saves the current
choices into one. The Other delimiter text, "Excel Split" and the ticks of the data-set tree are not
saved. <b>Application | Exit</b> ends the program. <b>Help | Contents &amp; Index</b> shows this
manual and <b>Help | About</b> the program's version.</p>
<p><b>Do not edit configuration files by hand.</b> Mutaro writes and reads them itself; a value
changed by hand may select another receiver family, field list or output format than you expect.</p>

<h2>Step 1 - Select Input / Output</h2>
<p>Press the first <b>Browse</b> button and choose a log file. Mutaro looks at the first bytes of
the file, recognises which receiver wrote it (automatic product detection) and shows the product's
name beside the button. A file that no ZYT CW receiver wrote is refused with the message "File is
not from a ZYT CW product." The output name is proposed from the input name with the extension
".OUT" (run.tlf gives run.out); use the second <b>Browse</b> button to choose another name.</p>
<p><b>Excel Split</b> splits a large delimited output into files of at most 60000 lines each, so a
spreadsheet can import every part. The parts are written into a subfolder named after the output
file (run.out gives the folder run with run-1.out, run-2.out, ...); the full output file stays as
well.</p>

<h2>Step 2 - Choose Formatting Options</h2>
<p><b>Convert Data for Receiver(s)</b>: tick the receivers whose data you want; a product offers only
the receivers it has. <b>Data Reduction</b>: <i>Convert All Data</i> writes every reading;
<i>Best Server</i> writes only the strongest channel of each scan. <b>Average Type</b>: <i>40
Lambda</i> averages the fast RSSI samples over windows of 40 wavelengths (offered for the Talvor and
Dravik receivers).</p>
<p><b>Format Type</b> chooses the tool the output is for. Choosing a tool applies its preset: it
fills the Selected Fields list with the columns that tool expects, sets the delimiter and the
"Header" switch. For the tools with a fixed import format (Grayson IQ Analyzer, MLJ PathPro, MSI
Planet, Wireless Valley InFielder) the Selected list stays empty and the field lists are locked,
because the format decides every byte. Choose "Custom ASCII Configuration" to build your own list.
In this version the fixed import formats and 40 Lambda averaging are not built yet: their output
holds no records, and a 40 Lambda conversion leaves the RSSI columns empty.</p>
<p>The tree lists the data sets of the log, grouped by kind (for example "Fast Data" and "Scan
Data"), each labelled with its start time. All are ticked at first; click a data set to tick it out,
and its records are left out of the conversion. Click it again to tick it back in.</p>

<h2>Step 3 - Select Data and Fields Which Are To Be In The Output File</h2>
<p>Move fields from <b>Available Fields</b> to <b>Selected Fields</b> with <b>&gt;</b> (the
highlighted field) or <b>&gt;&gt;</b> (all of them); remove them with <b>&lt;</b> and
<b>&lt;&lt;</b>. The columns of the output follow the order of the Selected list. To get the
frequency, channel and RSSI of each receiver, the field <b>&lt;&lt; DATA &gt;&gt;</b> must be
selected; <b>Field Data</b> chooses which of those columns it writes. <b>Header</b> writes a first
line of column titles. <b>Field Delimiter</b> chooses the character between columns: comma,
semicolon, tab, space, or the character typed into the Other box.</p>

<h2>Step 4 - Convert The Input File</h2>
<p>Press <b>Convert Data</b>. The gauge in the status bar shows how much of the log has been read;
<b>Cancel</b> stops the conversion and keeps what has been written so far. When the message
"Conversion Has Been Completed!" appears, the output file is ready for import into your tool.</p>
)";
}

std::string_view AboutText() {
    return "ZYT Mutaro CW\nVersion 0.1.0\n\nConverts CW scanning receiver drive-test logs into "
           "delimited text and the import formats of RF planning tools.";
}

} // namespace mutaro
