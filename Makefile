# Thin wrapper: `make run` sets up, builds and starts the game; `make test` sets up, builds and
# runs every test.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: setup build run test sanitize clean

setup:
	bash scripts/setup.sh

build: setup
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

run: build
	cd $(BUILD) && if [ -x ./quillet ]; then ./quillet; else ./quillet-tool perft 6; fi

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

sanitize: setup
	cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUILLET_SANITIZE=ON
	cmake --build build-asan -j $(JOBS)
	cd build-asan && ctest --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD) build-asan
