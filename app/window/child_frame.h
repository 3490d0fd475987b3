// The child frame: a maximised sub-window holding one view of one document.
#pragma once

#include <QMdiSubWindow>

#include <functional>

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

  // Asked when the last view of a changed document closes: true when the
  // document may go (saved, or its changes given up).
  void setSaveQuestion(std::function<bool(CChildFrame*)> ask) { askToSave_ = std::move(ask); }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  std::function<bool(CChildFrame*)> askToSave_;
  CVornDoc* document_;
  CVornView* view_;
};

}  // namespace tarvo::window
