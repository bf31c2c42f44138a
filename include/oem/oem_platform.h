// Declarations of the printer-driver plug-in interfaces, driver structures and graphics (DDI)
// types that the mingw-w64 headers do not provide. Written from the platform's public
// documentation; layouts are checked below for both word sizes.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <winspool.h>
#include <compstui.h>

#include <cstddef>

// ---------------------------------------------------------------------------------------------
// Graphics engine handles and objects (only what the hook table needs to forward calls).

DECLARE_HANDLE(DHPDEV);
DECLARE_HANDLE(DHSURF);
DECLARE_HANDLE(HSURF);
DECLARE_HANDLE(HDEV);

typedef ULONG HGLYPH;
typedef ULONG MIX;
typedef ULONG ROP4;
typedef ULONG FLONG;

struct POINTFIX {
  LONG x;
  LONG y;
};

// Opaque engine objects: the plug-in only passes their addresses along.
struct BRUSHOBJ;
struct CLIPOBJ;
struct XLATEOBJ;
struct PATHOBJ;
struct STROBJ;
struct FONTOBJ;
struct XFORMOBJ;
struct LINEATTRS;
struct BLENDOBJ;
struct GLYPHDATA;
struct IFIMETRICS;
struct GDIINFO;
struct DEVINFO;

struct SURFOBJ {
  DHSURF dhsurf;
  HSURF hsurf;
  DHPDEV dhpdev;  // for a plug-in of this driver: the driver's DEVOBJ
  HDEV hdev;
  SIZEL sizlBitmap;
  ULONG cjBits;
  PVOID pvBits;
  PVOID pvScan0;
  LONG lDelta;
  ULONG iUniq;
  ULONG iBitmapFormat;
  USHORT iType;
  USHORT fjBitmap;
};

constexpr USHORT STYPE_BITMAP = 0;
constexpr USHORT STYPE_DEVICE = 1;
constexpr USHORT STYPE_DEVBITMAP = 3;

typedef LONG_PTR(APIENTRY* PFN)();

struct DRVFN {
  ULONG iFunc;
  PFN pfn;
};

struct DRVENABLEDATA {
  ULONG iDriverVersion;
  ULONG c;
  DRVFN* pdrvfn;
};

// Function indexes of the graphics entry points the rendering plug-in hooks.
constexpr ULONG INDEX_DrvRealizeBrush = 12;
constexpr ULONG INDEX_DrvStrokePath = 14;
constexpr ULONG INDEX_DrvFillPath = 15;
constexpr ULONG INDEX_DrvStrokeAndFillPath = 16;
constexpr ULONG INDEX_DrvBitBlt = 18;
constexpr ULONG INDEX_DrvCopyBits = 19;
constexpr ULONG INDEX_DrvStretchBlt = 20;
constexpr ULONG INDEX_DrvTextOut = 23;
constexpr ULONG INDEX_DrvEscape = 24;
constexpr ULONG INDEX_DrvQueryFont = 26;
constexpr ULONG INDEX_DrvQueryFontTree = 27;
constexpr ULONG INDEX_DrvQueryFontData = 28;
constexpr ULONG INDEX_DrvSendPage = 32;
constexpr ULONG INDEX_DrvStartPage = 33;
constexpr ULONG INDEX_DrvEndDoc = 34;
constexpr ULONG INDEX_DrvStartDoc = 35;
constexpr ULONG INDEX_DrvGetGlyphMode = 37;
constexpr ULONG INDEX_DrvFontManagement = 47;
constexpr ULONG INDEX_DrvQueryAdvanceWidths = 53;
constexpr ULONG INDEX_DrvIcmCreateColorTransform = 64;
constexpr ULONG INDEX_DrvIcmDeleteColorTransform = 65;
constexpr ULONG INDEX_DrvGradientFill = 68;
constexpr ULONG INDEX_DrvStretchBltROP = 69;
constexpr ULONG INDEX_DrvPlgBlt = 70;
constexpr ULONG INDEX_DrvAlphaBlend = 71;
constexpr ULONG INDEX_DrvTransparentBlt = 74;
constexpr ULONG INDEX_DrvQueryDeviceSupport = 76;

constexpr ULONG DDI_DRIVER_VERSION_NT5 = 0x00030000;

// Signatures of the hooked entry points.
typedef BOOL(APIENTRY* PFN_DrvRealizeBrush)(BRUSHOBJ*, SURFOBJ*, SURFOBJ*, SURFOBJ*, XLATEOBJ*, ULONG);
typedef BOOL(APIENTRY* PFN_DrvCopyBits)(SURFOBJ*, SURFOBJ*, CLIPOBJ*, XLATEOBJ*, RECTL*, POINTL*);
typedef BOOL(APIENTRY* PFN_DrvBitBlt)(SURFOBJ*, SURFOBJ*, SURFOBJ*, CLIPOBJ*, XLATEOBJ*, RECTL*,
                                      POINTL*, POINTL*, BRUSHOBJ*, POINTL*, ROP4);
typedef BOOL(APIENTRY* PFN_DrvStretchBlt)(SURFOBJ*, SURFOBJ*, SURFOBJ*, CLIPOBJ*, XLATEOBJ*,
                                          COLORADJUSTMENT*, POINTL*, RECTL*, RECTL*, POINTL*, ULONG);
typedef BOOL(APIENTRY* PFN_DrvStretchBltROP)(SURFOBJ*, SURFOBJ*, SURFOBJ*, CLIPOBJ*, XLATEOBJ*,
                                             COLORADJUSTMENT*, POINTL*, RECTL*, RECTL*, POINTL*,
                                             ULONG, BRUSHOBJ*, DWORD);
typedef BOOL(APIENTRY* PFN_DrvPlgBlt)(SURFOBJ*, SURFOBJ*, SURFOBJ*, CLIPOBJ*, XLATEOBJ*,
                                      COLORADJUSTMENT*, POINTL*, POINTFIX*, RECTL*, POINTL*, ULONG);
typedef BOOL(APIENTRY* PFN_DrvTransparentBlt)(SURFOBJ*, SURFOBJ*, CLIPOBJ*, XLATEOBJ*, RECTL*,
                                              RECTL*, ULONG, ULONG);
typedef BOOL(APIENTRY* PFN_DrvAlphaBlend)(SURFOBJ*, SURFOBJ*, CLIPOBJ*, XLATEOBJ*, RECTL*, RECTL*,
                                          BLENDOBJ*);
typedef BOOL(APIENTRY* PFN_DrvGradientFill)(SURFOBJ*, CLIPOBJ*, XLATEOBJ*, TRIVERTEX*, ULONG, PVOID,
                                            ULONG, RECTL*, POINTL*, ULONG);
typedef BOOL(APIENTRY* PFN_DrvTextOut)(SURFOBJ*, STROBJ*, FONTOBJ*, CLIPOBJ*, RECTL*, RECTL*,
                                       BRUSHOBJ*, BRUSHOBJ*, POINTL*, MIX);
typedef BOOL(APIENTRY* PFN_DrvStrokePath)(SURFOBJ*, PATHOBJ*, CLIPOBJ*, XFORMOBJ*, BRUSHOBJ*,
                                          POINTL*, LINEATTRS*, MIX);
typedef BOOL(APIENTRY* PFN_DrvFillPath)(SURFOBJ*, PATHOBJ*, CLIPOBJ*, BRUSHOBJ*, POINTL*, MIX,
                                        FLONG);
typedef BOOL(APIENTRY* PFN_DrvStrokeAndFillPath)(SURFOBJ*, PATHOBJ*, CLIPOBJ*, XFORMOBJ*, BRUSHOBJ*,
                                                 LINEATTRS*, BRUSHOBJ*, POINTL*, MIX, FLONG);
typedef BOOL(APIENTRY* PFN_DrvStartPage)(SURFOBJ*);
typedef BOOL(APIENTRY* PFN_DrvSendPage)(SURFOBJ*);
typedef ULONG(APIENTRY* PFN_DrvEscape)(SURFOBJ*, ULONG, ULONG, PVOID, ULONG, PVOID);
typedef BOOL(APIENTRY* PFN_DrvStartDoc)(SURFOBJ*, LPWSTR, DWORD);
typedef BOOL(APIENTRY* PFN_DrvEndDoc)(SURFOBJ*, FLONG);
typedef IFIMETRICS*(APIENTRY* PFN_DrvQueryFont)(DHPDEV, ULONG_PTR, ULONG, ULONG_PTR*);
typedef PVOID(APIENTRY* PFN_DrvQueryFontTree)(DHPDEV, ULONG_PTR, ULONG, ULONG, ULONG_PTR*);
typedef LONG(APIENTRY* PFN_DrvQueryFontData)(DHPDEV, FONTOBJ*, ULONG, HGLYPH, GLYPHDATA*, PVOID,
                                             ULONG);
typedef BOOL(APIENTRY* PFN_DrvQueryAdvanceWidths)(DHPDEV, FONTOBJ*, ULONG, HGLYPH*, PVOID, ULONG);
typedef ULONG(APIENTRY* PFN_DrvFontManagement)(SURFOBJ*, FONTOBJ*, ULONG, ULONG, PVOID, ULONG,
                                               PVOID);
typedef ULONG(APIENTRY* PFN_DrvGetGlyphMode)(DHPDEV, FONTOBJ*);
typedef HANDLE(APIENTRY* PFN_DrvIcmCreateColorTransform)(DHPDEV, LPLOGCOLORSPACEW, PVOID, ULONG,
                                                         PVOID, ULONG, PVOID, ULONG, DWORD);
typedef BOOL(APIENTRY* PFN_DrvIcmDeleteColorTransform)(DHPDEV, HANDLE);
typedef BOOL(APIENTRY* PFN_DrvQueryDeviceSupport)(SURFOBJ*, XLATEOBJ*, XFORMOBJ*, ULONG, ULONG,
                                                  PVOID, ULONG, PVOID);

// ---------------------------------------------------------------------------------------------
// Driver objects handed to plug-ins.

struct DEVOBJ;
typedef DEVOBJ* PDEVOBJ;
typedef PVOID PDEVOEM;

typedef DWORD(APIENTRY* PFN_DrvWriteSpoolBuf)(PDEVOBJ pdevobj, PVOID pBuffer, DWORD cbSize);
typedef INT(APIENTRY* PFN_DrvXMoveTo)(PDEVOBJ pdevobj, INT x, DWORD dwFlags);
typedef INT(APIENTRY* PFN_DrvYMoveTo)(PDEVOBJ pdevobj, INT y, DWORD dwFlags);
typedef BOOL(APIENTRY* PFN_DrvGetDriverSetting)(PVOID pdriverobj, PCSTR Feature, PVOID pOutput,
                                                DWORD cbSize, PDWORD pcbNeeded,
                                                PDWORD pdwOptionsReturned);
typedef BOOL(APIENTRY* PFN_DrvUpdateUISetting)(PVOID pdriverobj, PVOID pOptItem,
                                               DWORD dwPreviousSelection, DWORD dwMode);

// The driver's procedure table; the plug-ins use the first four entries.
struct DRVPROCS {
  PFN_DrvWriteSpoolBuf DrvWriteSpoolBuf;
  PFN_DrvXMoveTo DrvXMoveTo;
  PFN_DrvYMoveTo DrvYMoveTo;
  PFN_DrvGetDriverSetting DrvGetDriverSetting;
  PVOID BGetStandardVariable;
  PVOID BGetGPDData;
  PVOID DrvUniTextOut;
  PVOID BGetAttribute;
};
typedef DRVPROCS* PDRVPROCS;

struct DEVOBJ {
  DWORD dwSize;
  PDEVOEM pdevOEM;
  HANDLE hEngine;
  HANDLE hPrinter;
  HANDLE hOEM;
  PDEVMODEW pPublicDM;
  PVOID pOEMDM;
  PDRVPROCS pDrvProcs;
};

struct OEM_DMEXTRAHEADER {
  DWORD dwSize;
  DWORD dwSignature;
  DWORD dwVersion;
};

struct OEMDMPARAM {
  DWORD cbSize;
  PVOID pdriverobj;
  HANDLE hPrinter;
  HANDLE hModule;
  PDEVMODEW pPublicDMIn;
  PDEVMODEW pPublicDMOut;
  PVOID pOEMDMIn;
  PVOID pOEMDMOut;
  DWORD cbBufSize;
};
typedef OEMDMPARAM* POEMDMPARAM;

struct OEMUIPROCS {
  PFN_DrvGetDriverSetting DrvGetDriverSetting;
  PFN_DrvUpdateUISetting DrvUpdateUISetting;
};
typedef OEMUIPROCS* POEMUIPROCS;

struct OEMUIOBJ {
  DWORD cbSize;
  POEMUIPROCS pOemUIProcs;
};
typedef OEMUIOBJ* POEMUIOBJ;

// The driver's own data behind each of its option items (OPTITEM::UserData): the item's
// identifier and, for PPD features, the feature keyword in the ANSI code page.
struct USERDATA {
  DWORD dwSize;
  ULONG_PTR dwItemID;
  PSTR pKeyWordName;
  DWORD dwReserved[8];
};
typedef USERDATA* PUSERDATA;

// Argument of DevQueryPrintEx (absent from the cross headers).
struct DEVQUERYPRINT_INFO {
  WORD cbSize;
  WORD Level;
  HANDLE hPrinter;
  PDEVMODEW pDevMode;
  LPWSTR pszErrorStr;
  DWORD cchErrorStr;
  DWORD cchNeeded;
};
typedef DEVQUERYPRINT_INFO* PDEVQUERYPRINT_INFO;

struct OEMCUIPPARAM;
typedef LONG(APIENTRY* OEMCUIPCALLBACK)(PCPSUICBPARAM, OEMCUIPPARAM*);

struct OEMCUIPPARAM {
  DWORD cbSize;
  POEMUIOBJ poemuiobj;
  HANDLE hPrinter;
  PWSTR pPrinterName;
  HANDLE hModule;
  HANDLE hOEMHeap;
  PDEVMODEW pPublicDM;
  PVOID pOEMDM;
  DWORD dwFlags;
  POPTITEM pDrvOptItems;
  DWORD cDrvOptItems;
  POPTITEM pOEMOptItems;
  DWORD cOEMOptItems;
  PVOID pOEMUserData;
  OEMCUIPCALLBACK OEMCUIPCallback;
};
typedef OEMCUIPPARAM* POEMCUIPPARAM;

struct OEMUIPSPARAM {
  DWORD cbSize;
  POEMUIOBJ poemuiobj;
  HANDLE hPrinter;
  PWSTR pPrinterName;
  HANDLE hModule;
  HANDLE hOEMHeap;
  PDEVMODEW pPublicDM;
  PVOID pOEMDM;
  PVOID pOEMUserData;
  DWORD dwFlags;
  PVOID pOemEntry;
};
typedef OEMUIPSPARAM* POEMUIPSPARAM;

// OEMUIPSPARAM.dwFlags: the sheet's permission and origin flags.
constexpr DWORD DM_ADVANCED = 0x10;
constexpr DWORD DM_NOPERMISSION = 0x20;  // the user may not change the settings
constexpr DWORD DM_USER_DEFAULT = 0x40;

// GetInfo modes.
constexpr DWORD OEMGI_GETSIGNATURE = 1;
constexpr DWORD OEMGI_GETINTERFACEVERSION = 2;
constexpr DWORD OEMGI_GETVERSION = 3;
constexpr DWORD OEMGI_GETPUBLISHERINFO = 4;

// DevMode modes.
constexpr DWORD OEMDM_SIZE = 1;
constexpr DWORD OEMDM_DEFAULT = 2;
constexpr DWORD OEMDM_CONVERT = 3;
constexpr DWORD OEMDM_MERGE = 4;

// CommonUIProp and HideStandardUI modes.
constexpr DWORD OEMCUIP_DOCPROP = 1;
constexpr DWORD OEMCUIP_PRNPROP = 2;

// Predefined DrvGetDriverSetting indexes (passed in place of a keyword).
constexpr ULONG_PTR OEMGDS_PSDM_FLAGS = 1;
constexpr ULONG_PTR OEMGDS_PSDM_DIALECT = 2;
constexpr ULONG_PTR OEMGDS_PSDM_TTDLFMT = 3;
constexpr ULONG_PTR OEMGDS_PSDM_NUP = 4;
constexpr ULONG_PTR OEMGDS_PSDM_PSLEVEL = 5;
constexpr ULONG_PTR OEMGDS_PSDM_CUSTOMSIZE = 6;
constexpr ULONG_PTR OEMGDS_MAX = 0x10000;

// Values of OEMGDS_PSDM_DIALECT.
constexpr DWORD PS_DIALECT_SPEED = 0;
constexpr DWORD PS_DIALECT_PORTABILITY = 1;
constexpr DWORD PS_DIALECT_EPS = 2;
constexpr DWORD PS_DIALECT_ARCHIVE = 3;

// ---------------------------------------------------------------------------------------------
// COM interfaces. Every method is __stdcall; the structs carry no virtual destructor so that the
// method table is exactly the platform's.

// {6D6ABF26-9F38-11D1-882A-00C04FB961EC}
constexpr CLSID CLSID_OEMRENDER = {0x6d6abf26, 0x9f38, 0x11d1, {0x88, 0x2a, 0x00, 0xc0, 0x4f, 0xb9, 0x61, 0xec}};
// {ABCE80D7-9F46-11D1-882A-00C04FB961EC}
constexpr CLSID CLSID_OEMUI = {0xabce80d7, 0x9f46, 0x11d1, {0x88, 0x2a, 0x00, 0xc0, 0x4f, 0xb9, 0x61, 0xec}};
// {688342B5-8E1A-11D1-881F-00C04FB961EC}
constexpr IID IID_IPrintOemPS = {0x688342b5, 0x8e1a, 0x11d1, {0x88, 0x1f, 0x00, 0xc0, 0x4f, 0xb9, 0x61, 0xec}};
// {BECF7F34-51B3-46C9-8A1C-18679BD21F36}
constexpr IID IID_IPrintOemPS2 = {0xbecf7f34, 0x51b3, 0x46c9, {0x8a, 0x1c, 0x18, 0x67, 0x9b, 0xd2, 0x1f, 0x36}};
// {D90060C7-8E1A-11D1-881F-00C04FB961EC}
constexpr IID IID_IPrintOemDriverPS = {0xd90060c7, 0x8e1a, 0x11d1, {0x88, 0x1f, 0x00, 0xc0, 0x4f, 0xb9, 0x61, 0xec}};
// {C6A7A9D0-774C-11D1-947F-00A0C90640B8}
constexpr IID IID_IPrintOemUI = {0xc6a7a9d0, 0x774c, 0x11d1, {0x94, 0x7f, 0x00, 0xa0, 0xc9, 0x06, 0x40, 0xb8}};
// {292515F9-B54B-489B-9275-BAB56821395E}
constexpr IID IID_IPrintOemUI2 = {0x292515f9, 0xb54b, 0x489b, {0x92, 0x75, 0xba, 0xb5, 0x68, 0x21, 0x39, 0x5e}};
// {92B05D50-78BC-11D1-9480-00A0C90640B8}
constexpr IID IID_IPrintOemDriverUI = {0x92b05d50, 0x78bc, 0x11d1, {0x94, 0x80, 0x00, 0xa0, 0xc9, 0x06, 0x40, 0xb8}};

// The driver's helper for rendering plug-ins.
struct IPrintOemDriverPS : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE DrvGetDriverSetting(PVOID pdriverobj, PCSTR Feature,
                                                        PVOID pOutput, DWORD cbSize,
                                                        PDWORD pcbNeeded,
                                                        PDWORD pdwOptionsReturned) = 0;
  virtual HRESULT STDMETHODCALLTYPE DrvWriteSpoolBuf(PDEVOBJ pdevobj, PVOID pBuffer, DWORD cbSize,
                                                     DWORD* pdwResult) = 0;
};

// The driver's helper for UI plug-ins.
struct IPrintOemDriverUI : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE DrvGetDriverSetting(PVOID pci, PCSTR Feature, PVOID pOutput,
                                                        DWORD cbSize, PDWORD pcbNeeded,
                                                        PDWORD pdwOptionsReturned) = 0;
  virtual HRESULT STDMETHODCALLTYPE DrvUpgradeRegistrySetting(HANDLE hPrinter, PCSTR pFeature,
                                                              PCSTR pOption) = 0;
  virtual HRESULT STDMETHODCALLTYPE DrvUpdateUISetting(PVOID pci, PVOID pOptItem,
                                                       DWORD dwPreviousSelection,
                                                       DWORD dwMode) = 0;
};

// Methods shared by every plug-in interface.
struct IPrintOemCommon : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetInfo(DWORD dwMode, PVOID pBuffer, DWORD cbSize,
                                            PDWORD pcbNeeded) = 0;
  virtual HRESULT STDMETHODCALLTYPE DevMode(DWORD dwMode, POEMDMPARAM pOemDMParam) = 0;
};

// Rendering plug-ins of the PostScript driver.
struct IPrintOemPS : public IPrintOemCommon {
  virtual HRESULT STDMETHODCALLTYPE EnableDriver(DWORD DriverVersion, DWORD cbSize,
                                                 DRVENABLEDATA* pded) = 0;
  virtual HRESULT STDMETHODCALLTYPE DisableDriver() = 0;
  virtual HRESULT STDMETHODCALLTYPE EnablePDEV(PDEVOBJ pdevobj, PWSTR pPrinterName,
                                               ULONG cPatterns, HSURF* phsurfPatterns,
                                               ULONG cjGdiInfo, GDIINFO* pGdiInfo, ULONG cjDevInfo,
                                               DEVINFO* pDevInfo, DRVENABLEDATA* pded,
                                               PDEVOEM* pDevOem) = 0;
  virtual HRESULT STDMETHODCALLTYPE DisablePDEV(PDEVOBJ pdevobj) = 0;
  virtual HRESULT STDMETHODCALLTYPE ResetPDEV(PDEVOBJ pdevobjOld, PDEVOBJ pdevobjNew) = 0;
  virtual HRESULT STDMETHODCALLTYPE PublishDriverInterface(IUnknown* pIUnknown) = 0;
  virtual HRESULT STDMETHODCALLTYPE Command(PDEVOBJ pdevobj, DWORD dwIndex, PVOID pData,
                                            DWORD cbSize, DWORD* pdwResult) = 0;
};

struct IPrintOemPS2 : public IPrintOemPS {
  virtual HRESULT STDMETHODCALLTYPE WritePrinter(PDEVOBJ pdevobj, PVOID pBuf, DWORD cbBuffer,
                                                 PDWORD pcbWritten) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetPDEVAdjustment(PDEVOBJ pdevobj, DWORD dwAdjustType,
                                                      PVOID pBuf, DWORD cbBuffer,
                                                      BOOL* pbAdjustmentDone) = 0;
};

// UI plug-ins of the driver's configuration module.
struct IPrintOemUI : public IPrintOemCommon {
  virtual HRESULT STDMETHODCALLTYPE PublishDriverInterface(IUnknown* pIUnknown) = 0;
  virtual HRESULT STDMETHODCALLTYPE CommonUIProp(DWORD dwMode, POEMCUIPPARAM pOemCUIPParam) = 0;
  virtual HRESULT STDMETHODCALLTYPE DocumentPropertySheets(PPROPSHEETUI_INFO pPSUIInfo,
                                                           LPARAM lParam) = 0;
  virtual HRESULT STDMETHODCALLTYPE DevicePropertySheets(PPROPSHEETUI_INFO pPSUIInfo,
                                                         LPARAM lParam) = 0;
  virtual HRESULT STDMETHODCALLTYPE DevQueryPrintEx(POEMUIOBJ poemuiobj,
                                                    PDEVQUERYPRINT_INFO pDQPInfo,
                                                    PDEVMODEW pPublicDM, PVOID pOEMDM) = 0;
  virtual HRESULT STDMETHODCALLTYPE DeviceCapabilities(POEMUIOBJ poemuiobj, HANDLE hPrinter,
                                                       PWSTR pDeviceName, WORD wCapability,
                                                       PVOID pOutput, PDEVMODEW pPublicDM,
                                                       PVOID pOEMDM, DWORD dwOld,
                                                       DWORD* dwResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE UpgradePrinter(DWORD dwLevel, PBYTE pDriverUpgradeInfo) = 0;
  virtual HRESULT STDMETHODCALLTYPE PrinterEvent(PWSTR pPrinterName, INT iDriverEvent,
                                                 DWORD dwFlags, LPARAM lParam) = 0;
  virtual HRESULT STDMETHODCALLTYPE DriverEvent(DWORD dwDriverEvent, DWORD dwLevel,
                                                LPBYTE pDriverInfo, LPARAM lParam) = 0;
  virtual HRESULT STDMETHODCALLTYPE QueryColorProfile(HANDLE hPrinter, POEMUIOBJ poemuiobj,
                                                      PDEVMODEW pPublicDM, PVOID pOEMDM,
                                                      ULONG ulQueryMode, VOID* pvProfileData,
                                                      ULONG* pcbProfileData,
                                                      FLONG* pflProfileData) = 0;
  virtual HRESULT STDMETHODCALLTYPE FontInstallerDlgProc(HWND hWnd, UINT usMsg, WPARAM wParam,
                                                         LPARAM lParam) = 0;
  virtual HRESULT STDMETHODCALLTYPE UpdateExternalFonts(HANDLE hPrinter, HANDLE hHeap,
                                                        PWSTR pwstrCartridges) = 0;
};

struct IPrintOemUI2 : public IPrintOemUI {
  virtual HRESULT STDMETHODCALLTYPE QueryJobAttributes(HANDLE hPrinter, PDEVMODEW pDevmode,
                                                       DWORD dwLevel, LPBYTE lpAttributeInfo) = 0;
  virtual HRESULT STDMETHODCALLTYPE HideStandardUI(DWORD dwMode) = 0;
  virtual HRESULT STDMETHODCALLTYPE DocumentEvent(HANDLE hPrinter, HDC hdc, INT iEsc,
                                                  ULONG cbIn, PVOID pvIn, ULONG cbOut,
                                                  PVOID pvOut, PINT piResult) = 0;
};

// ---------------------------------------------------------------------------------------------
// Layout checks: these structures cross the boundary to the driver, so their offsets must be the
// platform's in both word sizes.

#define VEX_CHECK_OFFSET(type, member, off32, off64) \
  static_assert(offsetof(type, member) == (sizeof(void*) == 4 ? (off32) : (off64)), #type "." #member)
#define VEX_CHECK_SIZE(type, size32, size64) \
  static_assert(sizeof(type) == (sizeof(void*) == 4 ? (size32) : (size64)), "sizeof " #type)

VEX_CHECK_SIZE(SURFOBJ, 52, 80);
VEX_CHECK_OFFSET(SURFOBJ, dhpdev, 8, 16);
VEX_CHECK_OFFSET(SURFOBJ, sizlBitmap, 16, 32);
VEX_CHECK_OFFSET(SURFOBJ, iBitmapFormat, 44, 72);
VEX_CHECK_OFFSET(SURFOBJ, iType, 48, 76);
VEX_CHECK_SIZE(DRVFN, 8, 16);
VEX_CHECK_SIZE(DRVENABLEDATA, 12, 16);
VEX_CHECK_OFFSET(DRVENABLEDATA, pdrvfn, 8, 8);
VEX_CHECK_SIZE(DEVOBJ, 32, 64);
VEX_CHECK_OFFSET(DEVOBJ, pdevOEM, 4, 8);
VEX_CHECK_OFFSET(DEVOBJ, hPrinter, 12, 24);
VEX_CHECK_OFFSET(DEVOBJ, pPublicDM, 20, 40);
VEX_CHECK_OFFSET(DEVOBJ, pOEMDM, 24, 48);
VEX_CHECK_OFFSET(DEVOBJ, pDrvProcs, 28, 56);
VEX_CHECK_OFFSET(DRVPROCS, DrvGetDriverSetting, 12, 24);
VEX_CHECK_SIZE(OEM_DMEXTRAHEADER, 12, 12);
VEX_CHECK_SIZE(OEMDMPARAM, 36, 72);
VEX_CHECK_OFFSET(OEMDMPARAM, hPrinter, 8, 16);
VEX_CHECK_OFFSET(OEMDMPARAM, pOEMDMIn, 24, 48);
VEX_CHECK_OFFSET(OEMDMPARAM, pOEMDMOut, 28, 56);
VEX_CHECK_OFFSET(OEMDMPARAM, cbBufSize, 32, 64);
VEX_CHECK_SIZE(OEMUIOBJ, 8, 16);
VEX_CHECK_SIZE(OEMUIPROCS, 8, 16);
VEX_CHECK_SIZE(OEMCUIPPARAM, 60, 120);
VEX_CHECK_OFFSET(OEMCUIPPARAM, hOEMHeap, 20, 40);
VEX_CHECK_OFFSET(OEMCUIPPARAM, pOEMDM, 28, 56);
VEX_CHECK_OFFSET(OEMCUIPPARAM, dwFlags, 32, 64);
VEX_CHECK_OFFSET(OEMCUIPPARAM, pDrvOptItems, 36, 72);
VEX_CHECK_OFFSET(OEMCUIPPARAM, cOEMOptItems, 48, 96);
VEX_CHECK_OFFSET(OEMCUIPPARAM, OEMCUIPCallback, 56, 112);
VEX_CHECK_SIZE(OEMUIPSPARAM, 44, 88);
VEX_CHECK_SIZE(USERDATA, 44, 56);
VEX_CHECK_OFFSET(USERDATA, pKeyWordName, 8, 16);
VEX_CHECK_OFFSET(OEMUIPSPARAM, pOEMUserData, 32, 64);
VEX_CHECK_OFFSET(OEMUIPSPARAM, pOemEntry, 40, 80);

#undef VEX_CHECK_OFFSET
#undef VEX_CHECK_SIZE
