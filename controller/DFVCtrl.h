// The hosted document view: a document, a frame with its own bars and a view
// living inside a dialog instead of the program's main window.
//
// CDFVCtrl takes over a (normally hidden) placeholder control of the dialog
// and owns a CDFVDocTemplate, which creates the document, the frame (a child
// of the dialog, at the placeholder's rectangle) and the view from the
// factories it was given, and keeps at most one document: opening another
// file reuses the document, the frame and the view. The frame and the view
// are children of the dialog and go with it; the control deletes its
// template (and with it the objects) when it is destroyed.
//
// Nothing here is specific to print jobs.
#pragma once

#include <windows.h>
#include <functional>
#include <memory>
#include <string>

#include "ui/FrameWindow.h"
#include "ui/Window.h"

class CDFVDocTemplate;

// The document: a path name, a title, a modified flag, the two ways to fill
// it and the way to save it. Hosted documents derive from it; the base has
// no file format of its own (it reads nothing and saves nothing).
//
// The document takes ID_FILE_SAVE and ID_FILE_SAVE_AS before its frame
// (CDFVFrameWnd routes them here): save under the path name (a prompt when
// there is none) and save under a new name.
class CDFVDocument {
 public:
  CDFVDocument() = default;
  virtual ~CDFVDocument() = default;
  CDFVDocument(const CDFVDocument&) = delete;
  CDFVDocument& operator=(const CDFVDocument&) = delete;

  const std::wstring& GetPathName() const { return pathName; }
  // The path and, from its file name, the title.
  void SetPathName(const std::wstring& path);
  const std::wstring& GetTitle() const { return title; }
  void SetTitle(const std::wstring& text) { title = text; }
  bool IsModified() const { return modified; }
  void SetModifiedFlag(bool value = true) { modified = value; }
  CDFVDocTemplate* GetDocTemplate() const { return docTemplate; }
  void SetDocTemplate(CDFVDocTemplate* owner) { docTemplate = owner; }

  // An empty document; false refuses it. The base clears the path name and
  // the modified flag.
  virtual bool OnNewDocument();
  // Fills the document from a file; false (after reporting why) leaves it
  // to the template to restore. The base only checks that the file can be
  // opened for reading: a missing file is reported with the framework's
  // "Cannot find this file" message, any other failure with its system text.
  virtual bool OnOpenDocument(const std::wstring& path);
  // Writes the document to path; true when it was written whole (the
  // modified flag is then cleared). The base has no format and writes
  // nothing: it returns false.
  virtual bool OnSaveDocument(const std::wstring& path);
  // Before the document is emptied or refilled: true lets it go on. An
  // unmodified document goes on at once; a modified one asks "Save changes
  // to ...?" (Yes saves, No goes on, Cancel stops).
  virtual bool SaveModified();

  // Saves under path, or, when path is empty, under a name asked for through
  // the template's prompt ("Save As" when replace is true, "Save Copy As"
  // otherwise). The prompt starts from the path name; when replacing a
  // document without one, from the title cut at the first of " #%;/\" with
  // the template's filter extension. A cancelled prompt or a failed save
  // gives false; a failed save under a new name removes the file it made
  // (a file that existed before is left). A
  // successful save while replacing makes the new name the path name.
  bool DoSave(const std::wstring& path, bool replace);

  // Commands and their updates, asked before the frame's own.
  virtual bool OnCommand(UINT id);
  virtual bool OnUpdate(ui::CmdUI& cmd);

 private:
  std::wstring pathName;
  std::wstring title;
  bool modified = false;
  CDFVDocTemplate* docTemplate = nullptr;
};

// The view's side of the template: a window created inside the frame that
// shows its document.
class CDFVView {
 public:
  virtual ~CDFVView() = default;
  // Creates the view's window as a child of the frame; false when it could
  // not be created.
  virtual bool CreateIn(HWND frame, UINT id) = 0;
  virtual ui::Window& ViewWindow() = 0;
  // The document was (re)filled.
  virtual void OnInitialUpdate() {}

  CDFVDocument* GetDocument() const { return document; }
  void SetDocument(CDFVDocument* doc) { document = doc; }

 private:
  CDFVDocument* document = nullptr;
};

// The hosted frame: a frame window created as a child of another window.
class CDFVFrameWnd : public ui::FrameWindow {
 public:
  // Creates the frame window with style and extended style at rect (in the
  // parent's client coordinates) and loads the accelerator table resourceId
  // when there is one. The frame's title is the text before "\n" of the
  // string resourceId when there is one. False when the window was not
  // created.
  virtual bool LoadFrame(UINT resourceId, DWORD style, const RECT& rect, HWND parent, DWORD exStyle);

  // The template that created the frame (its document's template) and the
  // template's document.
  CDFVDocTemplate* GetDocTemplate() const { return docTemplate; }
  CDFVDocument* Document() const;
  void SetDocTemplate(CDFVDocTemplate* owner) { docTemplate = owner; }

  // The document's commands come first; then ID_FILE_OPEN prompts through
  // the template and opens the chosen file into the same frame, and
  // ID_FILE_NEW empties the document.
  bool OnCommand(UINT id, UINT code, HWND control) override;
  bool OnUpdate(ui::CmdUI& cmd) override;

 private:
  CDFVDocTemplate* docTemplate = nullptr;
};

class CDFVDocTemplate {
 public:
  using DocumentFactory = std::function<std::unique_ptr<CDFVDocument>()>;
  using FrameFactory = std::function<std::unique_ptr<CDFVFrameWnd>()>;
  using ViewFactory = std::function<std::unique_ptr<CDFVView>()>;

  CDFVDocTemplate(UINT resourceId, DocumentFactory document, FrameFactory frame, ViewFactory view);
  ~CDFVDocTemplate();
  CDFVDocTemplate(const CDFVDocTemplate&) = delete;
  CDFVDocTemplate& operator=(const CDFVDocTemplate&) = delete;

  // Where and how the frame is created.
  HWND parentWindow = nullptr;
  RECT frameRect = {0, 0, 0, 0};
  DWORD frameStyle = 0;
  DWORD frameExStyle = 0;

  // Creates the frame and its view for the document; null (nothing created)
  // when the factory gives no frame or the window or view cannot be created.
  CDFVFrameWnd* CreateNewFrame(CDFVDocument& document);

  // Opens path (empty: a new empty document) into the template's one
  // document, creating the document and the frame the first time. Null when
  // it failed: a failure to create the document or frame is reported as
  // "Failed to create empty document."; a file the document refuses leaves
  // the document as it was, and the frame and the view in place.
  CDFVDocument* OpenDocumentFile(const std::wstring& path, bool makeVisible);

  // The file prompt of this one template. With a filter name and a filter
  // extension among the document strings, their entry comes first and is
  // selected, and the extension (without its dot) is the default one; then
  // always "All Files (*.*)". True with the chosen name in fileName when the
  // user confirmed.
  bool DoPromptFileName(std::wstring& fileName, const std::wstring& title, DWORD flags, bool open) const;

  // The document strings: the string resource of the template's id, its
  // parts separated by "\n" (window title, document name, new-file name,
  // filter name, filter extension, ...). Read at construction.
  enum DocStringIndex { kWindowTitle = 0, kDocName, kFileNewName, kFilterName, kFilterExt };
  std::wstring GetDocString(DocStringIndex index) const;
  void SetDocStrings(const std::wstring& strings) { docStrings = strings; }
  // The title of a new document: the document name, else "Untitled".
  std::wstring DefaultTitle() const;

  CDFVDocument* Document() const { return document.get(); }
  CDFVFrameWnd* HostedFrame() const { return hostedFrame.get(); }
  CDFVView* View() const { return view.get(); }
  UINT ResourceId() const { return resourceId; }

 private:
  void DestroyFrame();

  UINT resourceId;
  std::wstring docStrings;
  DocumentFactory makeDocument;
  FrameFactory makeFrame;
  ViewFactory makeView;
  std::unique_ptr<CDFVDocument> document;
  std::unique_ptr<CDFVView> view;
  std::unique_ptr<CDFVFrameWnd> hostedFrame;
};

class CDFVCtrl final : public ui::Window {
 public:
  CDFVCtrl() = default;
  ~CDFVCtrl() override;

  // Takes over the parent's placeholder control, creates the template with
  // the three factories and opens an empty document into a frame placed
  // over the placeholder's rectangle. False when the placeholder does not
  // exist (nothing is created then); a failure to create the document or
  // frame is reported by the template and leaves the template empty.
  bool Create(HWND parent, int placeholderId, UINT resourceId, CDFVDocTemplate::DocumentFactory document,
              CDFVDocTemplate::FrameFactory frame, CDFVDocTemplate::ViewFactory view, DWORD frameStyle,
              DWORD frameExStyle);

  CDFVDocTemplate* Template() const { return docTemplate.get(); }

 protected:
  void OnSize(UINT type, int cx, int cy) override;
  void OnDestroy() override;

 private:
  HWND parent = nullptr;
  std::unique_ptr<CDFVDocTemplate> docTemplate;
};
