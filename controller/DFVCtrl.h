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

// The document: a path name and the two ways to fill it. Hosted documents
// derive from it.
class CDFVDocument {
 public:
  CDFVDocument() = default;
  virtual ~CDFVDocument() = default;
  CDFVDocument(const CDFVDocument&) = delete;
  CDFVDocument& operator=(const CDFVDocument&) = delete;

  const std::wstring& GetPathName() const { return pathName; }
  void SetPathName(const std::wstring& path) { pathName = path; }
  CDFVDocTemplate* GetDocTemplate() const { return docTemplate; }
  void SetDocTemplate(CDFVDocTemplate* owner) { docTemplate = owner; }

  // An empty document; false refuses it. The base clears the path name.
  virtual bool OnNewDocument();
  // Fills the document from a file; false (after reporting why) leaves it
  // to the template to restore. The base only checks that the file can be
  // opened for reading: a missing file is reported with the framework's
  // "Cannot find this file" message, any other failure with its system text.
  virtual bool OnOpenDocument(const std::wstring& path);

 private:
  std::wstring pathName;
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
  // parent's client coordinates). The frame's title is the text before "\n"
  // of the string resourceId when there is one. False when the window was
  // not created.
  virtual bool LoadFrame(UINT resourceId, DWORD style, const RECT& rect, HWND parent, DWORD exStyle);

  // The template that created the frame (its document's template).
  CDFVDocTemplate* GetDocTemplate() const { return docTemplate; }
  void SetDocTemplate(CDFVDocTemplate* owner) { docTemplate = owner; }

  // ID_FILE_OPEN prompts through the template and opens the chosen file into
  // the same frame; ID_FILE_NEW empties the document.
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

  // The file prompt of this one template: "All Files (*.*)" only, as the
  // template has no document strings. True with the chosen name in fileName
  // when the user confirmed.
  bool DoPromptFileName(std::wstring& fileName, const std::wstring& title, DWORD flags, bool open) const;

  CDFVDocument* Document() const { return document.get(); }
  CDFVFrameWnd* HostedFrame() const { return hostedFrame.get(); }
  CDFVView* View() const { return view.get(); }
  UINT ResourceId() const { return resourceId; }

 private:
  void DestroyFrame();

  UINT resourceId;
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
