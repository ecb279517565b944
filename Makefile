# SPDX-License-Identifier: GPL-3.0-or-later
# Thin wrapper: `make run` sets up, builds and starts the game; `make install` puts it into the
# desktop's menu (`make uninstall` takes it out); `make test` sets up, builds and runs every test;
# `make check` is the developers' quick loop (see below).
BUILD ?= build
JOBS ?= $(shell nproc)
# Where `make install` puts the game: the user's own folders, so it needs no root.
PREFIX ?= $(HOME)/.local

.PHONY: setup setup-play build game run install uninstall test check sanitize deb clean

# Everything: building, playing and the tests.
setup:
	bash scripts/setup.sh

# Only what building, packaging and playing need.
setup-play:
	bash scripts/setup.sh play

# The whole build with the tests.
build: setup
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON
	cmake --build $(BUILD) -j $(JOBS)

# The game and what is installed with it. A new build folder is configured without the tests, so
# a player needs none of their packages; one that has them keeps them.
game: setup-play
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		$(if $(wildcard $(BUILD)/CMakeCache.txt),,-DBUILD_TESTING=OFF)
	cmake --build $(BUILD) -j $(JOBS) --target quillet_installable

run: game
	cd $(BUILD) && ./quillet

# Into PREFIX (default ~/.local): the programs in bin/, the book and sounds in share/quillet/, the
# menu entry, icons, metainfo and manual pages; the list of what was installed goes with them.
install: game
	bash scripts/user-install.sh install $(BUILD) $(PREFIX)

uninstall:
	bash scripts/user-install.sh uninstall $(BUILD) $(PREFIX)

# Every test: the suite on the release build, then again under AddressSanitizer,
# UndefinedBehaviorSanitizer and LeakSanitizer, then each fuzz target for FUZZ_SECONDS.
# The sanitizer build has only the generic code paths and the two-word 128-bit type that targets
# without the fast ones get (QUILLET_PORTABLE_ONLY), so the suite runs on both.
# (End-to-end tests of the real window carry the label "slow" and run on the release build only.)
FUZZ_SECONDS ?= 30

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	$(MAKE) sanitize
	bash scripts/fuzz.sh $(FUZZ_SECONDS)

# The quick loop while developing: build, then every test that needs no X display, sanitizer or
# fuzzer (ctest labels unit, tool, qt, sound and desktop; not e2e). `ctest -L unit` and the like
# pick one kind.
check: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) -LE e2e

SANITIZER_ENV = ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0

sanitize: setup
	cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUILLET_SANITIZE=ON -DQUILLET_PORTABLE_ONLY=ON
	cmake --build build-asan -j $(JOBS)
	cd build-asan && $(SANITIZER_ENV) ctest --output-on-failure -j $(JOBS) -LE slow

# The Debian package, build-deb/quillet_VERSION_ARCH.deb: built with Debian's compiler and linker
# flags, laid out as Debian's policy for games has it (cmake/Package.cmake), without the tests.
# The same commit gives the same bytes wherever it is built: every time stamp is the last
# commit's (SOURCE_DATE_EPOCH, unless given; the changelog's date outside a git checkout), the
# compiler writes the source folder as "." (-ffile-prefix-map, which dpkg-buildflags gives on
# Debian 12 and 13 and is given here as well), and the linker's build id is computed from the
# result, which then holds no path of this machine.
DEB_BUILD = build-deb

deb: setup-play
	export DEB_BUILD_MAINT_OPTIONS=hardening=+all; \
	export SOURCE_DATE_EPOCH="$${SOURCE_DATE_EPOCH:-$$(git log -1 --format=%ct 2>/dev/null || \
		dpkg-parsechangelog -l packaging/changelog -S Timestamp)}"; \
	echo "deb: SOURCE_DATE_EPOCH=$$SOURCE_DATE_EPOCH"; \
	cmake -S . -B $(DEB_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
		-DBUILD_TESTING=OFF -DQUILLET_INSTALL_BINDIR=games -DQUILLET_INSTALL_PKGDATADIR=share/games/quillet \
		-DCMAKE_CXX_FLAGS="$$(dpkg-buildflags --get CXXFLAGS) $$(dpkg-buildflags --get CPPFLAGS) -ffile-prefix-map=$(CURDIR)=." \
		-DCMAKE_EXE_LINKER_FLAGS="$$(dpkg-buildflags --get LDFLAGS)" && \
	cmake --build $(DEB_BUILD) -j $(JOBS) --target quillet_installable && \
	cd $(DEB_BUILD) && rm -f quillet_*.deb && cpack -G DEB
	@ls $(DEB_BUILD)/quillet_*.deb

clean:
	rm -rf $(BUILD) build-asan build-fuzz $(DEB_BUILD)
