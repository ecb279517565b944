# SPDX-License-Identifier: GPL-3.0-or-later
# Thin wrapper: `make run` sets up, builds and starts the game; `make test` sets up, builds and
# runs every test; `make check` is the developers' quick loop (see below).
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: setup build run test check sanitize deb clean

setup:
	bash scripts/setup.sh

build: setup
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

run: build
	cd $(BUILD) && if [ -x ./quillet ]; then ./quillet; else ./quillet-tool perft 6; fi

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
# flags, laid out as Debian's policy for games has it (cmake/Package.cmake).
DEB_BUILD = build-deb

deb: setup
	export DEB_BUILD_MAINT_OPTIONS=hardening=+all; \
	cmake -S . -B $(DEB_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
		-DQUILLET_INSTALL_BINDIR=games -DQUILLET_INSTALL_PKGDATADIR=share/games/quillet \
		-DCMAKE_CXX_FLAGS="$$(dpkg-buildflags --get CXXFLAGS) $$(dpkg-buildflags --get CPPFLAGS)" \
		-DCMAKE_EXE_LINKER_FLAGS="$$(dpkg-buildflags --get LDFLAGS)"
	cmake --build $(DEB_BUILD) -j $(JOBS) --target quillet quillet-tool quillet_compressed_docs
	cd $(DEB_BUILD) && rm -f quillet_*.deb && cpack -G DEB
	@ls $(DEB_BUILD)/quillet_*.deb

clean:
	rm -rf $(BUILD) build-asan build-fuzz $(DEB_BUILD)
