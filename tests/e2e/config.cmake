# Configuration files through the real mutaro: --save-config writes what the window saves, and
# --config restores a file as the window's "Open Configuration" does.
if(NOT TARGET mutaro)
  return()
endif()
set(config_data ${CMAKE_CURRENT_LIST_DIR}/../data/config)

mutaro_cli(config.save EXIT 0
           ARGS convert three-runs.tlf --format "Microsoft Excel" --receivers 1,3 --save-config saved.cfg -q
           COMPARE saved.cfg ../../config/saved.cfg three-runs.out excel.out)
# The preset is not applied: the restored lists, delimiter and "Header" give the same bytes.
mutaro_cli(config.restore-fields EXIT 0 ARGS convert three-runs.tlf --config ${config_data}/excel-fields.cfg -q
           COMPARE three-runs.out excel.out)
mutaro_cli(config.delimiter-above-four EXIT 0 ARGS convert three-runs.tlf --config ${config_data}/other.cfg -q
           COMPARE three-runs.out ../../config/other.out)
mutaro_cli(config.delimiter-negative EXIT 0 ARGS convert three-runs.tlf --config ${config_data}/at-sign.cfg -q
           COMPARE three-runs.out ../../config/at-sign.out)
mutaro_cli(config.missing EXIT 1 ARGS convert three-runs.tlf --config missing.cfg
           STDERR "Error: Configuration File Cannot Be Read!" ABSENT three-runs.out)
mutaro_cli(config.save-unwritable EXIT 1 ARGS convert three-runs.tlf --save-config no/such/folder/a.cfg
           STDERR "Error: Configuration File Cannot Be Written!" ABSENT three-runs.out)
mutaro_cli(config.usage EXIT 2 ARGS convert three-runs.tlf --config
           STDERR "mutaro convert: option '--config' needs PATH" "Try 'mutaro convert --help'.")
