# Convenience entry points; CMake does the real work.
BUILD_DIR   := build
GALLERY     := $(BUILD_DIR)/examples/gallery/dialog-gallery
THEMEGEN_DIR := build-themegen
FORMAT_DIRS := uibase tests examples bench fuzz scripts

.PHONY: all deps build build-qt6 docs test test-qt6 test-sanitize fuzz bench demo screenshots screenshots-2x \
	compare-qt6-screenshots deb clean format theme-images mutants

all: build

deps:
	scripts/install-deps.sh

build: deps
	@test -f $(BUILD_DIR)/build.ninja || \
		cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD_DIR)

# HTML API reference with the README as its main page: $(BUILD_DIR)/docs/html/index.html.
docs: deps
	@test -f $(BUILD_DIR)/build.ninja || \
		cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD_DIR) --target docs

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2

# The whole suite against Qt 6 (its own build dir; the Qt 6 packages are installed only here).
QT6_DIR := build-qt6
QT6_PACKAGES := qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins qt6-translations-l10n qt6-wayland
build-qt6:
	scripts/install-deps.sh $(QT6_PACKAGES)
	@test -f $(QT6_DIR)/build.ninja || \
		cmake -S . -B $(QT6_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDIALOG_QT_MAJOR=6
	cmake --build $(QT6_DIR)

test-qt6: build-qt6
	cd $(QT6_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2

# The whole suite built with AddressSanitizer (LeakSanitizer on) and UndefinedBehaviorSanitizer.
SANITIZE_DIR := build-sanitize
test-sanitize: deps
	@test -f $(SANITIZE_DIR)/build.ninja || \
		cmake -S . -B $(SANITIZE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
			-DDIALOG_SANITIZE=ON -DDIALOG_BUILD_GALLERY=OFF
	cmake --build $(SANITIZE_DIR)
	cd $(SANITIZE_DIR) && QT_QPA_PLATFORM=offscreen \
		ASAN_OPTIONS=detect_leaks=1:fast_unwind_on_malloc=0 \
		LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp:print_suppressions=0 \
		UBSAN_OPTIONS=print_stacktrace=1 \
		ctest --output-on-failure -j2 -E consumer_install

# Each libFuzzer target runs for FUZZ_SECONDS from its seed corpus in fuzz/corpus/; new
# inputs go to build-fuzz/corpus, crashes to build-fuzz/artifacts (each one found becomes a
# file of fuzz/corpus/, which the normal test suite replays).
FUZZ_DIR := build-fuzz
FUZZ_SECONDS ?= 60
# A fixed seed makes a run repeatable: CI explores the same inputs a developer saw pass.
FUZZ_SEED ?= 1
FUZZ_TARGETS := manifest password theme
fuzz: deps
	scripts/install-deps.sh clang libclang-rt-14-dev
	@test -f $(FUZZ_DIR)/build.ninja || \
		CC=clang CXX=clang++ cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
			-DDIALOG_FUZZ=ON -DDIALOG_BUILD_TESTS=OFF -DDIALOG_BUILD_GALLERY=OFF
	cmake --build $(FUZZ_DIR)
	@for t in $(FUZZ_TARGETS); do \
		mkdir -p $(FUZZ_DIR)/corpus/$$t $(FUZZ_DIR)/artifacts/$$t && \
		echo "fuzz_$$t: $(FUZZ_SECONDS) s" && \
		QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=fast_unwind_on_malloc=0 \
		LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp:print_suppressions=0 \
		$(FUZZ_DIR)/fuzz/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -seed=$(FUZZ_SEED) -rss_limit_mb=4096 \
			-artifact_prefix=$(FUZZ_DIR)/artifacts/$$t/ -print_final_stats=1 \
			$(FUZZ_DIR)/corpus/$$t fuzz/corpus/$$t 2>&1 | grep -E '^(#|stat::|==|SUMMARY|INFO: Seed)' | tail -8 \
			|| exit 1; \
		test -z "$$(ls -A $(FUZZ_DIR)/artifacts/$$t)" || { echo "fuzz_$$t found a crash"; exit 1; }; \
	done

# Plants 30 single-operator faults (fixed seed) in the dialog sources, one at a time, and
# reports which ones the test suite catches. Slow (a rebuild and a test run each); not in CI.
mutants: build
	python3 scripts/mutants $(BUILD_DIR) $(CURDIR)

# Benchmarks against Qt's own dialogs in a Release build, printed as one table of medians.
BENCH_DIR := build-bench
BENCH_REPETITIONS ?= 5
bench: deps
	@test -f $(BENCH_DIR)/build.ninja || \
		cmake -S . -B $(BENCH_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release \
			-DDIALOG_BUILD_BENCH=ON -DDIALOG_BUILD_TESTS=OFF -DDIALOG_BUILD_GALLERY=OFF
	cmake --build $(BENCH_DIR)
	QT_QPA_PLATFORM=offscreen $(BENCH_DIR)/bench/dialog-bench \
		--benchmark_repetitions=$(BENCH_REPETITIONS) --benchmark_report_aggregates_only=true \
		--benchmark_min_time=0.1 --benchmark_format=console \
		--benchmark_out_format=json --benchmark_out=$(BENCH_DIR)/bench.json \
		>/dev/null 2>$(BENCH_DIR)/bench.log || { cat $(BENCH_DIR)/bench.log; exit 1; }
	python3 bench/report.py $(BENCH_DIR)/bench.json
	python3 bench/instructions.py $(BENCH_DIR)/bench/dialog-bench

demo: build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
		$(GALLERY); \
	else \
		QT_QPA_PLATFORM=offscreen $(GALLERY) --screenshots $(BUILD_DIR)/screenshots; \
	fi

# Refreshes the pictures the README shows.
screenshots: build
	rm -rf docs/screenshots
	QT_QPA_PLATFORM=offscreen $(GALLERY) --screenshots docs/screenshots

# Every dialog at device pixel ratio 2, as a high-DPI screen shows it.
screenshots-2x: build
	rm -rf $(BUILD_DIR)/screenshots-2x
	QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=2 $(GALLERY) --screenshots $(BUILD_DIR)/screenshots-2x

# The gallery rendered by the Qt 5 and the Qt 6 build, compared picture by picture.
compare-qt6-screenshots: build build-qt6
	rm -rf $(BUILD_DIR)/screenshots-qt5 $(QT6_DIR)/screenshots-qt6
	QT_QPA_PLATFORM=offscreen $(GALLERY) --screenshots $(BUILD_DIR)/screenshots-qt5 >/dev/null
	QT_QPA_PLATFORM=offscreen $(QT6_DIR)/examples/gallery/dialog-gallery \
		--screenshots $(QT6_DIR)/screenshots-qt6 >/dev/null
	python3 scripts/compare-screenshots.py $(BUILD_DIR)/screenshots-qt5 $(QT6_DIR)/screenshots-qt6

deb: build
	cd $(BUILD_DIR) && cpack -G DEB

clean:
	rm -rf $(BUILD_DIR) $(QT6_DIR) $(SANITIZE_DIR) $(FUZZ_DIR) $(BENCH_DIR)

format:
	@if command -v clang-format >/dev/null 2>&1; then \
		find $(wildcard $(FORMAT_DIRS)) -type f \( -name '*.h' -o -name '*.cpp' \) \
			-exec clang-format -i {} +; \
	else \
		echo "format: clang-format not found, skipped"; \
	fi

# Regenerates the default (light) and the gallery's dark theme images.
theme-images: deps
	@test -f $(THEMEGEN_DIR)/build.ninja || \
		cmake -S scripts/themegen -B $(THEMEGEN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release
	cmake --build $(THEMEGEN_DIR)
	$(THEMEGEN_DIR)/themegen uibase/dialog/contracts/theme/default light
	$(THEMEGEN_DIR)/themegen examples/gallery/themes/dark dark
