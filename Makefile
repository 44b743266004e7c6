# make run  - install what is missing, build, start the editor
# make test - install what is missing, build, run every test, the sanitizer
#             build and the fuzz targets, and end with ctest's summary
BUILD     ?= build
SANBUILD  ?= build-san
JOBS      ?= $(shell nproc)

.PHONY: all deps build sanitize fuzz test run bench clean

all: build

deps:
	@bash scripts/install-deps.sh

build: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

# clang build with ASan + UBSan: the core tests run again here and the
# fuzz targets are built from it.
sanitize: deps
	@cmake -S . -B $(SANBUILD) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
	  -DVELMORIN_GUI=OFF -DVELMORIN_FUZZ=ON >/dev/null
	@cmake --build $(SANBUILD) -j $(JOBS)
	@cd $(SANBUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS)

fuzz: sanitize
	@bash scripts/run-fuzzers.sh $(SANBUILD)

test: build fuzz
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

run: build
	@bash scripts/run.sh $(BUILD)

bench: build
	@for b in $(BUILD)/bench/*_bench; do [ -x "$$b" ] && "$$b"; done

# make install [PREFIX=/usr/local] [DESTDIR=/staging] - the programs, manual
#   pages, desktop entry, file types and icons; builds first when needed
# make uninstall - removes what the last make install recorded
# make package   - build/velmorin_<version>_<arch>.deb (not part of make test)
PREFIX    ?= /usr/local

.PHONY: install uninstall package

install:
	@[ -f $(BUILD)/CMakeCache.txt ] || $(MAKE) build
	@cmake --build $(BUILD) -j $(JOBS)
	@DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix $(PREFIX)
	@[ -n "$(DESTDIR)" ] || bash packaging/refresh-desktop.sh $(PREFIX)

uninstall:
	@DESTDIR="$(DESTDIR)" cmake --build $(BUILD) --target uninstall
	@[ -n "$(DESTDIR)" ] || bash packaging/refresh-desktop.sh $(PREFIX)

package: build
	@cd $(BUILD) && cpack -G DEB
	@ls $(BUILD)/*.deb

clean:
	rm -rf $(BUILD) $(SANBUILD)
