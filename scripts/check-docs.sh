#!/bin/sh
# Runs Doxygen over the library's installed headers alone; any warning, an undocumented
# public class or member among them, fails. Exits 77 (skipped) where Doxygen is missing.
# Usage: check-docs.sh DOXYGEN DOXYFILE SOURCE_DIR
doxygen=$1
config=$2
source_dir=$3
if ! command -v "$doxygen" >/dev/null 2>&1; then
    echo "doxygen not found: reference check skipped (scripts/install-deps.sh installs it)"
    exit 77
fi
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
{
    cat "$config"
    echo "INPUT = $source_dir/docs/reference.dox $source_dir/uibase/dialog"
    echo "FILE_PATTERNS = *.h *.dox"
    echo "USE_MDFILE_AS_MAINPAGE ="
    echo "OUTPUT_DIRECTORY = $out"
    echo "GENERATE_HTML = NO"
    echo "GENERATE_XML = YES"
    echo "WARN_AS_ERROR = FAIL_ON_WARNINGS"
} | "$doxygen" - >"$out/log" 2>&1
status=$?
sed -n '/warning\|error/p' "$out/log"
if [ $status -ne 0 ]; then
    echo "documentation check failed (doxygen exit $status)"
    exit 1
fi
echo "every public class and member of the installed headers is documented"
