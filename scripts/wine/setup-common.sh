# Sourced by the setup program's checks, after common.sh.
drive=$WINEPREFIX/drive_c
installed=$drive/"Program Files"/TORSA
classes='HKLM\Software\Classes'
apps='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\TORSA'
reg_holds() {   # KEY VALUE TEXT: the key's VALUE (its default when "") holds TEXT
    local key=$1 value=$2 text=$3
    if [ -z "$value" ]; then set -- /ve; else set -- /v "$value"; fi
    wine reg query "$key" "$@" 2>/dev/null | grep -qiF "$text"
}
no_key() { ! wine reg query "$1" >/dev/null 2>&1; }
