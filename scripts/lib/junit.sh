# Test cases of a suite run by a shell script, written as JUnit XML for summarize.py by the one
# writer, junit_xml.py.
#   junit_case NAME [MESSAGE]     records a case: passed without a message, failed with it (its
#                                 lines joined into one)
#   junit_check NAME COMMAND...   runs the command (output into $JUNIT_LOGS/NAME.log) and records
#                                 a case that fails with the log's last line when it fails
#   junit_write SUITE FILE        writes the cases; fails when any case failed
# shellcheck shell=bash
junit_names=()
junit_messages=()

junit_case() {
  local message=${2-}
  message=${message//$'\t'/ }
  message=${message//$'\n'/ }
  junit_names+=("$1")
  junit_messages+=("$message")
  if [ -n "$message" ]; then echo "$1: $message" >&2; fi
}

junit_check() {
  local name=$1 log="${JUNIT_LOGS:?the folder for the logs}/$1.log" rc=0
  shift
  "$@" >"$log" 2>&1 || rc=$?
  if [ $rc -eq 0 ]; then
    junit_case "$name"
  else
    junit_case "$name" "exit $rc: $(grep -v '^\s*$' "$log" | tail -n1) (see $log)"
  fi
  return $rc
}

junit_write() {
  local suite=$1 file=$2 failed=0 i m
  for m in "${junit_messages[@]}"; do [ -n "$m" ] && failed=$((failed + 1)); done
  for i in "${!junit_names[@]}"; do
    printf '%s\t%s\n' "${junit_names[$i]}" "${junit_messages[$i]}"
  done | /usr/bin/python3 "$ROOT/scripts/lib/junit_xml.py" "$suite" "$file"
  echo "$suite: $((${#junit_names[@]} - failed)) of ${#junit_names[@]} passed"
  [ "$failed" -eq 0 ]
}
