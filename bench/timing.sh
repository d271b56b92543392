# Shared by the job scripts: times a list of tools, interleaved, and prints the table.
#   tools=("name|command" ...)   commands run with bash -c; $OUT is a fresh output folder
#   time_tools ROUNDS NICE WORK  fills times[name] (ms per run) and mem[name] (KiB); after the
#                                first round of the tool named $keep_name its outputs are kept
#                                in WORK/kept
#   print_table REF_NAME COUNT   the median of each tool, images per second and the ratio
#                                tool time / REF_NAME time

declare -A times mem

time_tools() {
    local rounds=$1 nicelevel=$2 work=$3 r entry name cmd out start end m
    for ((r = 1; r <= rounds; r++)); do
        for entry in "${tools[@]}"; do
            name=${entry%%|*}
            cmd=${entry#*|}
            out=$work/out
            rm -rf "$out" && mkdir -p "$out"
            sync
            start=$(date +%s%N)
            OUT=$out nice -n "$nicelevel" /usr/bin/time -f '%M' -o "$work/rss" bash -c "$cmd" \
                >/dev/null 2>"$work/err" ||
                { echo "$name failed: $(head -3 "$work/err")" >&2; continue; }
            end=$(date +%s%N)
            times[$name]+="$(((end - start) / 1000000)) "
            # /usr/bin/time reports the largest child; for two processes that is one of them.
            m=$(tail -1 "$work/rss")
            [ "${mem[$name]:-0}" -lt "$m" ] && mem[$name]=$m
            if [ "$name" = "${keep_name:-}" ] && [ "$r" -eq 1 ]; then
                rm -rf "$work/kept" && cp -r "$out" "$work/kept"
            fi
        done
    done
}

median() { tr ' ' '\n' | grep -v '^$' | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

print_table() {
    local refname=$1 n=$2 ref entry name t
    ref=$(echo "${times[$refname]}" | median)
    printf '\n| tool | ms/img | img/s | tool time / %s | peak RSS |\n|---|---:|---:|---:|---:|\n' "$refname"
    for entry in "${tools[@]}"; do
        name=${entry%%|*}
        [ -n "${times[$name]:-}" ] || continue
        t=$(echo "${times[$name]}" | median)
        awk -v name="$name" -v t="$t" -v n="$n" -v ref="$ref" -v m="${mem[$name]}" \
            'BEGIN { printf "| %s | %.0f | %.1f | %.2f | %.0f MiB |\n", name, t / n, n * 1000 / t, t / ref, m / 1024 }'
    done
    echo
    echo "all times (ms per run):"
    for entry in "${tools[@]}"; do name=${entry%%|*}; echo "  $name: ${times[$name]:-}"; done
}

machine_line() {
    echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'); $(uname -sr)"
}
