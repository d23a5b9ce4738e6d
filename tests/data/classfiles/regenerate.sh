#!/bin/sh
# Recompiles the class files of this folder from src/ (run by hand; the build
# and the tests only read the checked-in class files).
set -e
cd "$(dirname "$0")"
ecj -1.6 -g -proc:none -d . src/sample/*.java
ecj -source 1.3 -target cldc1.1 -g -proc:none -d . src/cldc/Counter.java
