# The clients an end-to-end script starts to hold files open: their pids in
# `holders`, each let go by the file DIR/release.NAME it waits for. Sourced.
holders=()

# Lets every client go and waits for it; for the scripts' exit traps.
stop_holders() {  # stop_holders DIR
    touch "$1"/release.*
    local pid
    for pid in "${holders[@]}"; do
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
}
