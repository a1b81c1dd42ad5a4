# The few commands people need. Each installs what is missing first.
#   make build   both build trees; the product is build/win32/Kestrom.exe
#   make test    host unit tests (also under sanitizers), a short run of each
#                fuzz target, Win32 tests under Wine, end-to-end scenarios
#   make demo    the main job: a download run against the local quotes server
#   make dist    a release in dist/: installer, versions list (and signature)
#   make dist-check  two releases of the current commit, byte for byte the same

export JOBS ?= 2
HOST_DIR := build/host

.PHONY: build test demo deps prefix clean dist dist-check

deps:
	@tools/install_deps.sh

prefix: deps
	@tools/wine_prefix.sh

$(HOST_DIR)/CMakeCache.txt: | deps
	@cmake -S . -B $(HOST_DIR) -DCMAKE_BUILD_TYPE=Release >/dev/null

build: deps $(HOST_DIR)/CMakeCache.txt
	@cmake --build $(HOST_DIR) -j$(JOBS)
	@tools/build_windows.sh

test: build prefix
	@tools/run_tests.sh

demo: build prefix
	@tools/demo.sh build/win32/Kestrom.exe

dist: deps
	@tools/dist.sh

dist-check: deps
	@tools/dist_check.sh

clean:
	rm -rf build dist
