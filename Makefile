# Convenience entry points; CMake does the real work.
BUILD_DIR   := build
GALLERY     := $(BUILD_DIR)/examples/gallery/dialog-gallery
THEMEGEN_DIR := build-themegen
FORMAT_DIRS := uibase tests examples bench fuzz scripts

.PHONY: all deps build test demo clean format theme-images

all: build

deps:
	scripts/install-deps.sh

build: deps
	@test -f $(BUILD_DIR)/build.ninja || \
		cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD_DIR)

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2

demo: build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
		$(GALLERY); \
	else \
		QT_QPA_PLATFORM=offscreen $(GALLERY) --screenshots $(BUILD_DIR)/screenshots; \
	fi

clean:
	rm -rf $(BUILD_DIR)

format:
	@if command -v clang-format >/dev/null 2>&1; then \
		find $(wildcard $(FORMAT_DIRS)) -type f \( -name '*.h' -o -name '*.cpp' \) \
			-exec clang-format -i {} +; \
	else \
		echo "format: clang-format not found, skipped"; \
	fi

# Regenerates the default (light) and the gallery's dark theme images.
theme-images: deps
	@test -f $(THEMEGEN_DIR)/build.ninja || \
		cmake -S scripts/themegen -B $(THEMEGEN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release
	cmake --build $(THEMEGEN_DIR)
	$(THEMEGEN_DIR)/themegen uibase/dialog/contracts/theme/default light
	$(THEMEGEN_DIR)/themegen examples/gallery/themes/dark dark
