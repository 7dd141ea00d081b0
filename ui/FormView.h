// A form view: a child dialog made from a template (style WS_CHILD, no
// caption) that fills its frame's view area. Keyboard navigation inside the
// form runs through the frame's PreTranslateMessage; Enter and Escape do
// nothing in a form.
#pragma once

#include "ui/Dialog.h"

namespace ui {

class FormView : public Dialog {
 public:
  explicit FormView(UINT templateId) : Dialog(templateId) {}

  // Creates the form as a child of parent with the given control id and
  // shows it; false when the template could not be made into a window.
  bool CreateView(HWND parent, UINT id);

  bool PreTranslateMessage(MSG& msg) override;

 protected:
  void OnOK() override {}
  void OnCancel() override {}
};

}  // namespace ui
