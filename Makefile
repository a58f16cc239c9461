# Tavrix: `make run` and `make test` install what is missing, build, and run.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
WIN_BUILD  ?= build-windows
FUZZ_SECONDS ?= 300
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: all deps build run test test-asan test-windows test-package bench bench-windows fuzz windows windows-package package clean

all: build

deps:
	@./scripts/install-deps.sh

# Debian's hardening flags (fortify, stack protector, relro, bindnow; PIE is the compiler's default),
# so the programs that the package ships are built as a Debian package's are.
HARDENING = DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get

build: deps
	@cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS) \
	  -DCMAKE_CXX_FLAGS="$$($(HARDENING) CPPFLAGS) $$($(HARDENING) CXXFLAGS)" \
	  -DCMAKE_EXE_LINKER_FLAGS="$$($(HARDENING) LDFLAGS)" \
	  -DCMAKE_MODULE_LINKER_FLAGS="$$($(HARDENING) LDFLAGS)" >/dev/null
	@cmake --build $(BUILD)

run: build
	@$(BUILD)/app/tavrix

test: build
	@ctest --test-dir $(BUILD) --output-on-failure
	@$(MAKE) --no-print-directory test-package
	@$(MAKE) --no-print-directory test-asan
	@$(MAKE) --no-print-directory test-windows

# The scan library, its tests and tavrix-report itself (run over every test machine file and table
# dump) again, under AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: deps
	@cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTAVRIX_SCAN_ONLY=ON \
	  -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer" >/dev/null
	@cmake --build $(ASAN_BUILD)
	@ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --test-dir $(ASAN_BUILD) --output-on-failure

# The Windows build, cross-compiled with MinGW-w64 and linked statically: tavrix.exe (native Win32
# windows over the WMI scan), tavrix-report.exe, their tests and the installer tavrix-setup.exe.
windows: deps
	@cmake -S . -B $(WIN_BUILD) -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	  -DCMAKE_BUILD_TYPE=Release -DTAVRIX_SCAN_ONLY=OFF -DTAVRIX_BUILD_TESTS=ON -DTAVRIX_BUILD_BENCH=OFF >/dev/null
	@cmake --build $(WIN_BUILD)

# The Windows installer (NSIS): $(WIN_BUILD)/tavrix-setup.exe, per user, without admin rights.
windows-package: windows
	@cmake --build $(WIN_BUILD) --target tavrix_installer
	@echo "$(WIN_BUILD)/tavrix-setup.exe"

# The Windows build under Wine, against Wine's WMI, each script in a fresh prefix.
test-windows: windows
	@ctest --test-dir $(WIN_BUILD) --output-on-failure

bench: build windows
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] && "$$b" || exit 1; done
	@bench/wine_bench_program.sh $(BUILD)/bench/wine_bench_program $(WIN_BUILD)/app/tavrix.exe

# The Debian package, build/tavrix_1.0.0_amd64.deb.
package: build
	@cd $(BUILD) && cpack -G DEB >/dev/null
	@echo "package: $(BUILD)/tavrix_1.0.0_amd64.deb"

# The package as a Debian packager checks it: lintian, desktop-file-validate, appstreamcli.
test-package: package
	@./tests/packaging/check-package.sh $(BUILD)/tavrix_1.0.0_amd64.deb

fuzz: deps
	@cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVRIX_SCAN_ONLY=ON \
	  -DTAVRIX_BUILD_TESTS=OFF -DTAVRIX_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ \
	  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all" >/dev/null
	@cmake --build $(FUZZ_BUILD)
	@for f in $(FUZZ_BUILD)/fuzz/fuzz_*; do \
	  mkdir -p $(FUZZ_BUILD)/corpus/$$(basename $$f); \
	  seeds=fuzz/seeds/$$(basename $$f); [ -d "$$seeds" ] || seeds=; \
	  "$$f" -max_total_time=$(FUZZ_SECONDS) -max_len=1048576 -timeout=1 $(FUZZ_BUILD)/corpus/$$(basename $$f) $$seeds || exit 1; \
	done

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(WIN_BUILD)
