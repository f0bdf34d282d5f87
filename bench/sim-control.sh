# Sourced by the benchmark scripts. One GET of a groupware-sim control endpoint on loopback, without
# curl: sim_control PORT PATH (PATH such as "/_sim/churn?user=1").
sim_control() {
    exec 3<> "/dev/tcp/127.0.0.1/$1" || return 1
    printf 'GET %s HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n' "$2" >&3
    cat <&3 > /dev/null
    exec 3>&-
}
