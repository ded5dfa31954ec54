# The two set-up commands. Each installs what is missing, configures and builds.
#   make run   - the simulated dedicated server on the example world and config
#   make test  - every test, in the Release build and in the sanitizer build
JOBS ?= $(shell nproc)

.PHONY: run test deps build bench

deps:
	@scripts/install-deps.sh

build: deps
	@cmake --preset release >/dev/null
	@cmake --build --preset release -j $(JOBS)

# Quiet about the build: nothing when it is up to date, one progress line when it is not.
run: deps
	@cmake --preset release >/dev/null
	@scripts/build-quietly.sh build $(JOBS)
	@scripts/run-server.sh

test: deps
	cmake --preset release
	cmake --build --preset release -j $(JOBS)
	ctest --preset release -j $(JOBS)
	cmake --preset debug-asan
	cmake --build --preset debug-asan -j $(JOBS)
	ctest --preset debug-asan -j $(JOBS)

bench: build
	build/bin/barterbox-bench
