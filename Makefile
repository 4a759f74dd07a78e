# The two commands of the README:
#   make run    installs what is missing, builds, and runs the main job on the embedded directory
#   make test   installs what is missing, builds (plain and sanitized), and runs every test,
#               then every fuzz target for a short fixed number of runs from its seed corpus
#   make package  builds and makes the Debian package tessary_<version>_<arch>.deb in $(BUILD)
BUILD ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
# The fuzz build is optimised for a short run rather than for debugging: line tables are enough
# for the sanitizers' reports.
FUZZ_FLAGS ?= -O1 -gline-tables-only
JOBS ?= $(shell nproc)

.PHONY: all deps build build-asan build-fuzz run test unit-test package clean format screenshots

all: build

deps:
	@scripts/install-deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

$(ASAN_BUILD)/build.ninja:
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTESSARY_SANITIZE=ON -DTESSARY_BENCHMARKS=OFF

$(FUZZ_BUILD)/build.ninja:
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	  -DCMAKE_C_FLAGS_DEBUG="$(FUZZ_FLAGS)" -DCMAKE_CXX_FLAGS_DEBUG="$(FUZZ_FLAGS)" \
	  -DTESSARY_FUZZ=ON -DTESSARY_SANITIZE=ON -DTESSARY_BENCHMARKS=OFF

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

build-asan: deps $(ASAN_BUILD)/build.ninja
	cmake --build $(ASAN_BUILD) -j $(JOBS)

# Only the fuzz targets and the libraries they link.
build-fuzz: deps $(FUZZ_BUILD)/build.ninja
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_targets

run: build
	@scripts/main-job.sh $(BUILD)

test: build build-asan build-fuzz
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS) -LE 'samba|slow'
	cd $(FUZZ_BUILD) && ctest --output-on-failure -j $(JOBS) -L fuzz

package: build
	cd $(BUILD) && cpack -G DEB

# A picture of every window of the Qt face, written into docs/screenshots/ (Qt's offscreen
# platform: no display needed).
screenshots: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target gui_screenshots
	$(BUILD)/tests/gui/gui_screenshots docs/screenshots

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)

format:
	git ls-files '*.cc' '*.h' | xargs clang-format -i
