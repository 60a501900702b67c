# Thin wrapper over CMake + Ninja; the README's quick start uses these targets.
JOBS ?= $(shell nproc)
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
FUZZ_SECONDS ?= 30

.PHONY: all deps build test test-normal test-sanitize fuzz-smoke clean

all: build

deps:
	bash .ci/install-deps

build:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

# The whole suite twice: a normal build, and a clang AddressSanitizer + UndefinedBehaviorSanitizer
# build that also carries the fuzz targets, each run briefly.
test: test-normal test-sanitize

test-normal: build
	cd $(BUILD) && ctest -j $(JOBS) --output-on-failure

test-sanitize:
	CC=clang CXX=clang++ cmake -S . -B $(SANITIZE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	  -DMUTARO_SANITIZE=ON -DMUTARO_FUZZ=ON -DMUTARO_BENCH=OFF -DMUTARO_GUI=OFF
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	cd $(SANITIZE_BUILD) && ctest -j $(JOBS) --output-on-failure
	$(MAKE) fuzz-smoke

# Every fuzz target for a short while from its seed corpus; a finding fails the run.
fuzz-smoke:
	@set -e; for target in $(SANITIZE_BUILD)/tests/fuzz_*; do \
	  [ -x "$$target" ] || continue; \
	  name=$$(basename $$target); corpus=$$(mktemp -d); \
	  if [ -d tests/fuzz/corpus/$${name#fuzz_} ]; then cp -r tests/fuzz/corpus/$${name#fuzz_}/. $$corpus/; fi; \
	  echo "fuzzing $$name for $(FUZZ_SECONDS) s"; \
	  $$target -max_total_time=$(FUZZ_SECONDS) -timeout=10 -rss_limit_mb=2048 -print_final_stats=0 \
	    -artifact_prefix=$(SANITIZE_BUILD)/ $$corpus > $(SANITIZE_BUILD)/$$name.log 2>&1 \
	    || { tail -50 $(SANITIZE_BUILD)/$$name.log; exit 1; }; \
	  rm -rf $$corpus; \
	done

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD)

# The picture of the window in docs/, drawn on Qt's offscreen platform (no display needed).
.PHONY: screenshot
screenshot: build
	QT_QPA_PLATFORM=offscreen $(BUILD)/app/mutaro-gui samples/drive.tlf --screenshot docs/window.png
