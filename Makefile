# The front of the build. Every target but clean first installs what is missing
# (scripts/install-deps.sh).
#   make               - the Release build (build/)
#   make run           - the simulated dedicated server on the example world, config and rules
#                        (builds only the plugin, the stand-in host and its Permissions plugin,
#                        the server and the checker)
#   make check         - the quick loop: the Release build and its tests
#   make test          - what CI runs: the format check first (it takes a second), then the
#                        Release, sanitizer, Windows (Wine) and fuzz builds and their tests
#   make format        - rewrites our C++ files as .clang-format says; make format-check lists
#                        those that differ and fails
#   make package       - the release zip of Barterbox.dll for the stand-in host (with its DLL),
#                        cross-built for Windows, copied into build/
#   make bench         - the benchmarks of the Release build
#   make clean         - removes build/ and every build in it
JOBS ?= $(shell nproc)

.DEFAULT_GOAL := build
.PHONY: build run check test deps format format-check clean bench package

deps:
	@scripts/install-deps.sh

build: deps
	@cmake --preset release >/dev/null
	@cmake --build --preset release -j $(JOBS)

# Quiet about the build: nothing when it is up to date, one progress line when it is not. Only
# what the run needs is built (the plugin module, the stand-in host and its Permissions plugin, the
# server and the checker);
# the tests, fuzz targets and benchmarks wait for `make`, `make check` and `make test`.
RUN_TARGETS := Barterbox barterbox_hostsim barterbox_permissions barterbox-server barterbox-check

run: deps
	@cmake --preset release >/dev/null
	@scripts/build-quietly.sh build $(JOBS) $(RUN_TARGETS)
	@scripts/run-server.sh

check: build
	ctest --preset release -j $(JOBS)

test: deps
	@scripts/format.sh --check
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

format: deps
	@scripts/format.sh

format-check: deps
	@scripts/format.sh --check

clean:
	rm -rf build

# Barterbox.dll and its release zip, cross-built for Windows and copied into build/: the stand-in
# host's build, which says so in its README.txt and PluginInfo.json once unpacked. The zip's
# name carries the version that CMakeLists.txt's project() sets; the Windows build's cache says
# where it was written.
package: deps
	@cmake --preset windows >/dev/null
	@cmake --build --preset windows -j $(JOBS) --target barterbox_package
	@zip=$$(cmake -N -L build/windows | sed -n 's/^BARTERBOX_PACKAGE_FILE:FILEPATH=//p') && \
	  cmake -E copy "$$zip" build/ && echo "build/$$(basename "$$zip")"

bench: build
	build/bin/barterbox-bench
