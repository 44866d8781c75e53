# Sourced by the scripts: installs the Debian packages that are missing, when run as root, and
# shows apt's own progress while it does (a fresh machine may take several hundred megabytes).
ensure_packages() {
    local missing=()
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$package")
        fi
    done
    if ((${#missing[@]} == 0)); then
        return 0
    fi
    if [[ $(id -u) -ne 0 ]]; then
        echo "Missing Debian packages: ${missing[*]}" >&2
        if command -v sudo >/dev/null; then
            echo "Install them with: sudo apt-get install ${missing[*]}" >&2
        else
            echo "Installing them needs root, and there is no sudo here. Run this command as root, or" >&2
            echo "install them first, as root, with: apt-get install ${missing[*]}" >&2
        fi
        exit 1
    fi
    echo "Installing ${missing[*]}, with what they need (apt's progress follows)"
    apt-get update -q
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
    echo "Installed ${missing[*]}"
}
