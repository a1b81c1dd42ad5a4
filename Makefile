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
	@python3 tools/check_product.py build/win32/Kestrom.exe
	@echo "== Host unit tests"
	@ctest --test-dir $(HOST_DIR) --output-on-failure -j$(JOBS)
	@tools/fuzz_smoke.sh
	@echo "== Win32 tests and end-to-end scenarios under Wine ($$(bash -c 'source tools/wine_env.sh && echo $$KESTROM_WINE_KIND'))"
	@tools/with_display.sh ctest --test-dir build/win32 --output-on-failure

demo: build prefix
	@tools/demo.sh build/win32/Kestrom.exe

dist: deps
	@tools/dist.sh

dist-check: deps
	@tools/dist_check.sh

clean:
	rm -rf build dist
