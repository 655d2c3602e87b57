# Sourced by the scripts that run Windows programs: the project's own Wine
# prefix, quiet, without Mono/Gecko, without the desktop-menu builder (Wine
# starts it for every shortcut a program saves, and it still reads the file
# while a test deletes it), and without proxies (Wine's WinINet reads
# http_proxy and ignores no_proxy).
norpa_repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX="$norpa_repo/.deps/wine"
export HOME="$norpa_repo/.deps/home"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY ftp_proxy all_proxy ALL_PROXY no_proxy NO_PROXY
