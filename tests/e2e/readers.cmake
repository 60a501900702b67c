# The Dravik, Sarnel and firmware 1.27 Talvor readers through the real mutaro: small fixture logs
# under tests/data/readers/, outputs compared byte for byte with hand-worked files beside them.
if(NOT TARGET mutaro)
  return()
endif()

set(mutaro_reader_data ${CMAKE_CURRENT_LIST_DIR}/../data/readers)

# mutaro_reader(NAME LOG ARGS word... EXPECTED file [OUTPUT produced]): LOG is a fixture name or an
# absolute path; OUTPUT is a file the case
# writes in its scratch folder; without it stdout is compared. Conversions must end with the
# completion message alone, index listings with no message at all.
function(mutaro_reader name)
  cmake_parse_arguments(PARSE_ARGV 1 c "" "LOG;EXPECTED;OUTPUT" "ARGS")
  list(JOIN c_ARGS "^" args)
  if(NOT IS_ABSOLUTE ${c_LOG})
    set(c_LOG ${mutaro_reader_data}/${c_LOG})
  endif()
  set(defs -DMUTARO=$<TARGET_FILE:mutaro> -DLOG=${c_LOG}
           -DWORK=${CMAKE_CURRENT_BINARY_DIR}/readers/${name} "-DARGS=${args}"
           -DEXPECTED=${mutaro_reader_data}/expected/${c_EXPECTED})
  if(DEFINED c_OUTPUT)
    list(APPEND defs -DOUTPUT=${c_OUTPUT} "-DSTDERR=Information: Conversion Has Been Completed!\n")
  else()
    list(APPEND defs "-DSTDERR=")
  endif()
  add_test(NAME readers.${name} COMMAND ${CMAKE_COMMAND} ${defs} -P ${CMAKE_CURRENT_LIST_DIR}/scripts/run_reader.cmake)
endfunction()

set(rows --delimiter comma --header)

mutaro_reader(dravik.excel LOG four-records.dlf ARGS convert four-records.dlf --format "Microsoft Excel"
              OUTPUT four-records.out EXPECTED dravik-excel.out)
mutaro_reader(dravik.data LOG four-records.dlf OUTPUT d.out EXPECTED dravik-data.out
              ARGS convert four-records.dlf -o d.out --field "<< DATA >>" --field "GPS Time (HH:MM:SS)"
                   --receivers 1,2 --data freq,channel,rssi ${rows})
mutaro_reader(dravik.best-server-skip LOG four-records.dlf OUTPUT d.out EXPECTED dravik-best-skip.out
              ARGS convert four-records.dlf -o d.out --field "<< DATA >>" --field "GPS Time (HH:MM:SS)"
                   --receivers 1,2 --data freq,channel,rssi --reduction best-server --skip 1 ${rows})

mutaro_reader(sarnel.index LOG five-records.slf ARGS index five-records.slf EXPECTED sarnel-index.txt)
mutaro_reader(sarnel.data LOG five-records.slf OUTPUT s.out EXPECTED sarnel-data.out
              ARGS convert five-records.slf -o s.out --field "<< DATA >>" --field "Scan Mode"
                   --field "RTC Time (HH:MM:SS)" --field "Marker Value" --data freq,channel,rssi ${rows})
mutaro_reader(sarnel.best-server LOG five-records.slf OUTPUT s.out EXPECTED sarnel-best.out
              ARGS convert five-records.slf -o s.out --field "<< DATA >>" --field "Scan Mode"
                   --data freq,channel,rssi --reduction best-server ${rows})
# The preset selects no field for this product: a bare title row, and data rows without text.
mutaro_reader(sarnel.excel LOG five-records.slf ARGS convert five-records.slf --format "Microsoft Excel"
              OUTPUT five-records.out EXPECTED sarnel-excel.out)

mutaro_reader(talvor2.excel LOG six-rows.tlf ARGS convert six-rows.tlf --format "Microsoft Excel"
              OUTPUT six-rows.out EXPECTED talvor2-excel.out)
mutaro_reader(talvor2.data LOG six-rows.tlf OUTPUT t.out EXPECTED talvor2-data.out
              ARGS convert six-rows.tlf -o t.out --field Receiver --field "<< DATA >>" --field "GPS Time (HH:MM:SS)"
                   --field "GPS Heading" --field "Step Size (KHz)" --receivers 1,2,3,4 --data freq,channel,rssi ${rows})

# The fixtures and the committed samples are recognised by their leading bytes.
set(mutaro_samples ${CMAKE_CURRENT_LIST_DIR}/../../samples)
mutaro_reader(identify.dravik LOG four-records.dlf ARGS identify four-records.dlf EXPECTED identify-dravik.txt)
mutaro_reader(identify.sarnel LOG five-records.slf ARGS identify five-records.slf EXPECTED identify-sarnel.txt)
mutaro_reader(identify.talvor2 LOG six-rows.tlf ARGS identify six-rows.tlf EXPECTED identify-talvor2.txt)
mutaro_reader(identify.sample-dravik LOG ${mutaro_samples}/drive.dlf ARGS identify drive.dlf EXPECTED identify-sample-dravik.txt)
mutaro_reader(identify.sample-sarnel LOG ${mutaro_samples}/drive.slf ARGS identify drive.slf EXPECTED identify-sample-sarnel.txt)
mutaro_reader(identify.sample-talvor2 LOG ${mutaro_samples}/drive-fw127.tlf ARGS identify drive-fw127.tlf
              EXPECTED identify-sample-talvor2.txt)
