# TORSA: `make run` and `make test` do all the set-up on a fresh Debian machine.

# Every build is a preset of CMakePresets.json (plain, asan, fuzz, windows), so that
# an IDE or plain `cmake --preset NAME` makes the same builds in the same folders.
BUILD_DIR := build
ASAN_DIR  := build-asan
JOBS      ?= $(shell nproc)
SHOTS_DIR := $(BUILD_DIR)/screenshots

.PHONY: run test deps build build-asan test-release test-asan screenshots bench clean lint-deps fuzz lint

deps:
	@scripts/install-deps.sh

build: deps
	cmake --preset plain
	cmake --build --preset plain -j$(JOBS)

# The program runs from the build folder, where "&Aide" finds AIDE_TORSA.DOC.
run: build
	cd $(BUILD_DIR) && ./torsa

build-asan: deps
	cmake --preset asan
	cmake --build --preset asan -j$(JOBS)

test-release: build
	ctest --preset plain

# The sanitizers' options are the test preset's.
test-asan: build-asan
	ctest --preset asan

# The whole suite, headless, in a plain build and under AddressSanitizer and
# UndefinedBehaviorSanitizer.
test: test-release test-asan

# The README's pictures: the program under Xvfb in prepared states.
screenshots: build
	xvfb-run -a -s "-screen 0 1280x1024x24" $(BUILD_DIR)/tools/screenshots/torsa-screenshots $(SHOTS_DIR)

# The README's picture of the board: torsa-cli program --verify on 32 simulated
# lines in an 80x24 xterm under Xvfb (xterm installed for it only).
.PHONY: board-screenshot
board-screenshot: build
	@scripts/install-deps.sh xterm imagemagick fonts-dejavu-core
	scripts/board-screenshot.sh $(BUILD_DIR) $(SHOTS_DIR)/board-32-units.png

bench: build
	@for b in $(BUILD_DIR)/bench/bench_*; do echo "== $$b"; QT_QPA_PLATFORM=offscreen $$b || exit 1; done

# The Debian package of the plain build: $(BUILD_DIR)/torsa_<version>-<revision>_<arch>.deb.
# package-test (root) checks it with lintian, installs it here, checks the
# files, starts the program under Xvfb, runs torsa-cli against zel-sim, and
# purges it again; its own tools are installed for it only.
.PHONY: package package-test-deps package-test demo
package: build
	cpack --preset plain

package-test-deps: deps
	@scripts/install-deps.sh lintian desktop-file-utils x11-utils shared-mime-info

package-test: package-test-deps package
	packaging/package-test.sh "$$(ls -t $(BUILD_DIR)/torsa_*.deb | head -1)"

# The program against zel-sim holding samples/demo.zel, reached as COM1; the line
# paced at DEMO_BAUD (0: as fast as it goes, 9600: a real unit's pace).
DEMO_BAUD ?= 115200
demo: build
	scripts/demo.sh $(BUILD_DIR) $(DEMO_BAUD)

# Fuzzing and static analysis need clang, clang-tidy and cppcheck: installed
# only for these two targets.
FUZZ_DIR     := build-fuzz
FUZZ_SECONDS ?= 60

lint-deps: deps
	@scripts/install-lint-deps.sh

# Each libFuzzer target of fuzz/ for FUZZ_SECONDS, under AddressSanitizer and
# UndefinedBehaviorSanitizer, from its seed corpus in fuzz/corpus/.
fuzz: lint-deps
	cmake --preset fuzz
	cmake --build --preset fuzz -j$(JOBS)
	fuzz/run.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

# clang-tidy (.clang-tidy) and cppcheck over src/, tools/ and tests/, with the
# compile commands of the plain build; fails on any finding.
lint: lint-deps build
	scripts/lint.sh $(BUILD_DIR)

# Each planted fault of tests/faults.txt in a copy of the tree (build-mutants/):
# rebuilt, the whole suite run; prints a line per fault and "K caught, S missed of T".
.PHONY: mutants
mutants: deps
	scripts/mutants.sh

# Windows: torsa.exe and torsa-cli.exe cross-built with MinGW-w64 against a Qt
# built once into ~/.cache/torsa (scripts/build-windows-qt.sh), with their DLLs,
# the portable zip and the setup program in $(WIN_DIR)/ (the windows preset);
# then tested under Wine 8.
WIN_DIR := build-windows
.PHONY: windows-deps windows test-windows

windows-deps: deps
	@scripts/install-windows-deps.sh

windows: windows-deps
	JOBS=$(JOBS) scripts/build-windows.sh

# The suites, the link through Wine's COM ports to zel-sim (of the Linux build),
# and the setup program, under Wine in fresh prefixes, headless: the CTest
# tests labelled wine (tests/windows/CMakeLists.txt, scripts/wine/).
test-windows: windows build
	cd $(WIN_DIR)/tests && ctest -L wine --output-on-failure -j2

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(WIN_DIR)
