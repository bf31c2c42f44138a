#include "driver_ddi.h"

#include "function_cast.h"

namespace vex::host {
namespace {

DdiRecord g_records[kDdiIndexLimit];

BOOL note(ULONG index, SURFOBJ* surface) {
  DdiRecord& r = g_records[index];
  ++r.calls;
  r.surface = surface;
  return TRUE;
}

BOOL APIENTRY drvStartDoc(SURFOBJ* pso, LPWSTR, DWORD jobId) {
  g_records[INDEX_DrvStartDoc].jobId = jobId;
  return note(INDEX_DrvStartDoc, pso);
}
BOOL APIENTRY drvEndDoc(SURFOBJ* pso, FLONG) { return note(INDEX_DrvEndDoc, pso); }
BOOL APIENTRY drvStartPage(SURFOBJ* pso) { return note(INDEX_DrvStartPage, pso); }
BOOL APIENTRY drvSendPage(SURFOBJ* pso) { return note(INDEX_DrvSendPage, pso); }
BOOL APIENTRY drvTextOut(SURFOBJ* pso, STROBJ*, FONTOBJ*, CLIPOBJ*, RECTL*, RECTL*, BRUSHOBJ*,
                         BRUSHOBJ*, POINTL*, MIX) {
  return note(INDEX_DrvTextOut, pso);
}
BOOL APIENTRY drvBitBlt(SURFOBJ* dst, SURFOBJ*, SURFOBJ*, CLIPOBJ*, XLATEOBJ*, RECTL*, POINTL*,
                        POINTL*, BRUSHOBJ*, POINTL*, ROP4) {
  return note(INDEX_DrvBitBlt, dst);
}
BOOL APIENTRY drvCopyBits(SURFOBJ* dst, SURFOBJ*, CLIPOBJ*, XLATEOBJ*, RECTL*, POINTL*) {
  return note(INDEX_DrvCopyBits, dst);
}
BOOL APIENTRY drvStretchBlt(SURFOBJ* dst, SURFOBJ*, SURFOBJ*, CLIPOBJ*, XLATEOBJ*, COLORADJUSTMENT*,
                            POINTL*, RECTL*, RECTL*, POINTL*, ULONG) {
  return note(INDEX_DrvStretchBlt, dst);
}
BOOL APIENTRY drvStrokePath(SURFOBJ* pso, PATHOBJ*, CLIPOBJ*, XFORMOBJ*, BRUSHOBJ*, POINTL*,
                            LINEATTRS*, MIX) {
  return note(INDEX_DrvStrokePath, pso);
}
BOOL APIENTRY drvFillPath(SURFOBJ* pso, PATHOBJ*, CLIPOBJ*, BRUSHOBJ*, POINTL*, MIX, FLONG) {
  return note(INDEX_DrvFillPath, pso);
}
BOOL APIENTRY drvStrokeAndFillPath(SURFOBJ* pso, PATHOBJ*, CLIPOBJ*, XFORMOBJ*, BRUSHOBJ*,
                                   LINEATTRS*, BRUSHOBJ*, POINTL*, MIX, FLONG) {
  return note(INDEX_DrvStrokeAndFillPath, pso);
}
BOOL APIENTRY drvRealizeBrush(BRUSHOBJ*, SURFOBJ* target, SURFOBJ*, SURFOBJ*, XLATEOBJ*, ULONG) {
  return note(INDEX_DrvRealizeBrush, target);
}
ULONG APIENTRY drvEscape(SURFOBJ* pso, ULONG, ULONG, PVOID, ULONG, PVOID) {
  note(INDEX_DrvEscape, pso);
  return 0;  // no escape is supported
}

template <typename F>
PFN asPfn(F function) {
  return functionCast<PFN>(function);
}

DRVFN g_functions[] = {
    {INDEX_DrvStartDoc, asPfn(drvStartDoc)},
    {INDEX_DrvEndDoc, asPfn(drvEndDoc)},
    {INDEX_DrvStartPage, asPfn(drvStartPage)},
    {INDEX_DrvSendPage, asPfn(drvSendPage)},
    {INDEX_DrvTextOut, asPfn(drvTextOut)},
    {INDEX_DrvBitBlt, asPfn(drvBitBlt)},
    {INDEX_DrvCopyBits, asPfn(drvCopyBits)},
    {INDEX_DrvStretchBlt, asPfn(drvStretchBlt)},
    {INDEX_DrvStrokePath, asPfn(drvStrokePath)},
    {INDEX_DrvFillPath, asPfn(drvFillPath)},
    {INDEX_DrvStrokeAndFillPath, asPfn(drvStrokeAndFillPath)},
    {INDEX_DrvRealizeBrush, asPfn(drvRealizeBrush)},
    {INDEX_DrvEscape, asPfn(drvEscape)},
};

DRVENABLEDATA g_table = {DDI_DRIVER_VERSION_NT5, sizeof(g_functions) / sizeof(g_functions[0]),
                         g_functions};

}  // namespace

DdiRecord& ddiRecord(ULONG index) { return g_records[index < kDdiIndexLimit ? index : 0]; }

DRVENABLEDATA& driverFunctions() { return g_table; }

PFN findFunction(const DRVENABLEDATA& table, ULONG index) {
  for (ULONG i = 0; i < table.c; ++i) {
    if (table.pdrvfn[i].iFunc == index) return table.pdrvfn[i].pfn;
  }
  return nullptr;
}

}  // namespace vex::host
