#!/bin/sh
# Recompiles the class files of this folder from src/ and writes, beside each,
# the listing a Java disassembler prints for it (run by hand; the tests only
# read the checked-in files and need no Java).
set -e
cd "$(dirname "$0")"
rm -rf classes
ecj -1.6 -g -proc:none -d classes src/dump/*.java
for f in classes/dump/*.class; do
    javap -c -p "$f" >"${f%.class}.javap"
done
