# Sourced by the test and benchmark scripts: the HTTP client's test server on 127.0.0.1, its port
# and a refused port passed on through the environment, stopped again by its process id.

# fh_http_server_start BUILD_DIR
fh_http_server_start() {
    local build=$1 info _
    # Requests to the loopback server must not go through a proxy (Wine's WinINet reads these).
    unset http_proxy https_proxy ftp_proxy all_proxy no_proxy HTTP_PROXY HTTPS_PROXY FTP_PROXY ALL_PROXY NO_PROXY
    info="$build/http-test-server.info"
    rm -f "$info"
    python3 "$(dirname "${BASH_SOURCE[0]}")/../inet/tests/http_test_server.py" "$info" \
        >"$build/http-test-server.log" 2>&1 </dev/null &
    FH_HTTP_SERVER_PID=$!
    for _ in $(seq 1 100); do
        [ -s "$info" ] && break
        kill -0 "$FH_HTTP_SERVER_PID" 2>/dev/null || break
        sleep 0.1
    done
    if [ ! -s "$info" ]; then
        # Fails the run: without the server every HTTP test would only be skipped.
        echo "http-test-server: did not start (see $build/http-test-server.log)" >&2
        fh_http_server_stop
        return 1
    fi
    read -r FH_HTTP_TEST_PORT FH_HTTP_REFUSED_PORT < "$info"
    export FH_HTTP_TEST_PORT FH_HTTP_REFUSED_PORT
}

fh_http_server_stop() {
    if [ -n "${FH_HTTP_SERVER_PID:-}" ]; then
        kill "$FH_HTTP_SERVER_PID" 2>/dev/null || true
        wait "$FH_HTTP_SERVER_PID" 2>/dev/null || true
        FH_HTTP_SERVER_PID=
    fi
}
