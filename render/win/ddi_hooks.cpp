#include "ddi_hooks.h"

#include "module_state.h"
#include "output_routing.h"
#include "start_doc.h"

namespace vex {
namespace {

enum Row : ULONG {
  RowRealizeBrush,
  RowCopyBits,
  RowBitBlt,
  RowStretchBlt,
  RowStretchBltROP,
  RowPlgBlt,
  RowTransparentBlt,
  RowAlphaBlend,
  RowGradientFill,
  RowTextOut,
  RowStrokePath,
  RowFillPath,
  RowStrokeAndFillPath,
  RowStartPage,
  RowSendPage,
  RowEscape,
  RowStartDoc,
  RowEndDoc,
  RowQueryFont,
  RowQueryFontTree,
  RowQueryFontData,
  RowQueryAdvanceWidths,
  RowFontManagement,
  RowGetGlyphMode,
  RowIcmCreateColorTransform,
  RowIcmDeleteColorTransform,
  RowQueryDeviceSupport,
};
static_assert(RowQueryDeviceSupport + 1 == kHookCount);

PDEVOBJ devobjOf(DHPDEV dhpdev) { return reinterpret_cast<PDEVOBJ>(dhpdev); }
PDEVOBJ devobjOf(SURFOBJ* pso) { return pso ? devobjOf(pso->dhpdev) : nullptr; }

// The driver's entry point of `row` for the PDEV behind `devobj`, or null when the call cannot be
// forwarded (no DEVOBJ, no per-PDEV block, or the driver has no such function).
template <typename F>
F driverEntry(PDEVOBJ devobj, Row row) {
  if (devobj == nullptr || devobj->pdevOEM == nullptr) return nullptr;
  PFN entry = static_cast<PluginPdev*>(devobj->pdevOEM)->driverEntries[row];
  return reinterpret_cast<F>(reinterpret_cast<void*>(entry));
}

// Hooks that only forward. A call that cannot be forwarded fails the way the function reports
// failure (FALSE, 0 or null) instead of jumping through a null pointer.
#define VEX_FORWARD(name, row, ret, fail, params, args, first)     \
  ret APIENTRY Hook##name params {                                 \
    auto entry = driverEntry<PFN_Drv##name>(devobjOf(first), row); \
    return entry ? entry args : fail;                              \
  }

VEX_FORWARD(CopyBits, RowCopyBits, BOOL, FALSE,
            (SURFOBJ * d, SURFOBJ* s, CLIPOBJ* c, XLATEOBJ* x, RECTL* r, POINTL* p),
            (d, s, c, x, r, p), d)
VEX_FORWARD(BitBlt, RowBitBlt, BOOL, FALSE,
            (SURFOBJ * t, SURFOBJ* s, SURFOBJ* m, CLIPOBJ* c, XLATEOBJ* x, RECTL* r, POINTL* ps,
             POINTL* pm, BRUSHOBJ* b, POINTL* pb, ROP4 rop),
            (t, s, m, c, x, r, ps, pm, b, pb, rop), t)
VEX_FORWARD(StretchBlt, RowStretchBlt, BOOL, FALSE,
            (SURFOBJ * d, SURFOBJ* s, SURFOBJ* m, CLIPOBJ* c, XLATEOBJ* x, COLORADJUSTMENT* ca,
             POINTL* ht, RECTL* rd, RECTL* rs, POINTL* pm, ULONG mode),
            (d, s, m, c, x, ca, ht, rd, rs, pm, mode), d)
VEX_FORWARD(StretchBltROP, RowStretchBltROP, BOOL, FALSE,
            (SURFOBJ * d, SURFOBJ* s, SURFOBJ* m, CLIPOBJ* c, XLATEOBJ* x, COLORADJUSTMENT* ca,
             POINTL* ht, RECTL* rd, RECTL* rs, POINTL* pm, ULONG mode, BRUSHOBJ* b, DWORD rop),
            (d, s, m, c, x, ca, ht, rd, rs, pm, mode, b, rop), d)
VEX_FORWARD(PlgBlt, RowPlgBlt, BOOL, FALSE,
            (SURFOBJ * t, SURFOBJ* s, SURFOBJ* m, CLIPOBJ* c, XLATEOBJ* x, COLORADJUSTMENT* ca,
             POINTL* bo, POINTFIX* fx, RECTL* r, POINTL* p, ULONG mode),
            (t, s, m, c, x, ca, bo, fx, r, p, mode), t)
VEX_FORWARD(TransparentBlt, RowTransparentBlt, BOOL, FALSE,
            (SURFOBJ * d, SURFOBJ* s, CLIPOBJ* c, XLATEOBJ* x, RECTL* rd, RECTL* rs, ULONG tc,
             ULONG reserved),
            (d, s, c, x, rd, rs, tc, reserved), d)
VEX_FORWARD(AlphaBlend, RowAlphaBlend, BOOL, FALSE,
            (SURFOBJ * d, SURFOBJ* s, CLIPOBJ* c, XLATEOBJ* x, RECTL* rd, RECTL* rs, BLENDOBJ* b),
            (d, s, c, x, rd, rs, b), d)
VEX_FORWARD(GradientFill, RowGradientFill, BOOL, FALSE,
            (SURFOBJ * d, CLIPOBJ* c, XLATEOBJ* x, TRIVERTEX* v, ULONG nv, PVOID mesh, ULONG nm,
             RECTL* ext, POINTL* dither, ULONG mode),
            (d, c, x, v, nv, mesh, nm, ext, dither, mode), d)
VEX_FORWARD(TextOut, RowTextOut, BOOL, FALSE,
            (SURFOBJ * s, STROBJ* str, FONTOBJ* f, CLIPOBJ* c, RECTL* extra, RECTL* opaque,
             BRUSHOBJ* fore, BRUSHOBJ* back, POINTL* org, MIX mix),
            (s, str, f, c, extra, opaque, fore, back, org, mix), s)
VEX_FORWARD(StrokePath, RowStrokePath, BOOL, FALSE,
            (SURFOBJ * s, PATHOBJ* p, CLIPOBJ* c, XFORMOBJ* x, BRUSHOBJ* b, POINTL* org,
             LINEATTRS* la, MIX mix),
            (s, p, c, x, b, org, la, mix), s)
VEX_FORWARD(FillPath, RowFillPath, BOOL, FALSE,
            (SURFOBJ * s, PATHOBJ* p, CLIPOBJ* c, BRUSHOBJ* b, POINTL* org, MIX mix, FLONG fl),
            (s, p, c, b, org, mix, fl), s)
VEX_FORWARD(StrokeAndFillPath, RowStrokeAndFillPath, BOOL, FALSE,
            (SURFOBJ * s, PATHOBJ* p, CLIPOBJ* c, XFORMOBJ* x, BRUSHOBJ* bs, LINEATTRS* la,
             BRUSHOBJ* bf, POINTL* org, MIX mix, FLONG fl),
            (s, p, c, x, bs, la, bf, org, mix, fl), s)
VEX_FORWARD(StartPage, RowStartPage, BOOL, FALSE, (SURFOBJ * s), (s), s)
VEX_FORWARD(Escape, RowEscape, ULONG, 0,
            (SURFOBJ * s, ULONG esc, ULONG cjIn, PVOID in, ULONG cjOut, PVOID out),
            (s, esc, cjIn, in, cjOut, out), s)
VEX_FORWARD(QueryFont, RowQueryFont, IFIMETRICS*, nullptr,
            (DHPDEV d, ULONG_PTR file, ULONG face, ULONG_PTR* id), (d, file, face, id), d)
VEX_FORWARD(QueryFontTree, RowQueryFontTree, PVOID, nullptr,
            (DHPDEV d, ULONG_PTR file, ULONG face, ULONG mode, ULONG_PTR* id),
            (d, file, face, mode, id), d)
VEX_FORWARD(QueryFontData, RowQueryFontData, LONG, -1,
            (DHPDEV d, FONTOBJ* f, ULONG mode, HGLYPH g, GLYPHDATA* gd, PVOID pv, ULONG cj),
            (d, f, mode, g, gd, pv, cj), d)
VEX_FORWARD(QueryAdvanceWidths, RowQueryAdvanceWidths, BOOL, FALSE,
            (DHPDEV d, FONTOBJ* f, ULONG mode, HGLYPH* g, PVOID widths, ULONG count),
            (d, f, mode, g, widths, count), d)
VEX_FORWARD(FontManagement, RowFontManagement, ULONG, 0,
            (SURFOBJ * s, FONTOBJ* f, ULONG mode, ULONG cjIn, PVOID in, ULONG cjOut, PVOID out),
            (s, f, mode, cjIn, in, cjOut, out), s)
VEX_FORWARD(GetGlyphMode, RowGetGlyphMode, ULONG, 0, (DHPDEV d, FONTOBJ* f), (d, f), d)
VEX_FORWARD(IcmCreateColorTransform, RowIcmCreateColorTransform, HANDLE, nullptr,
            (DHPDEV d, LPLOGCOLORSPACEW cs, PVOID src, ULONG cjSrc, PVOID dst, ULONG cjDst,
             PVOID target, ULONG cjTarget, DWORD reserved),
            (d, cs, src, cjSrc, dst, cjDst, target, cjTarget, reserved), d)
VEX_FORWARD(IcmDeleteColorTransform, RowIcmDeleteColorTransform, BOOL, FALSE,
            (DHPDEV d, HANDLE xform), (d, xform), d)
VEX_FORWARD(QueryDeviceSupport, RowQueryDeviceSupport, BOOL, FALSE,
            (SURFOBJ * s, XLATEOBJ* x, XFORMOBJ* xf, ULONG type, ULONG cjIn, PVOID in, ULONG cjOut,
             PVOID out),
            (s, x, xf, type, cjIn, in, cjOut, out), s)

#undef VEX_FORWARD

// Brushes are realised by the plug-in's caller; the driver is not asked.
BOOL APIENTRY HookRealizeBrush(BRUSHOBJ*, SURFOBJ*, SURFOBJ*, SURFOBJ*, XLATEOBJ*, ULONG) {
  return TRUE;
}

// Pages of bitmap surfaces go to the driver unchanged: nothing of ours belongs in the stream
// between two pages.
BOOL APIENTRY HookSendPage(SURFOBJ* pso) {
  auto entry = driverEntry<PFN_DrvSendPage>(devobjOf(pso), RowSendPage);
  return entry ? entry(pso) : FALSE;
}

BOOL APIENTRY HookStartDoc(SURFOBJ* pso, LPWSTR docName, DWORD jobId) {
  PDEVOBJ devobj = devobjOf(pso);
  if (devobj != nullptr) startDocument(devobj, docName, jobId);
  auto entry = driverEntry<PFN_DrvStartDoc>(devobj, RowStartDoc);
  return entry ? entry(pso, docName, jobId) : FALSE;
}

// The driver passes on the document's last bytes first; then what the secure output still holds
// is finished (an EPS job has no trailer of ours; a short job may still be collected).
BOOL APIENTRY HookEndDoc(SURFOBJ* pso, FLONG fl) {
  PDEVOBJ devobj = devobjOf(pso);
  auto entry = driverEntry<PFN_DrvEndDoc>(devobj, RowEndDoc);
  const BOOL ended = entry ? entry(pso, fl) : FALSE;
  endDocumentOutput(devobj);
  return ended;
}

template <typename F>
PFN asPfn(F f) {
  return reinterpret_cast<PFN>(reinterpret_cast<void*>(f));
}

}  // namespace

DRVFN DdiHookTable[kHookCount] = {
    {INDEX_DrvRealizeBrush, asPfn(HookRealizeBrush)},
    {INDEX_DrvCopyBits, asPfn(HookCopyBits)},
    {INDEX_DrvBitBlt, asPfn(HookBitBlt)},
    {INDEX_DrvStretchBlt, asPfn(HookStretchBlt)},
    {INDEX_DrvStretchBltROP, asPfn(HookStretchBltROP)},
    {INDEX_DrvPlgBlt, asPfn(HookPlgBlt)},
    {INDEX_DrvTransparentBlt, asPfn(HookTransparentBlt)},
    {INDEX_DrvAlphaBlend, asPfn(HookAlphaBlend)},
    {INDEX_DrvGradientFill, asPfn(HookGradientFill)},
    {INDEX_DrvTextOut, asPfn(HookTextOut)},
    {INDEX_DrvStrokePath, asPfn(HookStrokePath)},
    {INDEX_DrvFillPath, asPfn(HookFillPath)},
    {INDEX_DrvStrokeAndFillPath, asPfn(HookStrokeAndFillPath)},
    {INDEX_DrvStartPage, asPfn(HookStartPage)},
    {INDEX_DrvSendPage, asPfn(HookSendPage)},
    {INDEX_DrvEscape, asPfn(HookEscape)},
    {INDEX_DrvStartDoc, asPfn(HookStartDoc)},
    {INDEX_DrvEndDoc, asPfn(HookEndDoc)},
    {INDEX_DrvQueryFont, asPfn(HookQueryFont)},
    {INDEX_DrvQueryFontTree, asPfn(HookQueryFontTree)},
    {INDEX_DrvQueryFontData, asPfn(HookQueryFontData)},
    {INDEX_DrvQueryAdvanceWidths, asPfn(HookQueryAdvanceWidths)},
    {INDEX_DrvFontManagement, asPfn(HookFontManagement)},
    {INDEX_DrvGetGlyphMode, asPfn(HookGetGlyphMode)},
    {INDEX_DrvIcmCreateColorTransform, asPfn(HookIcmCreateColorTransform)},
    {INDEX_DrvIcmDeleteColorTransform, asPfn(HookIcmDeleteColorTransform)},
    {INDEX_DrvQueryDeviceSupport, asPfn(HookQueryDeviceSupport)},
};

void bindDriverEntries(PluginPdev& pdev, const DRVENABLEDATA* driverTable) {
  for (ULONG row = 0; row < kHookCount; ++row) {
    pdev.driverEntries[row] = nullptr;
    if (driverTable == nullptr || driverTable->pdrvfn == nullptr) continue;
    for (ULONG i = 0; i < driverTable->c; ++i) {
      if (driverTable->pdrvfn[i].iFunc == DdiHookTable[row].iFunc) {
        pdev.driverEntries[row] = driverTable->pdrvfn[i].pfn;
        break;
      }
    }
  }
}

}  // namespace vex
