#!/usr/bin/env bash
# Installs what a test needs beyond the test command's packages (as root).
# The tests run side by side, so another may be installing at this moment:
# each install waits up to 10 min for dpkg's lock. A failed install is tried
# once more after the package lists are read anew.
#   apt-install.sh [APT-GET INSTALL OPTION...] PACKAGE...
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
install() { apt-get -o DPkg::Lock::Timeout=600 install -y -q "$@"; }
install "$@" || { apt-get update -q && install "$@"; }
