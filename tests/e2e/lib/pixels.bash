# Ghostscript pages and pixel checks for the end-to-end tests of the PostScript the plug-in adds
# (sourced after e2e.bash). Pages are rendered at 36 dpi: one pixel is two points.

# Renders job NAME's file to $work/NAME-<page>.png; fails the test when Ghostscript reports an
# error. Returns non-zero when it did not render.
render_pages() {  # name
  local name=$1
  rm -f "$work/$1"-*.png
  if ! gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=png16m -r36 -sOutputFile="$work/$name-%d.png" \
       "$work/$name.prn" >"$work/$name.gs" 2>&1; then
    fail "$name: Ghostscript failed: $(head -5 "$work/$name.gs")"
    return 1
  fi
  if grep -q -i 'error' "$work/$name.gs"; then
    fail "$name: Ghostscript reported: $(grep -i -m3 'error' "$work/$name.gs")"
    return 1
  fi
}

# Pages Ghostscript made of job NAME.
page_count() { find "$work" -maxdepth 1 -name "$1-*.png" | wc -l; }

# Fraction of the pixels of a box (in pixels, from the top left) that pass an fx test.
pixel_fraction() {  # png x y w h fx-expression
  convert "$1" -crop "${4}x${5}+${2}+${3}" +repage -fx "$6" -format '%[fx:mean]' info:
}

# The pure colours the tests draw with (Ghostscript renders them without blending).
is_green='(g>0.8&&r<0.25&&b<0.25)'
is_blue='(b>0.85&&r<0.1&&g<0.1)'

# True when more than `min` (default 0.005) of the box passes.
has_colour() {  # png x y w h fx [min]
  local f
  f=$(pixel_fraction "$1" "$2" "$3" "$4" "$5" "$6")
  awk -v f="$f" -v m="${7:-0.005}" 'BEGIN { exit !(f > m) }'
}

# Keeps a few rendered pages as test artefacts in the build tree.
keep_artefact() {  # png name
  mkdir -p "$tree/e2e-artefacts"
  cp "$1" "$tree/e2e-artefacts/$2"
}
