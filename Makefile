# The two commands a new user needs. Both install what is missing, configure and build.
BUILD ?= build
CMAKE_ARGS ?=
JOBS ?= 2

.PHONY: run test build deps install clean

run: build
	$(BUILD)/bin/brindle --demo

test: build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_ARGS)
	cmake --build $(BUILD) -j$(JOBS)

deps:
	@tools/install-deps.sh

install: build
	cmake --install $(BUILD) $(if $(PREFIX),--prefix $(PREFIX),)

clean:
	rm -rf $(BUILD)
