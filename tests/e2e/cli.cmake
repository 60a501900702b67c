# The mutaro command line end to end: small fixture logs under tests/data/cli/, outputs compared
# byte for byte with hand-worked files under tests/data/cli/expected/, exit statuses and messages.
if(NOT TARGET mutaro)
  return()
endif()

# The runner sits below e2e/, where the glob of case files does not reach.
set(mutaro_cli_runner ${CMAKE_CURRENT_LIST_DIR}/scripts/run_cli.cmake)
set(mutaro_cli_data ${CMAKE_CURRENT_LIST_DIR}/../data/cli)

# mutaro_cli(NAME EXIT status ARGS word... [STDOUT expected] [STDOUT_MATCH regex] [STDERR line...]
#            [STDERR_MATCH regex] [COMPARE produced expected ...] [UNCHANGED fixture] [ABSENT file])
# An empty STDERR expects nothing on stderr.
function(mutaro_cli name)
  cmake_parse_arguments(PARSE_ARGV 1 c "" "EXIT;STDOUT;STDOUT_MATCH;STDERR_MATCH;UNCHANGED;ABSENT"
                        "ARGS;STDERR;COMPARE")
  list(JOIN c_ARGS "^" args)
  set(defs -DMUTARO=$<TARGET_FILE:mutaro> -DDATA=${mutaro_cli_data} -DWORK=${CMAKE_CURRENT_BINARY_DIR}/cli/${name}
           -DEXIT=${c_EXIT} "-DARGS=${args}")
  if(DEFINED c_STDOUT)
    list(APPEND defs -DSTDOUT=${mutaro_cli_data}/expected/${c_STDOUT})
  endif()
  foreach(key STDOUT_MATCH STDERR_MATCH UNCHANGED ABSENT)
    if(DEFINED c_${key})
      list(APPEND defs "-D${key}=${c_${key}}")
    endif()
  endforeach()
  if(DEFINED c_STDERR OR "STDERR" IN_LIST c_KEYWORDS_MISSING_VALUES)
    list(JOIN c_STDERR "^" lines)
    list(APPEND defs "-DSTDERR=${lines}")
  endif()
  if(DEFINED c_COMPARE)
    set(pairs "")
    set(produced "")
    foreach(item ${c_COMPARE})
      if(produced STREQUAL "")
        set(produced ${item})
      else()
        list(APPEND pairs ${produced} ${mutaro_cli_data}/expected/${item})
        set(produced "")
      endif()
    endforeach()
    list(JOIN pairs "^" pairs)
    list(APPEND defs "-DCOMPARE=${pairs}")
  endif()
  add_test(NAME cli.${name} COMMAND ${CMAKE_COMMAND} ${defs} -P ${mutaro_cli_runner})
endfunction()

set(done "Information: Conversion Has Been Completed!")
set(not_ours "File is not from a ZYT CW product.")
set(missing "Error: Input File Does Not Exist!")

# identify
mutaro_cli(identify.recognised EXIT 0 ARGS identify three-runs.tlf STDOUT identify-one.txt STDERR)
mutaro_cli(identify.mixed EXIT 1 ARGS identify three-runs.tlf random.bin STDOUT identify.txt
           STDERR "Warning: random.bin: ${not_ours}")
mutaro_cli(identify.bad-input EXIT 1 ARGS identify empty.tlf folder.tlf missing.tlf notes.txt STDOUT identify-bad.txt
           STDERR "Warning: empty.tlf: ${not_ours}" "Error: folder.tlf: Input File Does Not Exist!"
                  "Error: missing.tlf: Input File Does Not Exist!" "Warning: notes.txt: ${not_ours}")

# fields
mutaro_cli(fields.product EXIT 0 ARGS fields --product 1 STDOUT fields-talvor.txt STDERR)
mutaro_cli(fields.file EXIT 0 ARGS fields three-runs.tlf STDOUT fields-talvor.txt STDERR)
mutaro_cli(fields.unrecognised EXIT 1 ARGS fields random.bin STDERR "Warning: ${not_ours}")

# index
mutaro_cli(index.three-runs EXIT 0 ARGS index three-runs.tlf STDOUT index-three-runs.txt STDERR)
mutaro_cli(index.missing EXIT 1 ARGS index missing.tlf STDERR "${missing}")
mutaro_cli(index.folder EXIT 1 ARGS index folder.tlf STDERR "${missing}")
mutaro_cli(index.random EXIT 1 ARGS index random.bin STDERR "Warning: ${not_ours}")
mutaro_cli(index.empty EXIT 1 ARGS index empty.tlf STDERR "Warning: ${not_ours}")

# convert, with presets and options
mutaro_cli(convert.excel EXIT 0 ARGS convert three-runs.tlf --format "Microsoft Excel" STDERR "${done}"
           COMPARE three-runs.out excel.out)
mutaro_cli(convert.excel-by-index EXIT 0 ARGS convert three-runs.tlf --format 5 -q -o excel5.out STDERR
           COMPARE excel5.out excel.out)
mutaro_cli(convert.product EXIT 0 ARGS convert three-runs.tlf --product 1 --format "microsoft excel" -q STDERR
           COMPARE three-runs.out excel.out)
mutaro_cli(convert.skip EXIT 0 ARGS convert three-runs.tlf --format 5 --skip 3 -q COMPARE three-runs.out excel-skip3.out)
mutaro_cli(convert.truncated EXIT 0 ARGS convert truncated.tlf --format 5 -q COMPARE truncated.out truncated.out)
mutaro_cli(convert.plotworx EXIT 0 ARGS convert receivers.tlf --format "Teleworx PlotworX" -o plotworx.out -q
           COMPARE plotworx.out plotworx.out)
mutaro_cli(convert.edx EXIT 0 ARGS convert receivers.tlf --format 1 -o edx.out -q COMPARE edx.out edx.out)
mutaro_cli(convert.options EXIT 0
           ARGS convert receivers.tlf -o custom.out --field "<< DATA >>" --field 32 --field "rtc time (hh:mm:ss)"
                --delimiter semicolon --header --receivers 1,3 --data freq,channel,rssi -q
           COMPARE custom.out custom.out)
mutaro_cli(convert.best-server EXIT 0 ARGS convert receivers.tlf --format 4 --reduction best-server -o best.out -q
           COMPARE best.out best.out)
mutaro_cli(convert.other-empty EXIT 0
           ARGS convert receivers.tlf --field 11 --field 5 --delimiter other: --no-header -o nul.out -q
           COMPARE nul.out nul.out)
mutaro_cli(convert.scan-table EXIT 0
           ARGS convert receivers.tlf --field "<< DATA >>" --data rssi --scan-type table --header -o table.out -q
           COMPARE table.out table.out)

# convert, every way it fails
mutaro_cli(convert.missing EXIT 1 ARGS convert missing.tlf STDERR "${missing}")
mutaro_cli(convert.folder EXIT 1 ARGS convert folder.tlf STDERR "${missing}")
mutaro_cli(convert.empty EXIT 1 ARGS convert empty.tlf STDERR "Warning: ${not_ours}" ABSENT empty.out)
mutaro_cli(convert.random EXIT 1 ARGS convert random.bin STDERR "Warning: ${not_ours}" ABSENT random.out)
mutaro_cli(convert.output-unwritable EXIT 1 ARGS convert three-runs.tlf -o no/such/folder/x.out
           STDERR "Error: Output File Cannot Be Accessed!")
mutaro_cli(convert.output-is-input EXIT 1 ARGS convert three-runs.tlf -o three-runs.tlf
           STDERR "Error: Output File Cannot Be The Input File!" UNCHANGED three-runs.tlf)
mutaro_cli(convert.output-is-input-by-another-path EXIT 1 ARGS convert three-runs.tlf -o ./folder.tlf/../three-runs.tlf
           STDERR "Error: Output File Cannot Be The Input File!" UNCHANGED three-runs.tlf)

# usage errors name the bad word
mutaro_cli(usage.no-command EXIT 2 ARGS STDERR "mutaro: missing command" "Try 'mutaro --help'.")
mutaro_cli(usage.unknown-command EXIT 2 ARGS frobnicate STDERR "mutaro: unknown command 'frobnicate'" "Try 'mutaro --help'.")
function(mutaro_cli_usage name text)
  mutaro_cli(usage.${name} EXIT 2 ARGS ${ARGN} STDERR "mutaro convert: ${text}" "Try 'mutaro convert --help'."
             ABSENT three-runs.out)
endfunction()
mutaro_cli_usage(unknown-option "unknown option '--bogus'" convert three-runs.tlf --bogus)
mutaro_cli_usage(missing-value "option '--output' needs PATH" convert three-runs.tlf --output)
mutaro_cli_usage(switch-value "option '--split' takes no value" convert three-runs.tlf --split=yes)
mutaro_cli_usage(twice "option '--format' given twice" convert three-runs.tlf --format 5 --format 1)
mutaro_cli_usage(no-file "missing FILE" convert --format 5)
mutaro_cli_usage(bad-format "--format: unknown format 'Excel'" convert three-runs.tlf --format Excel)
mutaro_cli_usage(bad-format-index "--format: unknown format '13'" convert three-runs.tlf --format 13)
mutaro_cli_usage(bad-word "--scan-type: unknown word 'sideways' (table|fast)" convert three-runs.tlf --scan-type sideways)
mutaro_cli_usage(bad-delimiter "--delimiter: 'other:ab': other takes at most one character"
                 convert three-runs.tlf --delimiter other:ab)
mutaro_cli_usage(bad-receiver "--receivers: '5' is not a receiver (1 to 4)" convert three-runs.tlf --receivers 1,5)
mutaro_cli_usage(bad-data "--data: unknown field data 'dcc'" convert three-runs.tlf --data rssi,dcc)
mutaro_cli_usage(bad-skip "--skip: '0' is not a data-set number" convert three-runs.tlf --skip 0)
mutaro_cli_usage(header-both "--header and --no-header together" convert three-runs.tlf --header --no-header)
mutaro_cli_usage(pellix "--product: product 6 (ZYT Pellix) is not supported" convert three-runs.tlf --product 6)
mutaro_cli_usage(product-range "--product: '10' is not a product index (1 to 9)" convert three-runs.tlf --product 10)
mutaro_cli_usage(sat-for-talvor "--data: sat is not available for ZYT Talvor" convert three-runs.tlf --data rssi,sat)
mutaro_cli_usage(receiver-for-vek "--receivers: receiver 2 is not available for ZYT Vek (PC CARD)"
                 convert three-runs.tlf --product 3 --receivers 1,2)
mutaro_cli_usage(lambda-for-sarnel "--average: 40-lambda is not available for ZYT Sarnel"
                 convert three-runs.tlf --product 5 --average 40-lambda)
mutaro_cli_usage(scan-type-for-vek "--scan-type: ZYT Vek (PC DUMP) has no scan types"
                 convert three-runs.tlf --product 4 --scan-type fast)
mutaro_cli_usage(fixed-fields "--field: the field lists are locked for the fixed format 'MLJ PathPro'"
                 convert three-runs.tlf --format "MLJ PathPro" --field 5)
mutaro_cli_usage(fixed-delimiter "--delimiter: there is no delimiter in the fixed format 'MSI Planet'"
                 convert three-runs.tlf --format 7 --delimiter tab)
mutaro_cli_usage(unknown-field "--field: 'Speed (BPS)' is not an Available Field of ZYT Talvor"
                 convert three-runs.tlf --field "Speed (BPS)")
mutaro_cli_usage(unknown-tag "--field: '60' is not a field tag" convert three-runs.tlf --field 60)
mutaro_cli_usage(skip-beyond "--skip: data set 4 has no entry in the index" convert three-runs.tlf --skip 1,4)
mutaro_cli(usage.fields-both EXIT 2 ARGS fields three-runs.tlf --product 1
           STDERR "mutaro fields: give FILE or --product N, not both" "Try 'mutaro fields --help'.")
mutaro_cli(usage.identify-nothing EXIT 2 ARGS identify STDERR "mutaro identify: missing FILE" "Try 'mutaro identify --help'.")
mutaro_cli(usage.index-option EXIT 2 ARGS index three-runs.tlf -q
           STDERR "mutaro index: unknown option '-q'" "Try 'mutaro index --help'.")

# help
mutaro_cli(help.program EXIT 0 ARGS --help STDOUT_MATCH "^mutaro: converts" STDERR)
foreach(command identify fields index convert)
  mutaro_cli(help.${command} EXIT 0 ARGS ${command} --help STDOUT_MATCH "^usage: mutaro ${command}" STDERR)
endforeach()
