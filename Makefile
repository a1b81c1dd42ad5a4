# The few commands people need. Each installs what is missing first.
#   make build   both build trees; the product is build/win32/Kestrom.exe
#   make test    host unit tests (also under sanitizers), a short run of each
#                fuzz target, Win32 tests under Wine, end-to-end scenarios
#   make demo    the main job: a download run against the local quotes server

export JOBS ?= 2
HOST_DIR := build/host
# The Wine tests run the 32-bit build, or the 64-bit build of the same
# sources on machines that cannot execute 32-bit code (tools/wine_env.sh).
TEST_ARCH = $(shell bash -c 'source tools/wine_env.sh; echo $$KESTROM_TEST_ARCH')

.PHONY: build test demo deps prefix clean

deps:
	@tools/install_deps.sh

prefix: deps
	@tools/wine_prefix.sh

$(HOST_DIR)/CMakeCache.txt: | deps
	@cmake -S . -B $(HOST_DIR) -DCMAKE_BUILD_TYPE=Release >/dev/null

build: deps $(HOST_DIR)/CMakeCache.txt
	@cmake --build $(HOST_DIR) -j$(JOBS)
	@tools/build_windows.sh win32

test: build prefix
	@python3 tools/check_product.py build/win32/Kestrom.exe
	@[ "$(TEST_ARCH)" = win32 ] || tools/build_windows.sh $(TEST_ARCH)
	@echo "== Host unit tests"
	@ctest --test-dir $(HOST_DIR) --output-on-failure -j$(JOBS)
	@tools/fuzz_smoke.sh
	@echo "== Win32 tests and end-to-end scenarios under Wine ($(TEST_ARCH) build)"
	@tools/with_display.sh ctest --test-dir build/$(TEST_ARCH) --output-on-failure

demo: build prefix
	@[ "$(TEST_ARCH)" = win32 ] || tools/build_windows.sh $(TEST_ARCH)
	@tools/demo.sh build/$(TEST_ARCH)/Kestrom.exe

clean:
	rm -rf build
