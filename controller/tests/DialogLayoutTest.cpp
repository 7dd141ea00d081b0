// The layout of every dialog template of the controller and of the viewer:
// each control lies inside its dialog, and no two shown controls overlap,
// except a group box and the controls it frames and an up-down control that
// attaches itself to the edge of its buddy; and each label's text, measured
// in its dialog's font, fits its label and ends before the control beside it.
// The templates are read from the programs' resources, in dialog units, as
// the dialog manager reads them.
#include "controller/tests/ControllerFixture.h"

#include <algorithm>
#include <sstream>

namespace ctltest {
namespace {

struct Control {
  std::wstring kind;  // the class name, "Button", "Edit", ... for the ordinals
  DWORD style = 0;
  int id = 0;
  RECT rect{};  // dialog units
  std::wstring text;
};

struct Template {
  int id = 0;
  std::wstring caption;
  DWORD style = 0;
  int cx = 0, cy = 0;
  int pointSize = 0;
  std::wstring face;
  std::vector<Control> controls;
};

// Reads the template's fields in order; DLGTEMPLATE and DLGTEMPLATEEX alike.
class TemplateReader {
 public:
  TemplateReader(const BYTE* data, size_t size) : p_(data), end_(data + size), start_(data) {}

  bool Read(Template& t) {
    const bool ex = size() >= 4 && Word(0) == 1 && Word(2) == 0xFFFF;
    DWORD style = 0;
    int count = 0;
    if (ex) {
      Skip(2 + 2 + 4 + 4);  // version, signature, help id, extended style
      style = Dword();
    } else {
      style = Dword();
      Skip(4);
    }
    count = TakeWord();
    Skip(2 * 2);  // x, y
    t.cx = static_cast<short>(TakeWord());
    t.cy = static_cast<short>(TakeWord());
    t.style = style;
    SzOrOrd();  // menu
    SzOrOrd();  // class
    t.caption = SzOrOrd();
    if (style & DS_SETFONT) {
      t.pointSize = TakeWord();
      if (ex) Skip(2 + 1 + 1);  // weight, italic, character set
      t.face = SzOrOrd();
    }
    for (int i = 0; i < count; ++i) {
      Align();
      Control c;
      if (ex) {
        Skip(4 + 4);  // help id, extended style
        c.style = Dword();
      } else {
        c.style = Dword();
        Skip(4);
      }
      const int x = static_cast<short>(TakeWord()), y = static_cast<short>(TakeWord());
      const int cx = static_cast<short>(TakeWord()), cy = static_cast<short>(TakeWord());
      c.rect = RECT{x, y, x + cx, y + cy};
      c.id = ex ? static_cast<int>(Dword()) : static_cast<short>(TakeWord());
      c.kind = ClassName();
      c.text = SzOrOrd();
      Skip(TakeWord());  // creation data
      if (p_ > end_) return false;
      t.controls.push_back(c);
    }
    return p_ <= end_;
  }

 private:
  size_t size() const { return end_ - p_; }
  WORD Word(size_t at) const { return at + 2 <= size() ? *reinterpret_cast<const WORD*>(p_ + at) : 0; }
  WORD TakeWord() {
    const WORD w = Word(0);
    p_ += 2;
    return w;
  }
  DWORD Dword() {
    const DWORD d = TakeWord();
    return d | (static_cast<DWORD>(TakeWord()) << 16);
  }
  void Skip(size_t n) { p_ += n; }
  void Align() { p_ = start_ + ((p_ - start_ + 3) & ~size_t(3)); }
  std::wstring SzOrOrd() {
    const WORD first = Word(0);
    if (first == 0xFFFF) {
      p_ += 2;
      return L"#" + std::to_wstring(TakeWord());
    }
    std::wstring text;
    for (WORD c = TakeWord(); c != 0 && p_ <= end_; c = TakeWord()) text += static_cast<wchar_t>(c);
    return text;
  }
  std::wstring ClassName() {
    const std::wstring name = SzOrOrd();
    static const std::pair<const wchar_t*, const wchar_t*> kOrdinals[] = {
        {L"#128", L"Button"}, {L"#129", L"Edit"}, {L"#130", L"Static"},
        {L"#131", L"ListBox"}, {L"#132", L"ScrollBar"}, {L"#133", L"ComboBox"}};
    for (const auto& o : kOrdinals)
      if (name == o.first) return o.second;
    return name;
  }

  const BYTE* p_;
  const BYTE* end_;
  const BYTE* start_;
};

BOOL CALLBACK CollectDialog(HMODULE module, LPCWSTR, LPWSTR name, LONG_PTR param) {
  auto& templates = *reinterpret_cast<std::vector<Template>*>(param);
  Template t;
  t.id = IS_INTRESOURCE(name) ? static_cast<int>(reinterpret_cast<ULONG_PTR>(name)) : -1;
  HRSRC found = FindResourceW(module, name, RT_DIALOG);
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const BYTE* data = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
  if (data && TemplateReader(data, SizeofResource(module, found)).Read(t)) templates.push_back(t);
  else ADD_FAILURE() << "dialog " << t.id << " could not be read";
  return TRUE;
}

std::vector<Template> DialogTemplates(HMODULE module) {
  std::vector<Template> templates;
  EnumResourceNamesW(module, RT_DIALOG, CollectDialog, reinterpret_cast<LONG_PTR>(&templates));
  return templates;
}

bool IsGroupBox(const Control& c) { return c.kind == L"Button" && (c.style & 0xF) == BS_GROUPBOX; }

// An up-down control that attaches itself to its buddy (the control before
// it) and moves to the buddy's edge when it is created.
bool AttachesTo(const Control& upDown, const Control& buddy, const Control* before) {
  return _wcsicmp(upDown.kind.c_str(), UPDOWN_CLASSW) == 0 && (upDown.style & UDS_AUTOBUDDY) &&
         (upDown.style & (UDS_ALIGNLEFT | UDS_ALIGNRIGHT)) && before == &buddy;
}

bool Contains(const RECT& outer, const RECT& inner) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

// The part of the control that is drawn in the dialog: a drop-down combo box
// takes the height of its edit field; the template's height is its list's.
RECT Footprint(const Control& c) {
  RECT r = c.rect;
  const DWORD type = c.style & 0x3;
  if (c.kind == L"ComboBox" && (type == CBS_DROPDOWN || type == CBS_DROPDOWNLIST) && r.bottom - r.top > 14)
    r.bottom = r.top + 14;
  return r;
}

std::string Describe(const Control& c) {
  std::ostringstream s;
  s << dv::ToUtf8(c.kind) << " " << c.id << " (" << c.rect.left << "," << c.rect.top << "," << c.rect.right << ","
    << c.rect.bottom << ")";
  return s.str();
}

// Every fault of the templates, one line each.
std::vector<std::string> LayoutFaults(const std::vector<Template>& templates) {
  std::vector<std::string> faults;
  for (const Template& t : templates) {
    const std::string name = "dialog " + std::to_string(t.id) + " \"" + dv::ToUtf8(t.caption) + "\": ";
    const RECT dialog{0, 0, t.cx, t.cy};
    for (size_t i = 0; i < t.controls.size(); ++i) {
      const Control& a = t.controls[i];
      if (!Contains(dialog, Footprint(a))) faults.push_back(name + Describe(a) + " lies outside the dialog");
      for (size_t j = i + 1; j < t.controls.size(); ++j) {
        const Control& b = t.controls[j];
        // A hidden control (a helper the code reads, never shown) covers nothing.
        if (!(a.style & WS_VISIBLE) || !(b.style & WS_VISIBLE)) continue;
        RECT ra = Footprint(a), rb = Footprint(b), overlap{};
        if (!IntersectRect(&overlap, &ra, &rb)) continue;
        if ((IsGroupBox(a) && Contains(ra, rb)) || (IsGroupBox(b) && Contains(rb, ra))) continue;
        if (AttachesTo(b, a, &t.controls[j - 1])) continue;
        faults.push_back(name + Describe(a) + " overlaps " + Describe(b));
      }
    }
  }
  return faults;
}

// Widths of texts in the template's font, in dialog units, as the dialog
// manager lays them out: its horizontal unit is a quarter of the font's
// average character width.
class TextMeasure {
 public:
  explicit TextMeasure(const Template& t) : dc_(GetDC(nullptr)) {
    font_ = CreateFontW(-MulDiv(t.pointSize ? t.pointSize : 8, GetDeviceCaps(dc_, LOGPIXELSY), 72), 0, 0, 0,
                        FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0,
                        t.face.empty() ? L"MS Shell Dlg" : t.face.c_str());
    old_ = SelectObject(dc_, font_);
    const wchar_t kAlphabet[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE size{};
    GetTextExtentPoint32W(dc_, kAlphabet, 52, &size);
    baseX_ = (size.cx / 26 + 1) / 2;
  }
  ~TextMeasure() {
    SelectObject(dc_, old_);
    DeleteObject(font_);
    ReleaseDC(nullptr, dc_);
  }
  // The width of a label's text (an "&" marks the mnemonic and is not drawn).
  double Width(std::wstring text) const {
    for (size_t at = text.find(L'&'); at != std::wstring::npos; at = text.find(L'&', at + 1)) text.erase(at, 1);
    SIZE size{};
    GetTextExtentPoint32W(dc_, text.c_str(), static_cast<int>(text.size()), &size);
    return baseX_ ? size.cx * 4.0 / baseX_ : 0;
  }

 private:
  HDC dc_;
  HFONT font_;
  HGDIOBJ old_;
  int baseX_ = 0;
};

// A label: a shown static control of one line of left-aligned text.
bool IsLabel(const Control& c) {
  const DWORD type = c.style & SS_TYPEMASK;
  return c.kind == L"Static" && (c.style & WS_VISIBLE) && !c.text.empty() &&
         (type == SS_LEFT || type == SS_LEFTNOWORDWRAP) && c.rect.bottom - c.rect.top < 16;
}

// A label's text must end a little before the control that follows it on its
// line, and must fit its own rectangle (a left-aligned static wraps, or cuts,
// what does not).
constexpr double kLabelGap = 2.0;  // dialog units

std::vector<std::string> LabelFaults(const std::vector<Template>& templates) {
  std::vector<std::string> faults;
  for (const Template& t : templates) {
    const std::string name = "dialog " + std::to_string(t.id) + " \"" + dv::ToUtf8(t.caption) + "\": ";
    const TextMeasure measure(t);
    for (const Control& label : t.controls) {
      if (!IsLabel(label)) continue;
      const double width = measure.Width(label.text);
      const std::string what = "label \"" + dv::ToUtf8(label.text) + "\" (" + std::to_string(int(width + 0.5)) + " wide)";
      if (label.rect.left + width > label.rect.right)
        faults.push_back(name + what + " does not fit " + Describe(label));
      const double textRight = label.rect.left + width;
      for (const Control& other : t.controls) {
        if (&other == &label || !(other.style & WS_VISIBLE) || IsGroupBox(other)) continue;
        const RECT r = Footprint(other);
        if (r.bottom <= label.rect.top || r.top >= label.rect.bottom) continue;  // another line
        if (r.left < label.rect.left || r.left - textRight >= kLabelGap) continue;
        faults.push_back(name + what + " touches " + Describe(other));
      }
    }
  }
  return faults;
}

std::string Lines(const std::vector<std::string>& faults) {
  std::string text;
  for (const auto& f : faults) text += f + "\n";
  return text;
}

TEST(DialogLayout, ControllerControlsLieInsideTheirDialogsWithoutOverlapping) {
  const std::vector<Template> templates = DialogTemplates(GetModuleHandleW(nullptr));
  // The reader sees the templates whole: the job information dialog's ten
  // fields, their labels, three frames and two buttons.
  const auto info = std::find_if(templates.begin(), templates.end(), [](const Template& t) { return t.id == 132; });
  ASSERT_NE(templates.end(), info);
  EXPECT_EQ(L"View Job Information", info->caption);
  EXPECT_EQ(10, std::count_if(info->controls.begin(), info->controls.end(),
                              [](const Control& c) { return c.kind == L"Edit"; }));
  EXPECT_EQ(3, std::count_if(info->controls.begin(), info->controls.end(), IsGroupBox));
  EXPECT_EQ("", Lines(LayoutFaults(templates)));
  EXPECT_EQ("", Lines(LabelFaults(templates)));
}

TEST(DialogLayout, ViewerControlsLieInsideTheirDialogsWithoutOverlapping) {
  const std::wstring viewer = dvtest::BuiltFile(L"viewer\\Jotview.exe");
  HMODULE module = LoadLibraryExW(viewer.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(nullptr, module) << dv::ToUtf8(viewer);
  const std::vector<Template> templates = DialogTemplates(module);
  FreeLibrary(module);
  EXPECT_FALSE(templates.empty());
  EXPECT_EQ("", Lines(LayoutFaults(templates)));
  EXPECT_EQ("", Lines(LabelFaults(templates)));
}

// What the check finds and what it allows: a frame around its controls, the
// list of a drop-down combo box below its field, a hidden control, an
// up-down control on its buddy.
TEST(DialogLayout, CheckAllowsFramesAndDropDownLists) {
  Template t;
  t.id = 1;
  t.cx = 100;
  t.cy = 50;
  auto add = [&](const wchar_t* kind, DWORD style, int id, RECT r) {
    t.controls.push_back(Control{kind, style | WS_VISIBLE, id, r});
  };
  add(L"Button", BS_GROUPBOX, 1, RECT{0, 0, 100, 50});
  add(L"Edit", 0, 2, RECT{5, 5, 50, 17});
  add(L"ComboBox", CBS_DROPDOWNLIST, 3, RECT{5, 20, 50, 80});
  add(L"Static", 0, 4, RECT{40, 10, 60, 18});
  add(L"Static", 0, 5, RECT{90, 40, 110, 48});
  t.controls.push_back(Control{L"ListBox", 0, 6, RECT{0, 0, 30, 30}});  // hidden
  add(L"Edit", 0, 7, RECT{60, 20, 90, 34});
  add(UPDOWN_CLASSW, UDS_AUTOBUDDY | UDS_ALIGNRIGHT, 8, RECT{85, 20, 96, 34});  // on its buddy
  add(UPDOWN_CLASSW, UDS_AUTOBUDDY | UDS_ALIGNRIGHT, 9, RECT{40, 12, 51, 16});  // on the static, not its buddy
  const std::vector<std::string> faults = LayoutFaults({t});
  EXPECT_EQ((std::vector<std::string>{
                "dialog 1 \"\": Button 1 (0,0,100,50) overlaps Static 5 (90,40,110,48)",
                "dialog 1 \"\": Edit 2 (5,5,50,17) overlaps Static 4 (40,10,60,18)",
                "dialog 1 \"\": Edit 2 (5,5,50,17) overlaps msctls_updown32 9 (40,12,51,16)",
                "dialog 1 \"\": Static 4 (40,10,60,18) overlaps msctls_updown32 9 (40,12,51,16)",
                "dialog 1 \"\": Static 5 (90,40,110,48) lies outside the dialog",
            }),
            faults);
}

// Labels are measured in their dialog's font: one that runs into the field
// beside it, one too wide for its own rectangle, and one that ends in time.
TEST(DialogLayout, LabelCheckMeasuresTheText) {
  Template t;
  t.id = 2;
  t.cx = 200;
  t.cy = 60;
  t.pointSize = 8;
  t.face = L"MS Shell Dlg";
  auto add = [&](const wchar_t* kind, int id, RECT r, const wchar_t* text) {
    t.controls.push_back(Control{kind, WS_VISIBLE, id, r, text});
  };
  const double width = TextMeasure(t).Width(L"Job file number:");
  ASSERT_GT(width, 30);
  const int right = 10 + static_cast<int>(width + 0.999);
  add(L"Static", 1, RECT{10, 5, right, 13}, L"Job file number:");
  add(L"Edit", 2, RECT{right, 3, 150, 15}, L"");  // at the text's end
  add(L"Static", 3, RECT{10, 25, right - 4, 33}, L"Job file number:");
  add(L"Static", 4, RECT{10, 45, right, 53}, L"Job file number:");
  add(L"Edit", 5, RECT{right + 3, 43, 150, 55}, L"");
  const std::vector<std::string> faults = LabelFaults({t});
  ASSERT_EQ(2u, faults.size()) << Lines(faults);
  EXPECT_NE(std::string::npos, faults[0].find("touches Edit 2")) << faults[0];
  EXPECT_NE(std::string::npos, faults[1].find("does not fit Static 3")) << faults[1];
}

}  // namespace
}  // namespace ctltest
