# What vexps writes into every job's prolog (sourced after e2e.bash): the sample procedure set,
# then the globaldict page-setup values. For expected job bytes between the PJL header's
# "@PJL ENTER LANGUAGE=POSTSCRIPT" line and the trailer of a job without overlays, overprint or
# watermark.
#   plugin_prolog [PAGES-PER-SHEET [ORIENTATION [DMCOLOR [card]]]]   (defaults 1 0 2)
plugin_prolog() {
  cat "$root/package/files/VEXPROC.PS"
  printf 'globaldict /VX@NupNumber %s put \r\n\n' "${1:-1}"
  printf 'globaldict /VX@Orientation %s put \r\n\n' "${2:-0}"
  printf 'globaldict /VX@ColorMono %s put \r\n\n' "${3:-2}"
  [ "${4:-}" != card ] || printf 'globaldict /VX@ICCARD true  put \r\n\n'
}
