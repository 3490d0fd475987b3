// The child frame: a maximised sub-window holding one view of one document.
#pragma once

#include <QMdiSubWindow>

namespace tarvo::window {

class CVornDoc;
class CVornView;

class CChildFrame : public QMdiSubWindow {
  Q_OBJECT

 public:
  // A view of the document's session; the document lives while a frame
  // shows it.
  explicit CChildFrame(CVornDoc* document, QWidget* parent = nullptr);
  ~CChildFrame() override;

  CVornView* view() const { return view_; }
  CVornDoc* document() const { return document_; }

 private:
  CVornDoc* document_;
  CVornView* view_;
};

}  // namespace tarvo::window
