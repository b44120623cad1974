# The two entry points of the README: `make run` and `make test`.
BUILD    ?= build
JOBS     ?= $(shell nproc)
PREFIX   ?= /usr/local
# What an install to PREFIX wrote, one record per prefix: /usr/local gives
# install_manifest-usr_local.txt
MANIFEST ?= $(BUILD)/install_manifest-$(patsubst _%,%,$(subst /,_,$(abspath $(PREFIX)))).txt
# make run's own settings file, used unless LUMORA_REGISTRY names one
RUN_SETTINGS ?= $(BUILD)/run-settings.reg
export JOBS

.PHONY: all deps build run test bench install uninstall package clean

all: build

deps:
	@scripts/install-deps

# Everything, tests and benchmarks included.
build: deps
	@scripts/build $(BUILD) --with-tests --loud

# Only the program, quietly; it saves into the pictures folder (see scripts/run).
run:
	@scripts/install-deps --run
	@scripts/build $(BUILD) lumora
	@LUMORA_RUN_SETTINGS=$(RUN_SETTINGS) scripts/run $(BUILD)/src/app/lumora

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: build
	@scripts/bench $(BUILD)

install:
	@scripts/install-deps --run
	@scripts/build $(BUILD) lumora lumora_install_files
	@scripts/install $(BUILD) $(PREFIX) $(MANIFEST)

# Removes exactly the files the last install to PREFIX from this build folder wrote (under
# DESTDIR when one was given, as for the install), then the folders it made, when empty.
uninstall:
	@test -f $(MANIFEST) || { echo "make uninstall: no $(MANIFEST): nothing was installed to $(PREFIX) from $(BUILD)" >&2; exit 1; }
	@sed '/\/$$/d; /^$$/d; s|^|$(DESTDIR)|' $(MANIFEST) | xargs -d '\n' -r rm -fv --
	@sed -n 's|^\(.*\)/$$|$(DESTDIR)\1|p' $(MANIFEST) | sort -r | xargs -d '\n' -r rmdir -v --ignore-fail-on-non-empty --
	@rm -f $(MANIFEST)

package:
	@scripts/install-deps --package
	@scripts/build $(BUILD) -DCMAKE_INSTALL_PREFIX=/usr lumora lumora_install_files
	@cd $(BUILD) && cpack -G DEB >cpack.log 2>&1 || { echo "cpack failed; see $(BUILD)/cpack.log" >&2; exit 1; }
	@mv $(BUILD)/lumora_*.deb .
	@ls lumora_*.deb

clean:
	rm -rf $(BUILD)
