# Two commands do everything: `make run` builds and starts the game,
# `make test` builds and runs every test. Both install missing packages first.
BUILD ?= build
SAN_BUILD ?= build-sanitize
JOBS ?= $(shell nproc)
PREFIX ?= /usr/local

.PHONY: all deps build run test sanitize-test art bench screenshots clean install package package-check

all: build

deps:
	@tools/install-deps.sh

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

run: build
	tools/with-display.sh $(BUILD)/tarnwick

test: build
	cd $(BUILD) && ../tools/with-display.sh ctest --output-on-failure -j $(JOBS)

# The same tests built with AddressSanitizer and UndefinedBehaviorSanitizer.
# The software OpenGL driver is preloaded so that it is never unloaded before
# the leak check: its allocations would otherwise show up as leaks of an
# unknown module.
sanitize-test: deps
	cmake -S . -B $(SAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DTARNWICK_SANITIZE=ON
	cmake --build $(SAN_BUILD) -j $(JOBS)
	cd $(SAN_BUILD) && LD_PRELOAD=$$(ls /usr/lib/*/dri/swrast_dri.so 2>/dev/null | head -n1) \
	  ASAN_OPTIONS=detect_leaks=1:verify_asan_link_order=0 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ../tools/with-display.sh ctest --output-on-failure -j $(JOBS)

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

bench: build
	tools/with-display.sh $(BUILD)/bench/bench_frame

clean:
	rm -rf $(BUILD) $(SAN_BUILD)
