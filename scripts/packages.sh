# Sourced by the scripts. ensure_packages installs the Debian packages that are missing, when run
# as root, and says what it is about to fetch before it starts. A script started with --dry-run
# as its first argument prints the packages it needs, and those missing here, and stops before it
# changes anything.
packages_dry_run=false
if [[ ${1:-} == --dry-run ]]; then
    packages_dry_run=true
fi

# npm counts as there when its command is, as it comes with other builds of Node.js too.
missing_packages() {
    local package
    for package in "$@"; do
        if [[ $package == npm ]] && command -v npm >/dev/null; then
            continue
        fi
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            echo "$package"
        fi
    done
}

# ensure_packages [--npm] PACKAGE...: the Debian packages, then with --npm the page's tools.
ensure_packages() {
    local npm=false missing
    if [[ $1 == --npm ]]; then
        npm=true
        shift
    fi
    mapfile -t missing < <(missing_packages "$@")
    if $packages_dry_run; then
        echo "Debian packages: $*"
        echo "Missing here: ${missing[*]:-none}"
        if $npm; then
            ensure_npm_packages
        fi
        exit 0
    fi
    install_debian_packages "${missing[@]}"
    if $npm; then
        ensure_npm_packages
    fi
}

install_debian_packages() {
    local missing=("$@")
    if ((${#missing[@]} == 0)); then
        return 0
    fi
    # Recommended packages would bring daemons and desktop tools to a machine that only builds.
    local install="apt-get install --no-install-recommends ${missing[*]}"
    if [[ $(id -u) -ne 0 ]]; then
        echo "Missing Debian packages: ${missing[*]}" >&2
        # A fresh system has no package lists yet, and then apt-get install finds nothing.
        if command -v sudo >/dev/null; then
            echo "Install them with: sudo apt-get update && sudo $install" >&2
        else
            echo "Installing them needs root, and there is no sudo here. Run this command as root, or" >&2
            echo "install them first, as root, with: apt-get update && $install" >&2
        fi
        exit 1
    fi
    echo "Fetching Debian's package lists, to install ${missing[*]}"
    apt-get update -q
    local plan
    # --assume-no stops after apt's summary, which gives the count and the sizes.
    plan=$(LC_ALL=C DEBIAN_FRONTEND=noninteractive apt-get install --no-install-recommends --assume-no \
        "${missing[@]}" 2>&1 || true)
    if grep -q '^E: ' <<<"$plan"; then
        grep -v '^Abort\.$' <<<"$plan" >&2
        exit 1
    fi
    local count download disk
    count=$(sed -n 's/.* \([0-9]*\) newly installed.*/\1/p' <<<"$plan")
    download=$(sed -n 's/^Need to get \([^ ]* [kMG]*B\).* of archives\./\1/p' <<<"$plan")
    disk=$(sed -n 's/^After this operation, \(.*\) of additional disk space will be used\./\1/p' <<<"$plan")
    echo "Installing ${count:-the} packages (${download:-nothing} to download, ${disk:-no more} on disk)" \
        "for ${missing[*]}; apt's progress follows"
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
    echo "Installed ${missing[*]}"
}

# Installs the page's tools (ESLint, Prettier, axe-core) into node_modules from the npm registry,
# exactly as package-lock.json pins them, unless node_modules already holds that lock's packages.
ensure_npm_packages() {
    local stamp=node_modules/.clipdraw-lock
    if $packages_dry_run; then
        echo "npm packages: those package-lock.json pins ($(grep -c '"node_modules/' package-lock.json) in all)"
        return 0
    fi
    if cmp -s package-lock.json "$stamp"; then
        return 0
    fi
    echo "Installing the page's tools from npm (ESLint, Prettier and axe-core, as package-lock.json pins them)"
    npm ci --no-audit --no-fund --loglevel=error
    cp package-lock.json "$stamp"
}

# build_targets DIR "TARGET..." [CMAKE_OPTION...] configures DIR and builds the targets in it,
# showing CMake's progress: a first build takes a while.
build_targets() {
    local build=$1 targets=$2
    shift 2
    echo "Building $targets in $build"
    cmake -S . -B "$build" -DCLIPDRAW_TESTS=OFF "$@" >/dev/null
    # shellcheck disable=SC2086 # the targets are meant to split into words
    cmake --build "$build" -j"$(nproc)" --target $targets
}
