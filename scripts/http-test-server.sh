# Sourced by the test and benchmark scripts: the HTTP client's test server on 127.0.0.1, its port,
# a refused port and its TLS port passed on through the environment, stopped again by its process
# id. The TLS listener's root is made in the build folder and handed to the tests
# (FH_HTTPS_TEST_ROOT, base64 DER), which trust it in the Wine prefix.

# fh_http_tls_make DIR: a root, kept while it has a week to run (a new one each time would pile up
# in the prefix's store), and a fresh certificate for 127.0.0.1 and localhost issued by it.
fh_http_tls_make() {
    local dir=$1
    mkdir -p "$dir"
    if ! openssl x509 -in "$dir/root.pem" -noout -checkend 604800 >/dev/null 2>&1 || [ ! -s "$dir/root.key" ]; then
        openssl req -x509 -newkey rsa:2048 -nodes -sha256 -days 365 -keyout "$dir/root.key" -out "$dir/root.pem" \
            -subj "/O=Fernhollow tests/CN=Fernhollow test root" \
            -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" || return 1
    fi
    printf '%s\n' "basicConstraints=critical,CA:FALSE" "keyUsage=critical,digitalSignature,keyEncipherment" \
        "extendedKeyUsage=serverAuth" "subjectAltName=IP:127.0.0.1,DNS:localhost" > "$dir/server.ext"
    openssl req -newkey rsa:2048 -nodes -sha256 -keyout "$dir/server.key" -out "$dir/server.csr" \
        -subj "/O=Fernhollow tests/CN=localhost" &&
        openssl x509 -req -sha256 -days 30 -in "$dir/server.csr" -CA "$dir/root.pem" -CAkey "$dir/root.key" \
            -set_serial "0x$(openssl rand -hex 8)" -extfile "$dir/server.ext" -out "$dir/server.pem"
}

# fh_http_server_start BUILD_DIR
fh_http_server_start() {
    local build=$1 info _
    # Requests to the loopback server must not go through a proxy (Wine's WinINet reads these).
    unset http_proxy https_proxy ftp_proxy all_proxy no_proxy HTTP_PROXY HTTPS_PROXY FTP_PROXY ALL_PROXY NO_PROXY
    info="$build/http-test-server.info"
    rm -f "$info"
    local tls="$build/http-test-tls"
    if ! fh_http_tls_make "$tls" >"$build/http-test-tls.log" 2>&1; then
        echo "http-test-server: no TLS certificate (see $build/http-test-tls.log)" >&2
        return 1
    fi
    python3 "$(dirname "${BASH_SOURCE[0]}")/../inet/tests/http_test_server.py" "$info" \
        "$tls/server.pem" "$tls/server.key" >"$build/http-test-server.log" 2>&1 </dev/null &
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
    read -r FH_HTTP_TEST_PORT FH_HTTP_REFUSED_PORT FH_HTTPS_TEST_PORT < "$info"
    FH_HTTPS_TEST_ROOT=$(openssl x509 -in "$tls/root.pem" -outform DER | base64 -w0)
    export FH_HTTP_TEST_PORT FH_HTTP_REFUSED_PORT FH_HTTPS_TEST_PORT FH_HTTPS_TEST_ROOT
}

fh_http_server_stop() {
    if [ -n "${FH_HTTP_SERVER_PID:-}" ]; then
        kill "$FH_HTTP_SERVER_PID" 2>/dev/null || true
        wait "$FH_HTTP_SERVER_PID" 2>/dev/null || true
        FH_HTTP_SERVER_PID=
    fi
}
