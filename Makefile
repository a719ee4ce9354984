# Two commands do everything: `make run` builds and starts the game,
# `make test` builds and runs every test. Both install missing packages first.
# Each step says what it does in one line; the package manager's and the
# compiler's full output go to logs under the build folder, printed when a
# step fails.
BUILD ?= build
# What `make run` builds: the game alone, without the tests.
PLAY_BUILD ?= build-play
SAN_BUILD ?= build-sanitize
JOBS ?= $(shell nproc)
PREFIX ?= /usr/local
# Rebuilds reuse earlier compilations where ccache is installed (optional).
CCACHE_FLAG := $(if $(shell command -v ccache 2>/dev/null),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

FUZZ_BUILD ?= build-fuzz
FUZZ_TIME ?= 60
FUZZ_TIMEOUT ?= 30
SOAK_FRAMES ?= 1000000
SOAK_SEED ?= 1
MONKEY_TIME ?= 300

# Packages that are missing and cannot be installed from here (no root, no
# sudo without a password): one line gives the command to run as root, and
# nothing is done.
DEPS_GOALS := $(filter-out clean pot,$(or $(MAKECMDGOALS),all))
DEPS_MODE := $(if $(filter-out run play-build play-deps,$(DEPS_GOALS)),test,play)
ifneq ($(DEPS_GOALS),)
ROOT_COMMAND := $(shell tools/install-deps.sh $(DEPS_MODE) --root-command)
ifneq ($(ROOT_COMMAND),)
$(error $(ROOT_COMMAND))
endif
endif

.PHONY: all pot deps play-deps play-build build run test sanitize-test sanitize-build fuzz soak art sounds bench screenshots clean install package package-check

all: build

# The translators' template po/tarnwick.pot, from the sources and the shipped world.
# An author's world: make pot WORLD=DIR (writes DIR/po/tarnwick.pot).
pot:
	python3 tools/make-pot.py $(if $(WORLD),--world $(WORLD))

deps:
	@tools/install-deps.sh test $(BUILD)/install-deps.log

play-deps:
	@tools/install-deps.sh play $(PLAY_BUILD)/install-deps.log

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CCACHE_FLAG)

build: deps
	@tools/logged.sh "Building the game and its tests in $(BUILD)/" $(BUILD)/build.log sh -c \
	  '{ [ -f $(BUILD)/CMakeCache.txt ] || cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CCACHE_FLAG); } && \
	   cmake --build $(BUILD) -j $(JOBS)'

play-build: play-deps
	@tools/logged.sh "Building the game in $(PLAY_BUILD)/" $(PLAY_BUILD)/build.log sh -c \
	  '{ [ -f $(PLAY_BUILD)/CMakeCache.txt ] || cmake -S . -B $(PLAY_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARNWICK_TESTS=OFF $(CCACHE_FLAG); } && \
	   cmake --build $(PLAY_BUILD) -j $(JOBS) --target tarnwick'

# The game needs a display: without one, say so before building anything.
run:
	@if [ -z "$${DISPLAY:-}" ]; then \
	  echo "make run: no display (DISPLAY is not set): run it from a graphical desktop" >&2; exit 1; fi
	@$(MAKE) --no-print-directory play-build
	@echo "Starting $(PLAY_BUILD)/tarnwick"
	@$(PLAY_BUILD)/tarnwick

test: build
	@echo "Running the tests (ctest in $(BUILD)/)"
	@cd $(BUILD) && ../tools/with-display.sh ctest --output-on-failure -j $(JOBS)

# The same tests built with AddressSanitizer and UndefinedBehaviorSanitizer.
# The software OpenGL driver is preloaded so that it is never unloaded before
# the leak check: its allocations would otherwise show up as leaks of an
# unknown module.
SAN_ENV = LD_PRELOAD=$$(ls /usr/lib/*/dri/swrast_dri.so 2>/dev/null | head -n1) \
	  ASAN_OPTIONS=detect_leaks=1:verify_asan_link_order=0 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

sanitize-build: deps
	cmake -S . -B $(SAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DTARNWICK_SANITIZE=ON $(CCACHE_FLAG)
	cmake --build $(SAN_BUILD) -j $(JOBS)

sanitize-test: sanitize-build
	cd $(SAN_BUILD) && $(SAN_ENV) ../tools/with-display.sh ctest --output-on-failure -j $(JOBS)

# The libFuzzer harnesses under fuzz/, built with clang, ASan and UBSan, each
# run for FUZZ_TIME seconds (`make fuzz FUZZ_TIME=1800`). Whatever they find is
# left under $(FUZZ_BUILD)/artefacts/.
fuzz: deps
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DTARNWICK_FUZZ=ON -DTARNWICK_TESTS=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzzers
	FUZZ_TIMEOUT=$(FUZZ_TIMEOUT) tools/with-display.sh fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_TIME)

# The monkey soak: SOAK_FRAMES random-key frames on the shipped world in the
# sanitizer build, then MONKEY_TIME seconds of random real keys on the real
# binary under Xvfb, ended by Escape.
soak: build sanitize-build
	$(SAN_ENV) tools/with-display.sh $(SAN_BUILD)/tests/soak --frames $(SOAK_FRAMES) --seed $(SOAK_SEED)
	GAME=$(CURDIR)/$(BUILD)/tarnwick XPLAY=$(CURDIR)/$(BUILD)/tests/xplay tests/soak/monkey.sh $(MONKEY_TIME) $(SOAK_SEED)

# The game under PREFIX (default /usr/local; DESTDIR is honoured): the
# executable in games/, its data in share/games/tarnwick, the menu entry,
# icons, metadata and manual page where desktops look for them.
install: build
	DESTDIR=$(DESTDIR) cmake --install $(BUILD) --prefix $(PREFIX)

# The Debian package, $(BUILD)/tarnwick_<version>-<revision>_<arch>.deb.
package: build
	rm -f $(BUILD)/tarnwick_*.deb
	cd $(BUILD) && cpack -G DEB

# The package as Debian's checker sees it: any error or warning fails, but
# for the one about closing the bug that asks for a new package in Debian.
package-check: package
	lintian --fail-on error,warning --suppress-tags initial-upload-closes-no-bugs $(BUILD)/tarnwick_*.deb

screenshots: build
	tools/screenshots.sh $(BUILD)

art: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) --target makeart
	$(BUILD)/tools/makeart .

# Regenerate the sounds and music under res/snd/ from tools/sound/.
sounds: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) --target makesound
	$(BUILD)/tools/makesound .

# BENCH_SPAN: the seconds each share of a core is measured over.
BENCH_SPAN ?= 8
bench: build
	tools/with-display.sh $(BUILD)/bench/bench_frame
	bench/cpu_share.sh $(BUILD) $(BENCH_SPAN)

clean:
	rm -rf $(BUILD) $(PLAY_BUILD) $(SAN_BUILD) $(FUZZ_BUILD)
