#!/usr/bin/env bash
# The driver's feature code: render-host writes the PPD code of every chosen option that has
# code, with its feature comments, in the document setup after the plug-in's set-up block
# (page-setup features at the start of every page's setup), in order-dependency order; JCL
# features and options without code write nothing. The greyscale colour mode prints grey and the
# automatic one keeps colour; a PPD whose code is over-long or never ends writes no code.
#   tests/e2e/feature_code.sh <win32 build tree>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
tree=${1:?usage: feature_code.sh <build tree>}
. "$here/lib/e2e.bash"
. "$here/lib/pixels.bash"

sample_ppd=$root/package/files/VEXDEMO.PPD

# Renders job NAME's file through the prelude to $work/NAME-<page>.png.
render_on_printer() {  # name
  rm -f "$work/$1"-*.png
  if ! gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=png16m -r36 -sOutputFile="$work/$1-%d.png" \
       "$here/lib/grey_printer.ps" "$work/$1.prn" >"$work/$1.gs" 2>&1 ||
     grep -q -i 'error' "$work/$1.gs"; then
    fail "$1: Ghostscript failed: $(head -5 "$work/$1.gs")"
    return 1
  fi
}

# The largest difference between a pixel's colour channels (0: the page is grey).
colourfulness() { convert "$1" -fx 'max(abs(r-g),max(abs(g-b),abs(b-r)))' -format '%[fx:maxima]' info:; }

# The job's document setup, from %%BeginSetup to %%EndSetup.
document_setup() { sed -n '/^%%BeginSetup$/,/^%%EndSetup$/p' "$work/$1.prn"; }

# Prints job NAME with the given lines; fails the test when the stand-in does not end with 0.
print_job() {  # name, lines...
  local name=$1; shift
  job_file "$name" '[Printer]' 'Model.JobInfoDll=' "$@"
  local rc=0
  render "$name" || rc=$?
  [ "$rc" -eq 0 ] || { fail "$name: render-host exited with $rc: $(cat "$work/$name.err")"; return 1; }
}

same_text() {  # what, expected, actual
  [ "$2" = "$3" ] || fail "$1: expected"$'\n'"$2"$'\n'"got"$'\n'"$3"
}

grey_block='%%BeginFeature: *VXControl Gray
  << /ProcessColorModel /DeviceGray >> setpagedevice
%%EndFeature'
page_size='<< /PageSize [595 842] >> setpagedevice'

# A PPD of the test's own in a package folder: the sample PPD through a sed script.
package_with() {  # folder, sed script
  mkdir -p "$work/$1"
  sed "$2" "$sample_ppd" >"$work/$1/VEXDEMO.PPD"
}

# 1. Greyscale prints grey, the automatic mode keeps colour. The JCL job type and the options
#    without code write no feature block: the greyscale code is the document setup's only one.
for mode in Gray Auto; do
  print_job "$mode" '[Features]' 'VXJob_Type=Normal' 'VXHDDSpool=False' 'VXOverlay=None' \
    "VXControl=$mode" '[Document]' "Name=$mode" 'Pages=2' || continue
  [ "$(grep -a -c '^%%BeginFeature' "$work/$mode.prn")" -eq 1 ] ||
    fail "$mode: not exactly one feature block: $(grep -a '^%%BeginFeature' "$work/$mode.prn")"
  render_on_printer "$mode" || continue
  [ "$(page_count "$mode")" -eq 2 ] || fail "$mode: $(page_count "$mode") pages"
  for png in "$work/$mode"-*.png; do
    [ "$(convert "$png" -format '%[fx:minima]' info:)" != 1 ] || fail "$mode: $png is blank"
    c=$(colourfulness "$png")
    if [ "$mode" = Gray ]; then
      [ "$c" = 0 ] || fail "Gray: a coloured pixel on $(basename "$png") (channels differ by $c)"
    else
      awk -v c="$c" 'BEGIN { exit !(c > 0.5) }' || fail "Auto: $(basename "$png") has no colour"
    fi
  done
done
[ -f "$work/Gray-1.png" ] && keep_artefact "$work/Gray-1.png" feature-code-gray-page1.png
same_text "Gray: document setup" "%%BeginSetup
$grey_block
$page_size
%%EndSetup" "$(document_setup Gray)"
# Without the plug-in the driver writes the same code.
job_file Gray-direct '[Features]' 'VXControl=Gray'
if render Gray-direct --no-plugin; then
  same_text "Gray without the plug-in: document setup" "%%BeginSetup
$grey_block
$page_size
%%EndSetup" "$(document_setup Gray-direct)"
else
  fail "Gray-direct: render-host failed: $(cat "$work/Gray-direct.err")"
fi

# 2. Order dependency: Duplex (40) after the colour mode (22), whatever the order of the choices;
#    PageRegion (30) between them. Moved to the page setup, Duplex is written on every page at
#    the start of its setup, before the page's save.
if print_job ordered '[Features]' 'Duplex=DuplexTumble' 'PageRegion=A4' 'VXControl=Gray'; then
  same_text "ordered: document setup" "%%BeginSetup
$grey_block
%%BeginFeature: *PageRegion A4
<< /PageSize [595 842] /ImagingBBox null >> setpagedevice
%%EndFeature
%%BeginFeature: *Duplex DuplexTumble
<< /Duplex true /Tumble true >> setpagedevice
%%EndFeature
$page_size
%%EndSetup" "$(document_setup ordered)"
  gs_accepts ordered "$work/ordered.prn"
fi
package_with page-duplex 's/^\*OrderDependency: 40 AnySetup \*Duplex/*OrderDependency: 40 PageSetup *Duplex/'
if print_job page-duplex 'Package=page-duplex' '[Features]' 'Duplex=DuplexTumble' \
     'VXControl=Gray' '[Document]' 'Pages=3'; then
  same_text "page-duplex: document setup" "%%BeginSetup
$grey_block
$page_size
%%EndSetup" "$(document_setup page-duplex)"
  page_setup='%%BeginPageSetup
%%BeginFeature: *Duplex DuplexTumble
<< /Duplex true /Tumble true >> setpagedevice
%%EndFeature
/VXHsave save def'
  same_text "page-duplex: page setups" "$page_setup"$'\n'"$page_setup"$'\n'"$page_setup" \
    "$(sed -n '/^%%BeginPageSetup$/,/^\/VXHsave save def$/p' "$work/page-duplex.prn")"
  gs_accepts page-duplex "$work/page-duplex.prn"
fi

# 3. The feature code follows the plug-in's set-up block (its overlay forms).
printf '%s\r\n' '[OEMFiles]' 'OEMDriverFile1=vexps.dll' 'OEMConfigFile1=vexui.dll' \
  '[DependentFiles]' 'PROCSET_JP=VEXPROC.PS' 'OVERLAY_JP=VEXOVL.PS' \
  '[OverlaySetting]' 'Overlay_Num=1' 'History_Num=0' '[Overlay_Info 0]' 'Overlay_Name=All' \
  'PageMode=0' 'CustomPage=' 'Form_Num=1' 'Form_Name 0=ALLPAGES' >"$work/FEATOVL.INI"
if print_job overlay 'Name=VEX WM Overlay' 'Driver=VEX WM Overlay PS' \
     "Files=$(winpath "$work/FEATOVL.INI")" '[Features]' 'VXOverlay=Use' 'VXControl=Gray' \
     '[Record]' 'overlayList=0,255,255,255'; then
  setup=$(document_setup overlay | tr -d '\r')
  forms=$(grep -n -m1 '^%%BeginNonPPDFeature: Form' <<<"$setup" | cut -d: -f1 || true)
  feature=$(grep -n -m1 '^%%BeginFeature: \*VXControl Gray' <<<"$setup" | cut -d: -f1 || true)
  if [ -z "$forms" ] || [ -z "$feature" ]; then
    fail "overlay: the setup lacks the form block or the feature: $setup"
  else
    [ "$forms" -lt "$feature" ] || fail "overlay: the feature code comes before the plug-in's block"
  fi
  [ "$(tail -n 2 <<<"$setup")" = "$page_size"$'\n''%%EndSetup' ] ||
    fail "overlay: the setup does not end with the page size: $setup"
fi

# 4. Hostile PPD files: code longer than any driver keeps (the options after it still count),
#    code whose quote never closes (the file ends inside it). The job prints and carries no code
#    of the feature.
package_with long-code "/^\*VXControl Gray/{n;s/^.*\$/$(printf 'x%.0s' {1..70000}) &/}"
package_with endless-code '/^\*VXControl Gray/{n;s/"//;q}'
for case in 'long-code:%%BeginFeature: *Duplex None
<< /Duplex false >> setpagedevice
%%EndFeature
' 'endless-code:'; do
  name=${case%%:*}
  if print_job "$name" "Package=$name" '[Features]' 'VXControl=Gray' 'Duplex=None'; then
    same_text "$name: document setup" "%%BeginSetup
${case#*:}$page_size
%%EndSetup" "$(document_setup "$name")"
  fi
done
# Back to the sample PPD for the jobs that follow in this Wine prefix.
print_job restore '[Features]' 'VXJob_Type=Normal' || true

finish feature_code
