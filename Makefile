# make run  - install what is missing, build, start the editor with a
#             simulated controller on Com2 (VELMORIN_SIM=0: without it)
# make test - install what is missing, build, run every test, the sanitizer
#             build and the fuzz targets, the ThreadSanitizer run, and end
#             with ctest's summary
BUILD     ?= build
SANBUILD  ?= build-san
TSANBUILD ?= build-tsan
JOBS      ?= $(shell nproc)

.PHONY: all deps build sanitize fuzz tsan test run bench clean

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

# clang build with ThreadSanitizer: the link tests (the poll worker on a
# thread of the test's) and the GUI suites, offscreen, where every
# background job reports to its window. Qt's own libraries are not
# instrumented: the checker cannot see their locks, so the allocations and
# frees they make on their own pool threads would look raced. It is told to
# ignore what those libraries call (ignore_noninstrumented_modules); every
# access our code makes is still checked. scripts/tsan-suppressions.txt names
# any report that would still come from inside them, and why it is false.
TSAN_RUN = TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 ignore_noninstrumented_modules=1 suppressions=$(CURDIR)/scripts/tsan-suppressions.txt"
tsan: deps
	@cmake -S . -B $(TSANBUILD) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
	  -DVELMORIN_GUI=ON -DVELMORIN_TSAN=ON >/dev/null
	@cmake --build $(TSANBUILD) -j $(JOBS) --target link_tests gui_tests
	@$(TSAN_RUN) $(TSANBUILD)/tests/link_tests --gtest_brief=1
	@$(TSAN_RUN) QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 $(TSANBUILD)/tests/gui_tests --gtest_brief=1

test: build fuzz tsan
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

run: build
	@bash scripts/run.sh $(BUILD)

bench: build
	@for b in $(BUILD)/bench/*_bench; do [ -x "$$b" ] && "$$b"; done

# make install [PREFIX=/usr/local] [DESTDIR=/staging] - the programs, manual
#   pages, desktop entry, file types and icons; builds first when needed, and
#   records in $(BUILD)/install_record.txt where it installed and what
# make uninstall - removes what the last make install recorded, where it
#   installed it (a PREFIX or DESTDIR given must be the recorded one); files
#   a Debian package owns and folders that were there before stay
# make package   - build-deb/velmorin_<version>-1_<arch>.deb, with Debian's
#   flags, dated by the last commit, checked by lintian (not part of make test)
# make reproducible - two packages of the last commit, built in two fresh
#   clones at different paths, must be byte for byte the same (slow)
PREFIX    ?= /usr/local
PKGBUILD  ?= build-deb

.PHONY: install uninstall package reproducible

install:
	@[ -f $(BUILD)/CMakeCache.txt ] || $(MAKE) build
	@cmake --build $(BUILD) -j $(JOBS)
	@DESTDIR="$(DESTDIR)" bash packaging/install.sh $(BUILD) $(PREFIX) $(BUILD)/install_record.txt
	@[ -n "$(DESTDIR)" ] || bash packaging/refresh-desktop.sh $(PREFIX)

uninstall:
	@DESTDIR="$(DESTDIR)" UNINSTALL_PREFIX="$(if $(filter command line,$(origin PREFIX)),$(PREFIX))" \
	  bash packaging/uninstall.sh $(BUILD)/install_record.txt

package: deps
	@bash packaging/build-package.sh $(PKGBUILD) $(JOBS)

reproducible: deps
	@bash tests/package/reproducible_test.sh $(JOBS)

clean:
	rm -rf $(BUILD) $(SANBUILD) $(TSANBUILD)
