// The child frame: a maximised sub-window holding one view of one document.
#pragma once

#include <QMdiSubWindow>

namespace tarvo::window {

class CVornDoc;
class CVornView;
struct WindowSession;

class CChildFrame : public QMdiSubWindow {
  Q_OBJECT

 public:
  // Takes ownership of the document; creates the view.
  CChildFrame(WindowSession& session, CVornDoc* document, QWidget* parent = nullptr);

  CVornView* view() const { return view_; }
  CVornDoc* document() const { return document_; }

 private:
  CVornDoc* document_;
  CVornView* view_;
};

}  // namespace tarvo::window
