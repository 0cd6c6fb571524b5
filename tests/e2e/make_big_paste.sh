#!/usr/bin/env bash
# Prints a chat log of about 100 bytes a line holding COUNT links (default
# 100000), bdhd and qvod alternating, each in chat text: about 10 MB for the
# default count.
count=${1:-100000}
awk -v count="$count" 'BEGIN {
  srand(7)
  hex = "0123456789ABCDEF"
  for (i = 1; i <= count; i++) {
    hash = ""
    n = (i % 2) ? 32 : 40
    for (j = 0; j < n; j++) hash = hash substr(hex, int(rand() * 16) + 1, 1)
    size = 10000000 + int(rand() * 900000000)
    scheme = (i % 2) ? "bdhd" : "qvod"
    printf "[%06d] 分享 %s://%d|%s|Velmora-%06d.rmvb 谢谢\n", i, scheme, size, hash, i
  }
}'
