# The two set-up commands. Each installs what is missing, configures and builds.
#   make run   - the simulated dedicated server on the example world and config
#   make test  - every test, in the Release build, the sanitizer build, the Windows build (Wine)
#                and the fuzz build
JOBS ?= $(shell nproc)

.PHONY: run test deps build bench package

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
	cmake --preset windows
	cmake --build --preset windows -j $(JOBS)
	ctest --preset windows -j $(JOBS)
	cmake --preset fuzz
	cmake --build --preset fuzz -j $(JOBS)
	ctest --preset fuzz -j $(JOBS)

# Barterbox.dll and its release zip, cross-built for Windows and copied into build/. The zip's
# name carries the version that CMakeLists.txt's project() sets; the Windows build's cache says
# where it was written.
package: deps
	@cmake --preset windows >/dev/null
	@cmake --build --preset windows -j $(JOBS) --target barterbox_package
	@zip=$$(cmake -N -L build/windows | sed -n 's/^BARTERBOX_PACKAGE_FILE:FILEPATH=//p') && \
	  cmake -E copy "$$zip" build/ && echo "build/$$(basename "$$zip")"

bench: build
	build/bin/barterbox-bench
