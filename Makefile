# Set-up, build and test in one step each; see README.md.
BUILD_DIR ?= build
SANITIZE_DIR ?= build-sanitize
TSAN_DIR ?= build-tsan
TSAN_TESTS = model_test import_test output_test stream_writer_test
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=
WINDOWS_DIR ?= build-windows
WINDOWS_TEST_DIR ?= build-windows-test
# OFF: the Windows tests without the window, so without building Qt for Windows.
WINDOWS_UI ?= ON
XVFB = xvfb-run -a -s '-screen 0 1280x800x24'

.PHONY: all deps configure build run test bench fuzz test-sanitize test-tsan screenshot package install format format-check translations clean \
	windows-deps test-windows windows windows-screenshot

all: build

deps:
	./scripts/install-deps.sh

$(BUILD_DIR)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)

configure: deps $(BUILD_DIR)/CMakeCache.txt

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

# The program and its module only; the tests and benchmarks are built by
# make test and make bench.
run: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target brenmoor
	./$(BUILD_DIR)/brenmoor

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

bench: build
	./scripts/run-benchmarks.sh $(BUILD_DIR)

test-sanitize: deps
	cmake -S . -B $(SANITIZE_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRENMOOR_SANITIZE=ON -DBRENMOOR_BUILD_BENCH=OFF
	cmake --build $(SANITIZE_DIR) -j $(JOBS)
	cd $(SANITIZE_DIR) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

# ThreadSanitizer over the tests that run threads (import, compute, write),
# without the window. Of the import's tests only the table's, which read on
# several threads; the number conversions' millions of cases run alone.
test-tsan: deps
	cmake -S . -B $(TSAN_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRENMOOR_TSAN=ON -DBRENMOOR_BUILD_UI=OFF -DBRENMOOR_BUILD_BENCH=OFF
	cmake --build $(TSAN_DIR) -j $(JOBS) --target $(TSAN_TESTS)
	cd $(TSAN_DIR)/tests && export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 && \
		./model_test --gtest_brief=1 && ./output_test --gtest_brief=1 && \
		./stream_writer_test --gtest_brief=1 && ./import_test --gtest_brief=1 --gtest_filter='ImportSectionTable.*'

fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRENMOOR_FUZZ=ON -DBRENMOOR_BUILD_UI=OFF
	cmake --build $(FUZZ_DIR) -j $(JOBS)
	./fuzz/run.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

screenshot: build
	QT_QPA_PLATFORM=offscreen ./$(BUILD_DIR)/tools/screenshot examples/sample.csv docs/screenshot.png
	QT_QPA_PLATFORM=offscreen ./$(BUILD_DIR)/tools/screenshot examples/sample.csv docs/screenshot-generated.png --generate
	QT_QPA_PLATFORM=offscreen ./$(BUILD_DIR)/tools/screenshot examples/sample.csv docs/screenshot-english.png --generate --english
	QT_QPA_PLATFORM=offscreen ./$(BUILD_DIR)/tools/screenshot examples/sample.csv docs/error-box-zh.png --error-box
	QT_QPA_PLATFORM=offscreen ./$(BUILD_DIR)/tools/screenshot examples/sample.csv docs/error-box-en.png --error-box --english
	./$(BUILD_DIR)/brenmoor report examples/sample.csv -o $(BUILD_DIR)/sample-report.pdf
	pdftoppm -png -r 60 -f 1 -l 2 $(BUILD_DIR)/sample-report.pdf docs/report-page
	./$(BUILD_DIR)/brenmoor report examples/sample.csv --lang zh -o $(BUILD_DIR)/sample-report-zh.pdf
	pdftoppm -png -r 60 -f 1 -l 1 $(BUILD_DIR)/sample-report-zh.pdf docs/report-zh-page
	QT_QPA_PLATFORM=offscreen ./$(BUILD_DIR)/tools/screenshot examples/sample.csv docs/capacity-dialog.png --capacity
	QT_QPA_PLATFORM=offscreen ./$(BUILD_DIR)/tools/screenshot examples/sample.csv docs/capacity-dialog-en.png --capacity --english
	./$(BUILD_DIR)/brenmoor capacity examples/sample.csv -o $(BUILD_DIR)/sample-capacity.pdf
	pdftoppm -png -r 60 -f 4 -l 4 -singlefile $(BUILD_DIR)/sample-capacity.pdf docs/capacity-page
	QT_QPA_PLATFORM=offscreen ./$(BUILD_DIR)/tools/screenshot examples/sample-stirrups.csv docs/analysis-dialog.png --analysis
	./$(BUILD_DIR)/brenmoor capacity examples/sample-stirrups.csv --strength characteristic -o $(BUILD_DIR)/stirrups-capacity.pdf
	pdftoppm -png -r 110 -f 3 -l 3 -singlefile $(BUILD_DIR)/stirrups-capacity.pdf docs/analysis-page

package: build
	cd $(BUILD_DIR) && cpack -G DEB

install: build
	cmake --install $(BUILD_DIR)

windows-deps:
	./scripts/install-deps.sh windows

# The core, the command line, the window and their tests cross-built for
# Windows and run under Wine (in Xvfb, which Wine's console needs); the Linux
# build makes the reference files of the same-bytes test. A test that fails
# is run once more: now and then Wine fails to start a program at all (it
# ends at once, printing nothing), which says nothing of the program; a fault
# of the program fails both runs.
test-windows: build windows-deps
	BRENMOOR_WINDOWS_UI=$(WINDOWS_UI) JOBS=$(JOBS) ./scripts/configure-windows.sh $(WINDOWS_TEST_DIR) \
		-DBRENMOOR_LINUX_PROGRAM=$(CURDIR)/$(BUILD_DIR)/brenmoor
	cmake --build $(WINDOWS_TEST_DIR) -j $(JOBS)
	[ "$(WINDOWS_UI)" = OFF ] || ./scripts/package-windows.sh $(WINDOWS_TEST_DIR) --no-run
	$(XVFB) sh -c 'cd $(WINDOWS_TEST_DIR) && ./wine-run.sh --start && \
		ctest --output-on-failure --repeat until-pass:2 -j $(JOBS); status=$$?; ./wine-run.sh --stop; \
		exit $$status'

# build-windows/brenmoor-<version>-win64.zip: the programs, Qt's DLLs and
# plugins, the MinGW runtime, the sample table, a README and the licences;
# beside it the installer, brenmoor-<version>-win64.msi, of the same files.
windows: windows-deps
	JOBS=$(JOBS) ./scripts/configure-windows.sh $(WINDOWS_DIR)
	cmake --build $(WINDOWS_DIR) -j $(JOBS) --target brenmoor brenmoor-cli
	./scripts/package-windows.sh $(WINDOWS_DIR)

# docs/windows-screenshot.png: the window under Wine, Windows platform plugin.
windows-screenshot: windows-deps
	JOBS=$(JOBS) ./scripts/configure-windows.sh $(WINDOWS_TEST_DIR) \
		-DBRENMOOR_LINUX_PROGRAM=$(CURDIR)/$(BUILD_DIR)/brenmoor
	cmake --build $(WINDOWS_TEST_DIR) -j $(JOBS) --target screenshot
	./scripts/windows-screenshot.sh $(WINDOWS_TEST_DIR)

# Brings translations/*.ts up to date with the texts in the sources; translate
# the new entries (Qt Linguist, or by hand), then build.
LUPDATE = /usr/lib/qt6/bin/lupdate -I . -locations none -no-obsolete
translations:
	$(LUPDATE) ui/tform1.ui ui/tform1.h ui/tform1.cpp ui/dialogs.cpp ui/capacity_dialog.cpp ui/window_progress.cpp \
		-source-language zh_CN -target-language en -ts translations/brenmoor_en.ts
	$(LUPDATE) report/section_report.cc report/capacity_report.cc -source-language en -target-language zh_CN \
		-ts translations/brenmoor_zh_CN.ts

format:
	git ls-files '*.cc' '*.cpp' '*.h' | xargs clang-format -i

# Fails on any source file that make format would change.
format-check: deps
	git ls-files '*.cc' '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR) $(TSAN_DIR) $(FUZZ_DIR) $(WINDOWS_DIR) $(WINDOWS_TEST_DIR)
