// dvsample: writes the demo's sample scenario into an install folder.
//   dvsample <install folder>
// The folder receives sample.scn (portrait and landscape jobs get
// sample.dpt), sample.dpt (a background and a foreground picture, seven
// text fields and a barcode field) and the two pictures; Dorvane.ini's DefaultScenarioFile names
// the scenario, so every job of a user in no group gets it.
//
// The pictures are recorded against the screen with a frame the size of an
// A4 printable area (6.35 mm margins), in hundredths of a millimetre, so
// they land on the page where their millimetres say.
#include <windows.h>

#include <cstdio>
#include <string>

#include "common/Handles.h"
#include "common/InstallFolder.h"
#include "common/PageTemplate.h"

namespace {

constexpr double kMarginMm = 6.35;  // the printable area's offset on the demo printer
constexpr int kFrameW = 19730, kFrameH = 28430;

// Logical units: 0.01 mm from the paper's edge.
int U(double paperMm) { return static_cast<int>((paperMm - kMarginMm) * 100); }

bool WritePicture(const std::wstring& path, void (*draw)(HDC)) {
  RECT frame = {0, 0, kFrameW, kFrameH};
  HDC dc = CreateEnhMetaFileW(nullptr, path.c_str(), &frame, L"Dorvane sample\0picture\0");
  if (!dc) return false;
  // Hundredths of a millimetre onto the reference device's pixels.
  const int w = MulDiv(kFrameW, GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, HORZSIZE) * 100);
  const int h = MulDiv(kFrameH, GetDeviceCaps(dc, VERTRES), GetDeviceCaps(dc, VERTSIZE) * 100);
  SetMapMode(dc, MM_ANISOTROPIC);
  SetWindowExtEx(dc, kFrameW, kFrameH, nullptr);
  SetViewportExtEx(dc, w, h, nullptr);
  draw(dc);
  dv::EnhMetaFileHandle emf(CloseEnhMetaFile(dc));
  return static_cast<bool>(emf);
}

void Fill(HDC dc, double l, double t, double r, double b, COLORREF c) {
  dv::GdiObject brush(CreateSolidBrush(c));
  RECT rect = {U(l), U(t), U(r), U(b)};
  FillRect(dc, &rect, static_cast<HBRUSH>(brush.get()));
}

// Under the page: a pale header band and a ruled panel.
void DrawBackground(HDC dc) {
  Fill(dc, 50, 20, 195, 46, RGB(205, 225, 250));
  Fill(dc, 20, 200, 195, 270, RGB(250, 245, 215));
  dv::GdiObject pen(CreatePen(PS_SOLID, 30, RGB(200, 190, 150)));
  dv::SelectGuard p(dc, pen.get());
  for (double y = 210; y < 270; y += 10) {
    MoveToEx(dc, U(25), U(y), nullptr);
    LineTo(dc, U(190), U(y));
  }
}

// Over the page: a red stamp frame with its caption.
void DrawForeground(HDC dc) {
  dv::GdiObject pen(CreatePen(PS_SOLID, 80, RGB(200, 0, 0)));
  dv::SelectGuard p(dc, pen.get());
  dv::SelectGuard b(dc, GetStockObject(NULL_BRUSH));
  Rectangle(dc, U(125), U(90), U(192), U(122));
  dv::GdiObject font(CreateFontW(-600, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, L"Arial"));
  dv::SelectGuard f(dc, font.get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(200, 0, 0));
  TextOutW(dc, U(130), U(93), L"APPROVED", 8);
}

CFieldData Text(const wchar_t* name, const wchar_t* format, int left, int top, int direction, const wchar_t* font) {
  CFieldData f;
  f.FieldName = name;
  f.DataFormat = format;
  f.PrintText = 1;
  f.TextLeft = left;
  f.TextTop = top;
  f.TextDirection = direction;
  f.TextFont = font;
  return f;
}

// A field printed only as a barcode (millimetres, template barcode type).
CFieldData Bars(const wchar_t* name, const wchar_t* format, int type, int left, int top, int width, int height) {
  CFieldData f;
  f.FieldName = name;
  f.DataFormat = format;
  f.PrintText = 0;
  f.PrintBarcode = 1;
  f.BarcodeType = type;
  f.BarcodeLeft = left;
  f.BarcodeTop = top;
  f.BarcodeWidth = width;
  f.BarcodeHeight = height;
  return f;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    fwprintf(stderr, L"usage: dvsample <install folder>\n");
    return 2;
  }
  const std::wstring folder = AddTrailingBackslash(argv[1]);
  const std::wstring background = folder + L"sample-background.emf";
  const std::wstring foreground = folder + L"sample-foreground.emf";
  if (!WritePicture(background, DrawBackground) || !WritePicture(foreground, DrawForeground)) {
    fwprintf(stderr, L"dvsample: cannot write the pictures (error %lu)\n", GetLastError());
    return 1;
  }
  CPageTemplate sample;
  sample.BackgroundPicture = background;
  sample.ForgroundPicture = foreground;
  sample.fields.push_back(Text(L"User Name", L"", 55, 24, 0, L"0,0,0,0,0,700,0,14,Arial"));
  sample.fields.push_back(Text(L"Document Name", L"", 55, 34, 0, L"8388608,0,1,0,0,400,0,12,Arial"));  // navy
  sample.fields.push_back(Text(L"Machine Name", L"", 150, 24, 0, L"0,0,0,0,0,400,0,11,Courier New"));
  sample.fields.push_back(Text(L"Date", L"%d.%m.%Y", 130, 104, 0, L"200,0,0,0,0,700,0,12,Arial"));    // red
  sample.fields.push_back(Text(L"Time", L"%H:%M", 172, 104, 0, L"200,0,0,0,0,700,0,12,Arial"));
  sample.fields.push_back(Text(L"Printer Name", L"", 14, 190, 90, L"8421504,0,0,0,0,400,0,11,Arial"));  // grey
  sample.fields.push_back(
      Text(L"Mixed Data", L"%Date%, %Time%, %User Name% at %Machine Name%", 25, 212, 0, L"0,0,0,0,0,400,0,11,Arial"));
  // The document name once more, in Code 128 Auto. (A field's text is
  // looked up by its name, so a template holds one "Mixed Data" text.)
  sample.fields.push_back(Bars(L"Document Name", L"", 0, 20, 140, 90, 15));
  const std::wstring dpt = folder + L"sample.dpt";
  DeleteFileW(dpt.c_str());
  sample.Save(dpt);

  const std::wstring scn = folder + L"sample.scn";
  DeleteFileW(scn.c_str());
  SetIniString(L"General", L"PortraitDefaultTemplateFile", scn, dpt);
  SetIniString(L"General", L"LandscapeDefaultTemplateFile", scn, dpt);
  SetIniString(L"General", L"DefaultScenarioFile", folder + L"Dorvane.ini", scn);
  return 0;
}
