# Shared settings of the project's scripts (sourced, not run).
root=${root:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
# VEX_WINEPREFIX lets a second checkout or a parallel piece of work keep its own prefix.
export WINEPREFIX="${VEX_WINEPREFIX:-$root/build/wine}"
# scripts/test runs the 32-bit tree's tests in a second prefix beside the first, with its own
# Wine server, while the 64-bit tree's run in the first: the tests of one prefix share its
# printers and driver folders, so only tests of different prefixes run side by side.
export VEX_WINEPREFIX_WIN32="${VEX_WINEPREFIX_WIN32:-$WINEPREFIX-win32}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree=;mshtml="
export WINEARCH=win64
