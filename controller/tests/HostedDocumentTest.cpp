// The hosted document view's generic side: the template's file prompt from
// its document strings, saving through that prompt, and a modified document
// asked about its changes before it is emptied or refilled.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "controller/DFVCtrl.h"
#include "controller/resource.h"
#include "tests/support/TestEnv.h"
#include "ui/CommonDialogs.h"
#include "ui/ScrollView.h"

namespace ctltest {
namespace {

// A document with a format of one line: its text. A save can be made to
// fail after it has written part of the file.
class TextDoc final : public CDFVDocument {
 public:
  std::string text = "hello";
  enum Failure { kSaves, kFailsAfterPart, kFailsBeforeWriting } failure = kSaves;
  int saves = 0;

  bool OnSaveDocument(const std::wstring& path) override {
    ++saves;
    if (failure == kFailsBeforeWriting) return false;
    if (!dvtest::WriteFileBytes(path, failure == kFailsAfterPart ? text.substr(0, 2) : text)) return false;
    return failure == kSaves;
  }
};

class BlankView final : public ui::ScrollView, public CDFVView {
 public:
  ~BlankView() override { Destroy(); }
  bool CreateIn(HWND frame, UINT id) override { return CreateView(frame, id); }
  ui::Window& ViewWindow() override { return *this; }

 protected:
  void OnDraw(HDC) override {}
};

class HostedDocumentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dvtest::RemoveTree(folder);
    CreateDirectoryW(L"C:\\dvtest", nullptr);
    CreateDirectoryW(folder.c_str(), nullptr);
    ui::Prompts().file = [this](HWND, const ui::FileDialogRequest& request, std::wstring& path) {
      requests.push_back(request);
      if (answer.empty()) return false;
      path = answer;
      return true;
    };
    ui::Prompts().messageBox = [this](HWND, const std::wstring& text, const std::wstring&, UINT) {
      questions.push_back(text);
      return reply;
    };
  }
  void TearDown() override {
    docTemplate.reset();
    if (parent) DestroyWindow(parent);
    dvtest::RemoveTree(folder);
  }

  // A template with the given document strings around a TextDoc.
  CDFVDocTemplate& MakeTemplate(const std::wstring& docStrings) {
    docTemplate = std::make_unique<CDFVDocTemplate>(
        0, [] { return std::make_unique<TextDoc>(); }, [] { return std::make_unique<CDFVFrameWnd>(); },
        [] { return std::make_unique<BlankView>(); });
    docTemplate->SetDocStrings(docStrings);
    return *docTemplate;
  }
  // The template's document in a frame of a hidden window.
  TextDoc* OpenEmpty(const std::wstring& docStrings) {
    CDFVDocTemplate& t = MakeTemplate(docStrings);
    parent = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPED, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
    t.parentWindow = parent;
    t.frameRect = RECT{0, 0, 200, 100};
    t.frameStyle = WS_CHILD | WS_VISIBLE;
    return static_cast<TextDoc*>(t.OpenDocumentFile(std::wstring(), true));
  }

  const std::wstring folder = L"C:\\dvtest\\HostedDocument";
  std::unique_ptr<CDFVDocTemplate> docTemplate;
  HWND parent = nullptr;
  ui::ScopedPrompts prompts;
  std::vector<ui::FileDialogRequest> requests;
  std::wstring answer;
  std::vector<std::wstring> questions;
  int reply = IDNO;
};

TEST_F(HostedDocumentTest, PromptOffersTheTemplatesFilterBeforeAllFiles) {
  struct Row {
    const wchar_t* strings;
    const wchar_t* filter;
    const wchar_t* defaultExtension;
  } rows[] = {
      {L"", L"All Files (*.*)|*.*||", L""},
      {L"\nSheet\nSheet\nSheets (*.sht)\n.sht\nDv.Sheet\nSheet", L"Sheets (*.sht)|*.sht|All Files (*.*)|*.*||", L"sht"},
      {L"\nSheet\nSheet\nSheets (*.sht)\n\n", L"All Files (*.*)|*.*||", L""},
      {L"\nSheet\nSheet\n\n.sht\n", L"All Files (*.*)|*.*||", L""},
  };
  answer = folder + L"\\chosen.sht";
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(row.strings)));
    requests.clear();
    CDFVDocTemplate& t = MakeTemplate(row.strings);
    std::wstring name = L"start";
    ASSERT_TRUE(t.DoPromptFileName(name, L"Open", OFN_FILEMUSTEXIST, true));
    EXPECT_EQ(name, answer);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].filter, row.filter);
    EXPECT_EQ(requests[0].defaultExtension, row.defaultExtension);
    EXPECT_EQ(requests[0].fileName, L"start");
    EXPECT_TRUE(requests[0].flags & OFN_OVERWRITEPROMPT);
    EXPECT_TRUE(requests[0].flags & OFN_FILEMUSTEXIST);
  }
  answer.clear();
  std::wstring name = L"start";
  EXPECT_FALSE(MakeTemplate(L"").DoPromptFileName(name, L"Open", 0, true));
  EXPECT_EQ(name, L"start");
}

TEST_F(HostedDocumentTest, SavingGoesThroughTheTemplatesPrompt) {
  TextDoc* doc = OpenEmpty(L"\nSheet\nSheet\nSheets (*.sht)\n.sht\n");
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(doc->GetTitle(), L"Sheet");

  // Cancelled: nothing written, nothing changed.
  doc->SetTitle(L"Q3 report#2");
  doc->SetModifiedFlag();
  EXPECT_FALSE(doc->DoSave(std::wstring(), true));
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].title, L"Save As");
  EXPECT_EQ(requests[0].fileName, L"Q3.sht");  // the title up to the blank, with the extension
  EXPECT_FALSE(requests[0].open);
  EXPECT_EQ(doc->saves, 0);
  EXPECT_TRUE(doc->IsModified());

  // Save As: the new name becomes the document's.
  const std::wstring first = folder + L"\\first.sht";
  answer = first;
  EXPECT_TRUE(doc->DoSave(std::wstring(), true));
  EXPECT_EQ(dvtest::ReadFileBytes(first), "hello");
  EXPECT_EQ(doc->GetPathName(), first);
  EXPECT_EQ(doc->GetTitle(), L"first.sht");
  EXPECT_FALSE(doc->IsModified());

  // A copy starts from the path name and leaves it as it is.
  const std::wstring copy = folder + L"\\copy.sht";
  answer = copy;
  EXPECT_TRUE(doc->DoSave(std::wstring(), false));
  EXPECT_EQ(requests.back().title, L"Save Copy As");
  EXPECT_EQ(requests.back().fileName, first);
  EXPECT_TRUE(dvtest::FileExistsAt(copy));
  EXPECT_EQ(doc->GetPathName(), first);

  // A failed save under a new name leaves no half-written file, and never
  // removes a file that was there before; a failed save under the
  // document's own name leaves what is there.
  doc->failure = TextDoc::kFailsAfterPart;
  const std::wstring broken = folder + L"\\broken.sht";
  answer = broken;
  EXPECT_FALSE(doc->DoSave(std::wstring(), true));
  EXPECT_FALSE(dvtest::FileExistsAt(broken));
  EXPECT_EQ(doc->GetPathName(), first);
  doc->failure = TextDoc::kFailsBeforeWriting;
  answer = copy;
  EXPECT_FALSE(doc->DoSave(std::wstring(), true));
  EXPECT_EQ(dvtest::ReadFileBytes(copy), "hello");
  doc->failure = TextDoc::kFailsAfterPart;
  const size_t prompts = requests.size();
  EXPECT_FALSE(doc->DoSave(first, true));
  EXPECT_EQ(requests.size(), prompts);  // a given path asks nothing
  EXPECT_TRUE(dvtest::FileExistsAt(first));

  // Ctrl+S reaches the document through its frame: saved under its name.
  doc->failure = TextDoc::kSaves;
  doc->text = "changed";
  EXPECT_TRUE(docTemplate->HostedFrame()->RouteCommand(ID_FILE_SAVE, 1, nullptr));
  EXPECT_EQ(dvtest::ReadFileBytes(first), "changed");
  EXPECT_EQ(requests.size(), prompts);
}

TEST_F(HostedDocumentTest, ModifiedDocumentIsAskedBeforeItIsReplaced) {
  TextDoc* doc = OpenEmpty(L"");
  ASSERT_NE(doc, nullptr);
  const std::wstring file = folder + L"\\doc.txt";
  ASSERT_TRUE(dvtest::WriteFileBytes(file, "x"));
  ASSERT_EQ(docTemplate->OpenDocumentFile(file, true), doc);
  HWND frame = docTemplate->HostedFrame()->Hwnd();

  // Unmodified: no question.
  EXPECT_EQ(docTemplate->OpenDocumentFile(file, true), doc);
  EXPECT_TRUE(questions.empty());

  // Cancel keeps the document as it is.
  doc->SetModifiedFlag();
  reply = IDCANCEL;
  EXPECT_EQ(docTemplate->OpenDocumentFile(std::wstring(), true), nullptr);
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_EQ(questions[0], L"Save changes to " + file + L"?");
  EXPECT_EQ(doc->GetPathName(), file);
  EXPECT_TRUE(doc->IsModified());

  // Yes saves it under its name first; the same document and frame go on.
  reply = IDYES;
  doc->text = "saved";
  EXPECT_EQ(docTemplate->OpenDocumentFile(std::wstring(), true), doc);
  EXPECT_EQ(dvtest::ReadFileBytes(file), "saved");
  EXPECT_EQ(doc->GetPathName(), L"");
  EXPECT_EQ(doc->GetTitle(), L"Untitled");
  EXPECT_FALSE(doc->IsModified());
  EXPECT_EQ(docTemplate->HostedFrame()->Hwnd(), frame);

  // No drops the changes.
  doc->SetModifiedFlag();
  reply = IDNO;
  doc->text = "dropped";
  EXPECT_EQ(docTemplate->OpenDocumentFile(file, true), doc);
  EXPECT_EQ(dvtest::ReadFileBytes(file), "saved");
  EXPECT_FALSE(doc->IsModified());

  // A file the document refuses keeps its modified flag as it was.
  doc->SetModifiedFlag();
  reply = IDNO;
  EXPECT_EQ(docTemplate->OpenDocumentFile(folder + L"\\gone.txt", true), nullptr);
  EXPECT_TRUE(doc->IsModified());
  EXPECT_EQ(doc->GetPathName(), file);
}

}  // namespace
}  // namespace ctltest
