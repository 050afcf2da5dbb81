# The README's commands. Everything builds out of tree in build/ (bench: build-bench/, package:
# build-package/).
BUILD ?= build
JOBS ?= 2
CMAKE_FLAGS ?=
PREFIX ?= /usr/local

.PHONY: all deps deps-package deps-tools build run test test-sanitize bench bench-windows \
	bench-startup bench-make-it soak format format-check install uninstall package clean \
	deps-web web web-site web-serve bench-web

all: build

# What building and running need; the test, benchmark and format tools are a second set.
deps:
	./scripts/install-deps
deps-package:
	./scripts/install-deps --package
deps-tools:
	./scripts/install-deps --tools

# A new build folder starts without the tests, so building the program needs no GoogleTest;
# `make test` turns them on.
$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLORA_TESTS=OFF \
		$(CMAKE_FLAGS)

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

run: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target quillora
	$(BUILD)/app/quillora

test: deps-tools $(BUILD)/CMakeCache.txt
	grep -q '^QUILLORA_TESTS:BOOL=ON' $(BUILD)/CMakeCache.txt || cmake $(BUILD) -DQUILLORA_TESTS=ON
	cmake --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# From source: `make install` (PREFIX=/usr/local; DESTDIR honoured), `make uninstall` removes
# what the last install wrote.
install: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target quillora quillora-sheet quillora-data
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

uninstall:
	DESTDIR="$(DESTDIR)" cmake --build $(BUILD) --target uninstall

# A Release .deb in this folder, built with Debian's hardening flags.
package: deps-package
	cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLORA_TESTS=OFF \
		-DCMAKE_CXX_FLAGS="$$(dpkg-buildflags --get CPPFLAGS) $$(dpkg-buildflags --get CXXFLAGS)" \
		-DCMAKE_EXE_LINKER_FLAGS="$$(dpkg-buildflags --get LDFLAGS)"
	cmake --build build-package -j $(JOBS) --target quillora quillora-sheet quillora-data
	cd build-package && cpack
	mv build-package/quillora_*.deb .

# The whole suite again with AddressSanitizer and UndefinedBehaviorSanitizer; any report fails.
SANITIZE_ENV = ASAN_OPTIONS=halt_on_error=1:abort_on_error=1 \
	UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0

test-sanitize: deps-tools
	cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUILLORA_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build build-asan -j $(JOBS)
	cd build-asan && $(SANITIZE_ENV) ctest --output-on-failure -j $(JOBS)

# The window program's figures, each in its own X server: start-up against a minimal Qt program
# (30 runs each, alternating, watched from outside), and "Make It!" from the click to the painted
# worksheet.
XVFB = xvfb-run -a -s "-screen 0 1280x1024x24"

bench-windows: bench-startup bench-make-it

build-bench/CMakeCache.txt:
	cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release

bench-startup: deps-tools build-bench/CMakeCache.txt
	cmake --build build-bench -j $(JOBS) --target quillora minimal-dialog first-paint
	xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" python3 bench/startup/measure.py \
		build-bench/bench/startup/first-paint \
		build-bench/app/quillora build-bench/bench/startup/minimal-dialog --runs 30

bench-make-it: deps-tools build-bench/CMakeCache.txt
	cmake --build build-bench -j $(JOBS) --target make_it_bench
	mkdir -p build-bench/xdg-make-it
	XDG_CONFIG_HOME=$(CURDIR)/build-bench/xdg-make-it QT_QPA_PLATFORM=xcb LANG=C.UTF-8 \
		$(XVFB) build-bench/bench/make_it/make_it_bench

# Engine sheet and floor per form (medians of 10 runs, see bench/README.md), then the
# command-line batch of 1,000 worksheets.
bench: deps-tools
	cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)
	cmake --build build-bench -j $(JOBS) --target quillora-bench quillora-sheet
	build-bench/bench/quillora-bench --benchmark_repetitions=10 --benchmark_min_time=0.1 \
	    --benchmark_report_aggregates_only=true
	bench/cli_batch.sh build-bench
	bench/cli_versions.sh build-bench
	bench/cli_answers.sh build-bench
	bench/cli_typeset.sh build-bench
	$(MAKE) --no-print-directory bench-windows

# Every form of every family over 34,000 seeds (about a million problems a form): shape and writing.
soak: deps-tools
	cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)
	cmake --build build-bench -j $(JOBS) --target engine_tests
	QUILLORA_SOAK_SEEDS=34000 build-bench/tests/engine_tests --gtest_filter='Sheets.Keep*:Every/Problems.*'

format: deps-tools
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

# Fails on any difference from .clang-format (CI runs it).
format-check: deps-tools
	git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

# The web page: the worksheet libraries built with Debian's emscripten, and the static page, in
# build-web/site/, which any static web server can publish. Emscripten's own JavaScript tools
# need Debian's node modules whatever node comes first on the PATH.
WEB_BUILD ?= build-web
PORT ?= 8000
EMSCRIPTEN_ENV = NODE_PATH=/usr/share/nodejs

deps-web:
	./scripts/install-deps --web

web: deps-web web-site

# The site alone, for builds that installed emscripten already (the browser test's).
web-site:
	./scripts/qrcodegen-source $(WEB_BUILD)/qrcodegen
	test -f $(WEB_BUILD)/CMakeCache.txt || $(EMSCRIPTEN_ENV) emcmake cmake -S . -B $(WEB_BUILD) \
		-G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLORA_APP=OFF -DQUILLORA_TESTS=OFF
	$(EMSCRIPTEN_ENV) cmake --build $(WEB_BUILD) -j $(JOBS)

web-serve: web
	@echo "Quillora's page: http://localhost:$(PORT)/ (Ctrl+C stops it)"
	python3 -m http.server $(PORT) --bind 127.0.0.1 --directory $(WEB_BUILD)/site

# The page's time to a 30-version set with keys on screen, in headless Chromium, and its size.
bench-web: deps-tools web
	/usr/bin/python3 bench/web_bench.py $(WEB_BUILD)/site

clean:
	rm -rf $(BUILD) build-bench build-asan build-package quillora_*.deb $(WEB_BUILD)
