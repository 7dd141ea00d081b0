// Command-UI updates: the state of one command's element (a menu item, a
// toolbar button, a status-bar pane) worked out by the update handlers of the
// command routing chain.
//
// A handler that knows the command answers OnUpdate with true and may call
// Enable, SetCheck and SetText; each call takes effect at once on the element.
// Finish() then applies the layer's rule: a command that no handler claims is
// disabled, a claimed command whose handler did not call Enable is enabled.
#pragma once

#include <windows.h>
#include <string>

namespace ui {

class CmdUI {
 public:
  explicit CmdUI(UINT id) : id_(id) {}
  virtual ~CmdUI() = default;
  CmdUI(const CmdUI&) = delete;
  CmdUI& operator=(const CmdUI&) = delete;

  UINT Id() const { return id_; }

  void Enable(bool on = true) {
    enableChanged_ = true;
    enabled_ = on;
    DoEnable(on);
  }
  void SetCheck(bool on = true) { DoSetCheck(on); }
  void SetText(const std::wstring& text) { DoSetText(text); }

  bool Enabled() const { return enabled_; }

  // Applies the default after routing; claimed is what the chain answered.
  void Finish(bool claimed) {
    if (!claimed)
      Enable(false);
    else if (!enableChanged_)
      Enable(true);
  }

 protected:
  virtual void DoEnable(bool) {}
  virtual void DoSetCheck(bool) {}
  virtual void DoSetText(const std::wstring&) {}

 private:
  UINT id_;
  bool enabled_ = false;
  bool enableChanged_ = false;
};

// A menu item addressed by its position in a popup menu.
class MenuCmdUI final : public CmdUI {
 public:
  MenuCmdUI(HMENU menu, UINT position, UINT id) : CmdUI(id), menu_(menu), position_(position) {}

 private:
  void DoEnable(bool on) override;
  void DoSetCheck(bool on) override;
  void DoSetText(const std::wstring& text) override;
  HMENU menu_;
  UINT position_;
};

}  // namespace ui
