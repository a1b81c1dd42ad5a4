# The few commands people need. Each installs what is missing first.
#   make build   both build trees; the product is build/win32/Kestrom.exe
#   make test    host unit tests, Win32 tests under Wine, end-to-end scenarios
#   make demo    the main job: a download run against the local quotes server

JOBS ?= 2
HOST_DIR := build/host
WIN32_DIR := build/win32

.PHONY: build test demo deps prefix clean

deps:
	@tools/install_deps.sh

prefix: deps
	@tools/wine_prefix.sh

$(HOST_DIR)/CMakeCache.txt: | deps
	@cmake -S . -B $(HOST_DIR) -DCMAKE_BUILD_TYPE=Release >/dev/null

$(WIN32_DIR)/CMakeCache.txt: | deps
	@cmake -S . -B $(WIN32_DIR) -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-i686.cmake >/dev/null

build: deps $(HOST_DIR)/CMakeCache.txt $(WIN32_DIR)/CMakeCache.txt
	@cmake --build $(HOST_DIR) -j$(JOBS)
	@cmake --build $(WIN32_DIR) -j$(JOBS)

test: build prefix
	@echo "== Host unit tests"
	@ctest --test-dir $(HOST_DIR) --output-on-failure -j$(JOBS)
	@echo "== Win32 tests and end-to-end scenarios under Wine"
	@tools/with_display.sh ctest --test-dir $(WIN32_DIR) --output-on-failure

demo: build prefix
	@tools/demo.sh

clean:
	rm -rf build
