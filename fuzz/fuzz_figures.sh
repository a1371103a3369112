#!/usr/bin/env bash
# Prints the figures of a finished libFuzzer run from its log: executions, the
# coverage reached (cov: code edges, ft: features), the corpus, and the coverage
# the starting corpus gave. Usage: fuzz/fuzz_figures.sh LOG
set -euo pipefail
awk '
  function field(key,   i) { for (i = 1; i < NF; ++i) if ($i == key) return $(i + 1); return "?" }
  $2 == "INITED" { start_cov = field("cov:"); start_ft = field("ft:") }
  $2 == "DONE" {
    runs = substr($1, 2); cov = field("cov:"); ft = field("ft:")
    split(field("corp:"), corp, "/")
  }
  END {
    if (runs == "") { print "no final figures in " FILENAME; exit }
    printf "%s runs, cov %s, ft %s, corpus %s files (%s)", runs, cov, ft, corp[1], corp[2]
    if (start_cov != "") printf "; at start cov %s, ft %s", start_cov, start_ft
    printf "\n"
  }
' "$1"
