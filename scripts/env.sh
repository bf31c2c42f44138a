# Shared settings of the project's scripts (sourced, not run).
root=${root:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
# VEX_WINEPREFIX lets a second checkout or a parallel piece of work keep its own prefix.
export WINEPREFIX="${VEX_WINEPREFIX:-$root/build/wine}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree=;mshtml="
export WINEARCH=win64
