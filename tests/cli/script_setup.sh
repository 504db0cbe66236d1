# Sourced by the command-line test scripts with their arguments, WORK_FOLDER PROGRAM [EMULATOR]:
# sets work, program and emulator, defines fail, and empties the work folder.
work=$1
program=$2
emulator=${3:-}

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

rm -rf "$work"
mkdir -p "$work"
